#!/usr/bin/env bash
# Runs the whole suite as CI does (ctest -j2 in build/) and prints its wall
# time and the ten longest tests. Arguments go to ctest (e.g. -R app_).
#   scripts/suite_time.sh
#   scripts/suite_time.sh -j1
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${RV5K_BUILD:-$root/build}"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
export QT_QPA_PLATFORM=offscreen
start=$(date +%s.%N)
(cd "$build" && ctest -j2 --output-on-failure "$@") >"$log" 2>&1
status=$?
end=$(date +%s.%N)
grep -E "tests passed|tests failed|\*\*\*Failed|\*\*\*Timeout|Exception" "$log"
printf 'Wall time: %.1f s\n' "$(echo "$end - $start" | bc)"
echo "Longest tests:"
grep -E '^ *[0-9]+/[0-9]+ Test +#' "$log" |
    sed -E 's/.*Test +#[0-9]+: ([^ ]+) .* ([0-9.]+) sec$/\2 \1/' |
    sort -rn | head -10 | awk '{ printf "  %7.2f s  %s\n", $1, $2 }'
exit $status
