#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer with leak
# checking, UndefinedBehaviorSanitizer) into build-fuzz/ and runs one target,
# or all of them one after another, for SECONDS each (default 60). New inputs
# go to build-fuzz/corpus/TARGET, crash inputs to build-fuzz/artifacts/; the
# seed corpora of fuzz/corpus are only read. Prints per target the executions
# and the crashes (a leak or a broken promise counts as a crash).
#   scripts/fuzz.sh [TARGET|all] [SECONDS]
# FUZZ_MAX_LEN sets the largest input (default 4096 bytes); FUZZ_RUNS, when
# set, ends a target's run after that many executions (if its time is not up).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:-all}"
seconds="${2:-60}"
"$root/scripts/prepare.sh" --fuzz
build="$root/build-fuzz"

if [ "$target" = all ]; then
    targets=()
    for source in "$root"/fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
else
    targets=("$target")
fi

# A smaller quarantine of freed memory than AddressSanitizer's 256 MB: with
# the many small blocks of text parsing it would grow a long run past
# libFuzzer's 2 GB memory limit; a use after free is still caught.
export ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=64"
export LSAN_OPTIONS="suppressions=$root/scripts/sanitize/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
if command -v llvm-symbolizer-14 >/dev/null; then
    export ASAN_SYMBOLIZER_PATH="$(command -v llvm-symbolizer-14)"
fi

failed=0
summary=()
for name in "${targets[@]}"; do
    program="$build/fuzz/$name"
    [ -x "$program" ] || { echo "no fuzz target $name" >&2; exit 2; }
    corpus="$build/corpus/$name"
    artifacts="$build/artifacts"
    log="$build/$name.log"
    mkdir -p "$corpus" "$artifacts"
    # Inputs up to 4 KB cover every branch of the formats and keep the runs
    # fast; the whole shipped files are checked by the corpus replays.
    options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
             -max_len="${FUZZ_MAX_LEN:-4096}" -artifact_prefix="$artifacts/$name-")
    [ -n "${FUZZ_RUNS:-}" ] && options+=(-runs="$FUZZ_RUNS")
    [ -f "$root/fuzz/dict/$name.dict" ] && options+=(-dict="$root/fuzz/dict/$name.dict")
    echo "== $name: ${seconds} s"
    status=0
    started=$(date +%s)
    "$program" "${options[@]}" "$corpus" "$root/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    # A run cut short by a crash may end before its final figures.
    [ -n "$executions" ] || executions=$(grep -oE '^#[0-9]+' "$log" | tail -n 1 | tr -d '#')
    crashes=0
    if [ "$status" -ne 0 ]; then
        crashes=1
        failed=1
        grep -E "^(==[0-9]+==ERROR|SUMMARY|broken promise|artifact_prefix|Test unit written)" \
            "$log" | head -n 8 || true
    fi
    elapsed=$(( $(date +%s) - started ))
    line="$name: ${executions:-0} executions in $elapsed s, $crashes crashes (log: $log)"
    echo "$line"
    summary+=("$line")
done
echo
echo "== summary"
printf '%s\n' "${summary[@]}"
exit "$failed"
