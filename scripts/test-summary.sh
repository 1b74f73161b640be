#!/usr/bin/env bash
# ./run test's summary from the groups' outputs: test-summary.sh RESULTS CTEST_LOG CTEST_STATUS.
# Names every failed, crashed and retried case; the last line counts the cases run, for CI.
set -euo pipefail
results=$1 log=$2 status=$3

shopt -s nullglob
logs=("$results"/*.log)
passed=0 failed=0
if [ ${#logs[@]} -gt 0 ]; then
  passed=$(cat "${logs[@]}" | grep -c '^\[       OK \]' || true)
  # A failed case's own line ends with its time; gtest's closing list repeats the names without it.
  failures=$(cat "${logs[@]}" | grep -E '^\[  FAILED  \] .*\([0-9]+ ms\)$|^\[  CRASHED \]' || true)
  if [ -n "$failures" ]; then
    failed=$(printf '%s\n' "$failures" | wc -l)
    printf '%s\n' "$failures" | sed 's/^\[[^]]*\] /run: failed: /'
  fi
  # Cases a crash kept from running count as failed too, and a group that never started counts as one.
  for f in "${logs[@]}"; do
    if ! grep -q '^\[==========\] Running' "$f"; then
      echo "run: failed: $(basename "$f" .log) printed no test output"
      failed=$((failed + 1))
      continue
    fi
    not_run=$(awk '/^\[==========\] Running/ {total = $3}
      /^\[       OK \]|^\[  FAILED  \] .*\([0-9]+ ms\)$|^\[  CRASHED \]/ {done++}
      END {print (total > done ? total - done : 0)}' "$f")
    if [ "$not_run" != 0 ]; then
      echo "run: not run after a crash in $(basename "$f" .log): $not_run cases"
      failed=$((failed + not_run))
    fi
  done
fi
if [ -f "$results/retried" ]; then
  sed 's/^/run: retried after a Wine start-up failure: /' "$results/retried"
fi
if [ "$status" != 0 ]; then
  grep -q 'No tests were found' "$log" && echo "run: no case matches ${ZEPHRIN_TEST_REGEX:-the selection}"
  # Failures outside any case (a program that cannot be listed, a group that printed nothing).
  if [ "$failed" = 0 ]; then
    sed -n '/The following tests FAILED/,$p' "$log"
    grep -A3 '^CMake Error' "$log" || true
  fi
  echo "run: full log in $log"
fi
echo "run: $passed passed, $failed failed"
