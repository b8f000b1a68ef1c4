#!/usr/bin/env bash
# Drives the vemlor executable the way users and scripts do: batch exit
# status, the piped terminal session, and the state files it leaves.
set -u
vemlor=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VEMLOR_HOME="$work/home"
mkdir -p "$VEMLOR_HOME"
failures=0

expect() { # description, expected, actual
    if [[ "$2" != "$3" ]]; then
        echo "FAIL: $1"; echo "  expected: $(printf '%q' "$2")"; echo "  actual:   $(printf '%q' "$3")"
        failures=$((failures + 1))
    fi
}

out=$("$vemlor" -e '1.2.3'); status=$?
expect "-e syntax error output" $'1.2.3\nsyntax error, error in number' "$out"
expect "-e syntax error status" 1 "$status"

mkdir -p "$work/scripts"
printf 'x = 1\ny = 2.3.4\n' > "$work/scripts/bad.vml"
out=$(cd / && "$vemlor" --run "$work/scripts/bad.vml"); status=$?
expect "--run reports the script line" $'at line 2\ny = 2.3.4\nsyntax error, error in number' "$out"
expect "--run status" 1 "$status"
out=$("$vemlor" --run "$work/scripts/none.vml" 2>&1); status=$?
expect "--run of a missing file fails" 1 "$status"

"$vemlor" --bogus >/dev/null 2>&1; status=$?
expect "unknown option status" 2 "$status"
"$vemlor" --run >/dev/null 2>&1; status=$?
expect "--run without a file" 2 "$status"
out=$("$vemlor" --help); status=$?
expect "--help status" 0 "$status"
[[ "$out" == usage:* ]] || { echo "FAIL: --help prints the usage"; failures=$((failures + 1)); }

# Batch runs never touch the state files; the terminal session writes them.
expect "batch leaves no state" "" "$(ls "$VEMLOR_HOME")"
out=$(printf '1.2.3\n' | "$vemlor" --cli); status=$?
expect "piped session output" $'1.2.3\nsyntax error, error in number' "$out"
expect "piped session ends normally" 0 "$status"
expect "session saves its three state files" $'vemlor_cd.bin\nvemlor_comm.bin\nvemlor_env.bin' "$(ls "$VEMLOR_HOME")"

# The workspace survives a restart of the terminal session.
printf 'keep = 5\nrow = [1 2 3];\n' | "$vemlor" --cli >/dev/null
out=$(printf 'keep + row[3]\n' | "$vemlor" --cli)
expect "workspace restored after a restart" "8" "$out"

# A piped session reads on while an input is unfinished, as typed input would.
out=$(printf 'v = [1,\n2]\n' | "$vemlor" --cli)
expect "continued input" $'v =\n 1 2' "$out"

# Input that is still unfinished when the input ends runs as it stands.
out=$(printf 'x = (1 +\n' | "$vemlor" --cli)
expect "unfinished input at the end" $'x = (1 +\nno closing bracket for line 0: (1 +' "$out"

# -e text may hold several lines.
out=$("$vemlor" -e $'a = 2\na * 3')
expect "-e with two lines" $'a = 2\n6' "$out"

# Ctrl-C stops a running loop at its next step; a piped session goes on with
# the next input and keeps the variables the loop changed.
printf 'k = 0\nwhile 1\n    k += 1\n' > "$work/scripts/spin.vml"
"$vemlor" --run "$work/scripts/spin.vml" > "$work/spin.out" & pid=$!
sleep 0.5; kill -INT "$pid"; wait "$pid"; status=$?
expect "interrupted batch run" $'at line 2\ninterrupted' "$(cat "$work/spin.out")"
expect "interrupted batch status" 1 "$status"
# A numerical method runs no statements of its own between calls of its
# function; Ctrl-C stops it all the same.
printf 'slow(t, y) := -y\nr = ode(1, slow, 0, 1, 10000000)\n' > "$work/scripts/longode.vml"
"$vemlor" --run "$work/scripts/longode.vml" > "$work/longode.out" & pid=$!
sleep 1; kill -INT "$pid"; wait "$pid"; status=$?
expect "interrupted ode" "interrupted" "$(tail -n 1 "$work/longode.out")"
expect "interrupted ode status" 1 "$status"
mkfifo "$work/typed"
"$vemlor" --cli < "$work/typed" > "$work/session.out" & pid=$!
exec 3> "$work/typed"
printf 'k = 0; while 1 { k += 1 }\n' >&3
sleep 0.5; kill -INT "$pid"; sleep 0.2
printf 'k > 0\n' >&3
exec 3>&-
wait "$pid"; status=$?
expect "session after an interrupt" $'interrupted\n1' "$(cat "$work/session.out")"
expect "session after an interrupt ends normally" 0 "$status"

# SIGTERM while the session waits for input, and SIGHUP (the terminal
# closed) while a loop runs, end it through its shut-down: state saved.
ended() { # signal, first input: the session's output, then its status
    rm -f "$work/typed"; mkfifo "$work/typed"
    VEMLOR_HOME="$work/ended" "$vemlor" --cli < "$work/typed" > "$work/ended.out" & pid=$!
    exec 3> "$work/typed"
    printf '%s\n' "$2" >&3
    sleep 0.5; kill "-$1" "$pid"; wait "$pid"; status=$?
    exec 3>&-
    cat "$work/ended.out"; echo "$status"
}
mkdir -p "$work/ended"
expect "session ended by SIGTERM" $'kept = 42\n143' "$(ended TERM 'kept = 42')"
expect "state saved at SIGTERM" "42" "$(printf 'kept\n' | VEMLOR_HOME="$work/ended" "$vemlor" --cli)"
expect "session ended by SIGHUP" $'interrupted\n129' "$(ended HUP 'k = 0; while 1 { k += 1 }')"
expect "state saved at SIGHUP" "1" "$(printf 'k > 0\n' | VEMLOR_HOME="$work/ended" "$vemlor" --cli)"

# A state file that cannot be written is reported, never lost silently.
out=$(printf 'a = 1;\n' | VEMLOR_HOME="$work/missing" "$vemlor" --cli)
expect "missing state folder" \
    "workspace not saved: cannot write $work/missing/vemlor_env.bin (No such file or directory)" \
    "$(head -n 1 <<< "$out")"
mkdir -p "$work/full"
out=$(ulimit -f 1; printf 'v = rand(1, 9000);\n' | VEMLOR_HOME="$work/full" "$vemlor" --cli)
expect "state file over the size limit" \
    "workspace not saved: cannot write $work/full/vemlor_env.bin (File too large)" "$out"

# A terminal session starts in the directory it was launched from, not in
# the one the last session ended in.
mkdir -p "$work/launch/a" "$work/launch/b"
echo 'w = 1' > "$work/launch/a/here.vml"
echo 'w = 2' > "$work/launch/b/here.vml"
(cd "$work/launch/b" && printf '1;\n' | VEMLOR_HOME="$work/launch" "$vemlor" --cli)
expect "session starts where launched" "1" \
    "$(cd "$work/launch/a" && printf 'use here\nw\n' | VEMLOR_HOME="$work/launch" "$vemlor" --cli)"

# At the end of typed input, large variables bring a question: n goes back
# to the prompt, y saves everything else and ends.
mkdir -p "$work/asked"
{ printf 'big = rand(1, 10000);\n'; sleep 0.3; printf '\004'; sleep 0.3; printf 'n\n'; sleep 0.3
  printf 'zz = 3;\n'; sleep 0.3; printf '\004'; sleep 0.3; printf 'y\n'; sleep 0.5; } |
    VEMLOR_HOME="$work/asked" script -qec "$vemlor --cli" /dev/null > "$work/asked.out"
expect "exit question asked twice" 2 \
    "$(grep -c 'Large matrices will not be saved: ok to exit? (y/n)' "$work/asked.out")"
expect "after the question" $'3\nbig\nunrecognised name \'big\'' \
    "$(printf 'zz\nbig\n' | VEMLOR_HOME="$work/asked" "$vemlor" --cli)"

# A second session on a state folder in use is secondary: it says so and
# writes no state file, so the first one's state is not overwritten.
mkdir -p "$work/shared"
rm -f "$work/typed"; mkfifo "$work/typed"
VEMLOR_HOME="$work/shared" "$vemlor" --cli < "$work/typed" > /dev/null & pid=$!
exec 3> "$work/typed"
printf 'owner = 1;\n' >&3; sleep 0.3
out=$(printf 'other = 2\n' | VEMLOR_HOME="$work/shared" "$vemlor" --cli)
expect "second session is secondary" \
    "secondary instance: another session keeps its state in $work/shared, so this one saves none" \
    "$(head -n 1 <<< "$out")"
expect "secondary session saves nothing" "" "$(ls "$work/shared")"
exec 3>&-; wait "$pid"
expect "primary session saved" "1" "$(printf 'owner\n' | VEMLOR_HOME="$work/shared" "$vemlor" --cli)"

# Brackets nested far too deep are a syntax error, not a crash.
{ printf '(%.0s' {1..100000}; printf 1; printf ')%.0s' {1..100000}; echo; } > "$work/deep.vml"
out=$("$vemlor" --run "$work/deep.vml" 2>&1); status=$?
expect "deep brackets" "syntax error, brackets nested too deeply" "$(tail -n 1 <<< "$out")"
expect "deep brackets status" 1 "$status"

# However long a chain of calls between distinct functions grows (full and
# quick functions, nested brackets, a script that uses another), it ends in
# an error, not a crash.
chain() { # first, last: f_k calls f_k+1
    for ((k = $2; k >= $1; k--)); do
        if ((k % 2)); then echo "f$k(x) := f$((k + 1))(x) * 1"
        else printf 'function y = f%d(x)\n    y = ((f%d(x)))\nend\n' "$k" "$((k + 1))"; fi
    done
}
{ echo "f25001(x) := x + 1"; chain 12001 25000; } > "$work/scripts/chain2.vml"
{ echo "use chain2"; chain 1 12000; echo "z = f1(1)"; } > "$work/scripts/chain1.vml"
out=$("$vemlor" --run "$work/scripts/chain1.vml" 2>&1); status=$?
[[ "$(tail -n 1 <<< "$out")" =~ ^max\ recursion\ depth\ exceeded\ f[0-9]+$ ]] ||
    { echo "FAIL: a long call chain ends in an error: $(tail -n 1 <<< "$out")"; failures=$((failures + 1)); }
expect "long call chain status" 1 "$status"

# A value nested deeper than the workspace file allows is left out, named;
# the variables after it are saved, and what was saved reads back whole
# (saved again unchanged).
mkdir -p "$work/nesting"
out=$(printf 'ok = list(5, 6); for i = 1:999 { ok = list(ok, 0) }\ndeep = list(ok, 0); zz = 7;\n' |
      VEMLOR_HOME="$work/nesting" "$vemlor" --cli)
expect "too deep a value is named" "deep not saved: lists nested more than 1000 deep" "$out"
cp "$work/nesting/vemlor_env.bin" "$work/nested.before"
out=$(printf 'zz\n' | VEMLOR_HOME="$work/nesting" "$vemlor" --cli)
expect "variables after a deep one restored" "7" "$out"
cmp -s "$work/nested.before" "$work/nesting/vemlor_env.bin" ||
    { echo "FAIL: a list nested 1000 deep did not come back whole"; failures=$((failures + 1)); }

# A session killed while it saves its workspace leaves the previous file as
# it was: the new one is written beside it and renamed into place.
cp "$VEMLOR_HOME/vemlor_env.bin" "$work/env.before"
for i in $(seq 1 3000); do echo "v$i = rand(1, 9999);"; done > "$work/many.txt"
"$vemlor" --cli < "$work/many.txt" > /dev/null & pid=$!
saving=0
for _ in $(seq 1 3000); do
    compgen -G "$VEMLOR_HOME/vemlor_env.bin.tmp*" > /dev/null && { saving=1; break; }
    sleep 0.01
done
expect "killed while saving" 1 "$saving"
kill -KILL "$pid" 2> /dev/null; wait "$pid" 2> /dev/null
cmp -s "$work/env.before" "$VEMLOR_HOME/vemlor_env.bin" || { echo "FAIL: workspace file changed by a killed save"; failures=$((failures + 1)); }
out=$(printf 'keep\n' | "$vemlor" --cli)
expect "old workspace still loads" "5" "$out"
rm -f "$VEMLOR_HOME"/vemlor_env.bin.tmp*

# Without options, a display that cannot be reached leaves the terminal
# session to serve, quietly.
out=$(printf 'x = 6*7\n' | env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY=:4242 "$vemlor" 2>&1)
expect "no reachable display: the terminal" "x = 42" "$out"
out=$(printf 'x = 6*7\n' | env -u DISPLAY -u WAYLAND_DISPLAY "$vemlor" 2>&1)
expect "no display: the terminal" "x = 42" "$out"

# getline reads the next line of piped input, and an empty line at its end;
# a command started by sysCommand never reads the session's input.
out=$(printf 'name = getline("who? ")\nAlice\nname\n' | "$vemlor" --cli)
expect "getline from piped input" $'name =\nAlice\nAlice' "$out"
out=$(printf 'e = getline("more? "); isempty(e)\n' | "$vemlor" --cli)
expect "getline at the end of the input" "1" "$out"
out=$(printf 'sysCommand("cat; echo done")\nafter = 2\n' | "$vemlor" --cli)
expect "sysCommand leaves the input alone" $'done\n1\nafter = 2' "$out"

# The directory a session made current is among the recent ones it saves,
# and a file a script left open is closed, its text written, at the end.
mkdir -p "$work/recent dir"
printf 'cd("%s"); id = fopen("left.txt", "w"); fwrite(id, "kept");\n' "$work/recent dir" |
    "$vemlor" --cli > /dev/null
grep -q "recent dir" "$VEMLOR_HOME/vemlor_cd.bin" ||
    { echo "FAIL: the directory history lacks the directory made current"; failures=$((failures + 1)); }
expect "open file closed at the end" "kept" "$(cat "$work/recent dir/left.txt")"

# A script named on the command line runs in its own directory.
mkdir -p "$work/beside"
printf 'found\n' > "$work/beside/data.txt"
printf 'r = readtext("data"); r.1;;\n' > "$work/beside/reads.vml"
out=$(cd / && "$vemlor" --run "$work/beside/reads.vml")
expect "--run script reads the files beside it" "found" "$out"

# Ctrl-C stops a running command as well as the input that started it.
printf 'sysCommand("sleep 20; echo late")\n' > "$work/scripts/wait.vml"
start=$SECONDS
"$vemlor" --run "$work/scripts/wait.vml" > "$work/wait.out" & pid=$!
sleep 0.5; kill -INT "$pid"; wait "$pid"; status=$?
expect "interrupted command" "interrupted" "$(cat "$work/wait.out")"
expect "interrupted command ends at once" 1 "$(( SECONDS - start < 10 ))"

# A PNG picture needs no display: the terminal program loads the painting
# module beside it for the first one. Any other name still gets ".svg".
if [[ -e "$(dirname "$vemlor")/libvemlor_png.so" ]]; then
    out=$(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY "$vemlor" -e 'plot(1:10, (1:10)^2); print("fig.PNG")' 2>&1)
    expect "print to PNG answers the path" "$work/fig.PNG" "$out"
    expect "PNG file signature" "89504e47" "$(head -c 4 "$work/fig.PNG" | od -An -tx1 | tr -d ' \n')"
    out=$(cd "$work" && "$vemlor" -e 'plot(1:3); print("fig.gif")' 2>&1)
    expect "print of another name writes SVG" "$work/fig.svg" "$out"
fi

if ((failures)); then echo "$failures failure(s)"; exit 1; fi
echo "command line: all checks passed"
