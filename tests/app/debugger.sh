#!/usr/bin/env bash
# The debugger in the terminal session, driven through piped input: the
# stop's text, the commands s, Enter, c, h, q and unknown ones, the end of
# the input, stops again after q in the next input, batch runs and Ctrl-C at
# the debug> prompt.
set -u
vemlor=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VEMLOR_HOME="$work/home"
mkdir -p "$VEMLOR_HOME"
cd "$work" || exit 1
failures=0

expect() { # description, expected, actual
    if [[ "$2" != "$3" ]]; then
        echo "FAIL: $1"; echo "  expected: $(printf '%q' "$2")"; echo "  actual:   $(printf '%q' "$3")"
        failures=$((failures + 1))
    fi
}
session() { rm -f "$VEMLOR_HOME"/*; printf "$1" | "$vemlor" --cli; }

printf 'function r = twice(a)\n    b = a + 1;!\n    r = b * 2\nend\np = 1\nq = twice(p)\np = q + 1\n' > walk.vml
excerpt() { # the script's lines, line $1 marked
    local n=1 line
    while IFS= read -r line; do
        if ((n == $1)); then printf '>%4d  %s\n' "$n" "$line"; else printf ' %4d  %s\n' "$n" "$line"; fi
        n=$((n + 1))
    done < walk.vml
}

# A breakpoint in a function, then a step (s) to its next statement, an
# empty line to the caller's next one, an unknown command, and c.
expected="Breakpoint at line 2 in twice
  expr value  2
  Locals:
    a         1
    b         2
    r         []
$(excerpt 2)
Stepping at line 3 in twice
  expr value
  Locals:
    a         1
    b         2
    r         4
$(excerpt 3)
Stepping at line 6
  expr value
  Locals:
$(excerpt 6)
debug commands: s step (or Enter), c continue, h halt, q debugging off
5"
expect "stop, step, Enter, help, continue" "$expected" "$(session 'use walk\ns\n\nx\nc\np\n')"

# h abandons the input with an error.
out=$(session 'use walk\nh\np\n' | tail -n 5)
expect "halt" $'at line 2\nin twice;\nat line 6\nexecution halted from debugger\n1' "$out"

# q lets the rest of the input run without stops; the next input stops again.
input='f(x) := { y = x;! return y }\ns = 0; for k = 1:3 { s = s + f(k) }; s\nq\nf(7)\nc\n'
out=$(session "$input")
expect "q: one stop per input" 2 "$(grep -c '^Breakpoint in f$' <<< "$out")"
expect "q: the input runs on" $'typed input: no source file\n6\ntyped input: no source file\n7' "$(grep -v '^ ' <<< "$out" | grep -v Breakpoint)"

# The end of the input at the prompt counts as q.
out=$(session 'f(x) := { y = x;! return y }\nf(2) + 1\n'); status=$?
expect "end of input" "3" "$(tail -n 1 <<< "$out")"
expect "end of input status" 0 "$status"

# debug starts stepping: a stop after it and after each statement.
out=$(session 'debug; a = 5; a = 6\n\ns\nc\na\n')
expected=$'Stepping\n  expr value\nStepping\n  expr value\na = 6\nStepping\n  expr value\n6'
expect "debug steps" "$expected" "$(grep -v -e Locals -e typed <<< "$out")"

# A batch run asks on its standard input: at its end, the script runs on.
out=$("$vemlor" --run walk.vml < /dev/null | tail -n 1); status=$?
expect "batch run without input" "$(excerpt 2 | tail -n 1)" "$out"
expect "batch run status" 0 "$status"
expect "-e with a command" "6" "$(printf 'c\n' | "$vemlor" -e 'x = 3;! x * 2' | tail -n 1)"

# Ctrl-C at the prompt of a terminal session ends the wait as an interrupt.
rm -f "$VEMLOR_HOME"/*
{ printf 'f(x) := { y = x;! return y }\n'; sleep 0.5; printf 'f(1)\n'; sleep 0.8; printf '\003'
  sleep 0.8; printf 'f(2) + 10\n'; sleep 0.8; printf 'c\n'; sleep 0.5; printf '\004'; sleep 0.5; } |
    script -qec "$vemlor --cli" /dev/null > tty.out
expect "Ctrl-C at the prompt" 1 "$(grep -c interrupted tty.out)"
expect "the session goes on" 1 "$(grep -c '12' tty.out)"

if ((failures)); then echo "$failures failure(s)"; exit 1; fi
echo "debugger: all checks passed"
