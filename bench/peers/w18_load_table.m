% W18 in Octave: dlmread of the table below its header line.
m = dlmread("table.txt", " ", 1, 0);
printf("%.10g\n", sum(m(:)));
