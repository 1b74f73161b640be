#!/bin/sh
# Runs one group of a test program's cases in one Wine process: run-test-group.sh RESULTS GROUP PROGRAM FILTER.
# The output is kept in RESULTS for ./run's summary. A process that printed no test output at all did not get
# through Wine's start-up: that, and only that, is tried once more and noted in RESULTS/retried.
results=$1 group=$2 program=$3 filter=$4
# The lane CTest gave this group ("id:N,slots:1", see scripts/test-lanes.sh): its display and prefix.
if [ -n "${CTEST_RESOURCE_GROUP_0_LANES:-}" ]; then
  lane=${CTEST_RESOURCE_GROUP_0_LANES#id:}
  lane=${lane%%,*}
  . "${ZEPHRIN_LANES:?the lanes folder is not set}/$lane/env" || exit 1
fi
log="$results/$(printf '%s' "$group" | tr '/' '_').log"
mkdir -p "$results"
# A case that crashes ends its process at once instead of waiting in Wine's debugger for the time-out.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winedbg.exe=d"
for attempt in 1 2; do
  # Through a file: Wine's system processes can inherit the output streams and outlive the program.
  timeout -k 5 300 /usr/lib/wine/wine64 "$program" "--gtest_filter=$filter" >"$log" 2>&1 </dev/null
  rc=$?
  tr -d '\r' <"$log" >"$log.tmp" && mv "$log.tmp" "$log"
  grep -q '^\[==========\] Running' "$log" && break
  # What Wine said instead, if anything, names the cause.
  said=$(head -n 1 "$log")
  [ "$attempt" = 1 ] && echo "$group (exit code $rc, no test output${said:+; it said: $said})" >>"$results/retried"
done
# A case that began and never ended crashed the process or hung it.
unfinished=$(awk '/^\[ RUN      \]/ {c=$4} /^\[       OK \]|^\[  FAILED  \]/ {c=""} END {print c}' "$log")
if [ -n "$unfinished" ]; then
  if [ "$rc" = 124 ]; then why="timed out"; else why="ended the process, exit code $rc"; fi
  echo "[  CRASHED ] $unfinished ($why)" >>"$log"
  [ "$rc" = 0 ] && rc=1
fi
cat "$log"
exit $rc
