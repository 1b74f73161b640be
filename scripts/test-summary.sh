#!/usr/bin/env bash
# ./run test's summary from the groups' outputs: test-summary.sh RESULTS CTEST_LOG CTEST_STATUS.
# Names every failed, crashed and retried case, and every skipped one with its reason; the last line counts
# the cases run, for CI. It never says "0 failed" for a run that failed, and exits non-zero whenever it counts
# a failure, CTest's or its own (a case a group lost though its process ended well).
set -euo pipefail
results=$1 log=$2 status=$3

shopt -s nullglob
logs=("$results"/*.log)
passed=0 failed=0 skipped=0
declare -A counted=()  # failures counted from each group's own output
if [ ${#logs[@]} -gt 0 ]; then
  every=$(cat "${logs[@]}")  # every group's output, read once
  passed=$(grep -c '^\[       OK \]' <<<"$every" || true)
  # A failed case's own line ends with its time; gtest's closing list repeats the names without it.
  failures=$(grep -E '^\[  FAILED  \] .*\([0-9]+ ms\)$|^\[  CRASHED \]' <<<"$every" || true)
  if [ -n "$failures" ]; then
    failed=$(printf '%s\n' "$failures" | wc -l)
    printf '%s\n' "$failures" | sed 's/^\[[^]]*\] /run: failed: /'
  fi
  # A skipped case has ended, neither passed nor failed. gtest prints its reason between "FILE:LINE: Skipped"
  # and the case's own line, which ends with its time; its closing list repeats the names without it.
  skips=$(awk '/^\[ RUN      \]/ {why = ""; reading = 0; next}
    /: Skipped$/ {reading = 1; next}
    /^\[  SKIPPED \] .*\([0-9]+ ms\)$/ {
      print "run: skipped: " $4 " (" (why == "" ? "no reason given" : why) ")"; reading = 0; next}
    reading && NF {why = why (why == "" ? "" : "; ") $0}' <<<"$every")
  if [ -n "$skips" ]; then
    skipped=$(printf '%s\n' "$skips" | wc -l)
    printf '%s\n' "$skips"
  fi
  # Cases a crash kept from running, or whose ends the output lost, count as failed too, and a group that
  # never started counts as one.
  for f in "${logs[@]}"; do
    group=$(basename "$f" .log)
    if ! grep -q '^\[==========\] Running' "$f"; then
      echo "run: failed: $group printed no test output"
      failed=$((failed + 1))
      counted[$group]=1
      continue
    fi
    counted[$group]=$(grep -cE '^\[  FAILED  \] .*\([0-9]+ ms\)$|^\[  CRASHED \]' "$f" || true)
    not_run=$(awk '/^\[==========\] Running/ {total = $3}
      /^\[       OK \]|^\[  (FAILED  |SKIPPED )\] .*\([0-9]+ ms\)$|^\[  CRASHED \]/ {done++}
      END {print (total > done ? total - done : 0)}' "$f")
    if [ "$not_run" != 0 ]; then
      echo "run: not run after a crash, or their ends lost, in $group: $not_run cases"
      failed=$((failed + not_run))
      counted[$group]=$((counted[$group] + not_run))
    fi
  done
fi
# A group CTest failed with no failed case of its own counts as one failure: its process ended badly after
# its cases (killed, a non-zero exit, a time-out), or its program could not be listed.
while IFS='|' read -r group why; do
  name=$(printf '%s' "$group" | tr '/' '_')  # its log's name (cmake/run-test-group.sh)
  [ "${counted[$name]:-0}" = 0 ] || continue
  last=$(tail -n 1 "$results/$name.log" 2>/dev/null || true)
  echo "run: failed: $group ($why) though none of its cases failed${last:+; its output ends: $last}"
  failed=$((failed + 1))
done < <(sed -n '/^The following tests FAILED:/,/^[^[:space:]]/s/^[[:space:]]*[0-9]* - \(.*\) (\(.*\))$/\1|\2/p' "$log" 2>/dev/null)
if [ -f "$results/retried" ]; then
  sed 's/^/run: retried after a Wine start-up failure: /' "$results/retried"
fi
# Its program ended well, then Wine's kill (or another end) came to its own process: no failure, but said.
if [ -f "$results/ended-after-program" ]; then
  sed "s/^/run: ended by Wine's kill after its program ended: /" "$results/ended-after-program"
  echo "run: groups ended by Wine's kill after their program ended: $(wc -l <"$results/ended-after-program")"
fi
if [ "$status" != 0 ]; then
  grep -q 'No tests were found' "$log" && echo "run: no case matches ${ZEPHRIN_TEST_REGEX:-the selection}"
  # A failure outside any group (no tests, CTest's own error) still fails the run, and counts once.
  if [ "$failed" = 0 ]; then
    sed -n '/The following tests FAILED/,$p' "$log"
    grep -A3 '^CMake Error' "$log" || true
    failed=1
  fi
  echo "run: full log in $log"
fi
echo "run: $passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]
