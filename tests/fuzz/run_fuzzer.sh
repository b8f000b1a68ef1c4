#!/usr/bin/env bash
# Runs one fuzz harness for a while with the options this project uses.
#
#   tests/fuzz/run_fuzzer.sh HARNESS SECONDS BUILD-DIR WORK-DIR
#
# BUILD-DIR is a VEMLOR_FUZZ=ON build holding tests/fuzz/fuzz_HARNESS. The
# committed corpus is only read: new inputs go to WORK-DIR/corpus, findings to
# WORK-DIR/artifacts (crash-*, leak-*, timeout-*, oom-*) and the log to
# WORK-DIR/fuzz.log. Fork mode with one job keeps going after a finding, so a
# long run collects several; timeouts and out-of-memory stops are findings too,
# but mostly of inputs that are heavy on purpose. Afterwards
#   fuzz_HARNESS -merge=1 NEW-DIR tests/fuzz/corpus/HARNESS WORK-DIR/corpus
# picks the inputs that add coverage.
set -euo pipefail
if [[ $# -ne 4 ]]; then
    echo "usage: $0 HARNESS SECONDS BUILD-DIR WORK-DIR" >&2
    exit 2
fi
harness=$1 seconds=$2 build=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
fuzzer=$build/tests/fuzz/fuzz_$harness
[[ -x $fuzzer ]] || { echo "no fuzzer $fuzzer" >&2; exit 2; }

case $harness in
    state_files | data_files) max_len=4096 ;;
    *) max_len=2048 ;;
esac
mkdir -p "$work/corpus" "$work/artifacts"
dictionary=()
[[ $harness != state_files && $harness != data_files ]] && dictionary=(-dict="$here/language.dict")

# Leaks are checked at the end of each input; UBSan stops at the first report.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
"$fuzzer" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" "${dictionary[@]}" \
    "$work/corpus" "$here/corpus/$harness" > "$work/fuzz.log" 2>&1 || true
echo "$harness: $(ls "$work/corpus" | wc -l) inputs in the work corpus," \
     "$(ls "$work/artifacts" | wc -l) artifacts; log $work/fuzz.log"
