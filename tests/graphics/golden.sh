#!/usr/bin/env bash
# Golden figure files: every golden/NAME.vml runs in batch mode in an empty
# directory and must print NAME.svg byte for byte equal to golden/NAME.svg
# (files checked by eye in a browser when they were committed). With
# --update the outputs replace the committed files.
set -u
vemlor=$(realpath "$1")
update=${2:-}
golden=$(cd "$(dirname "$0")/golden" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VEMLOR_HOME="$work/home"
mkdir -p "$VEMLOR_HOME"
failures=0
for script in "$golden"/*.vml; do
    name=$(basename "$script" .vml)
    mkdir -p "$work/$name"
    cp "$script" "$work/$name/"
    if ! out=$(cd "$work/$name" && "$vemlor" --run "$name.vml" 2>&1); then
        echo "FAIL: $name.vml reported an error:"; echo "$out"
        failures=$((failures + 1)); continue
    fi
    if [[ "$update" == "--update" ]]; then
        cp "$work/$name/$name.svg" "$golden/$name.svg"
    elif ! cmp -s "$work/$name/$name.svg" "$golden/$name.svg"; then
        echo "FAIL: $name.svg differs from the committed file"
        diff "$golden/$name.svg" "$work/$name/$name.svg" | head -20
        failures=$((failures + 1))
    fi
done
exit $((failures > 0))
