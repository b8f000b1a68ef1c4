% W19 in Octave: the lines of a 100 MB text file as a cell array.
lines = strsplit(fileread("lines.txt"), "\n");
printf("%d\n", numel(lines) - 1);
