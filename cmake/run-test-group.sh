#!/bin/sh
# Runs one group of a test program's cases in one Wine process: run-test-group.sh RESULTS GROUP PROGRAM FILTER.
# The output is kept in RESULTS for ./run's summary. A process that printed no test output at all did not get
# through Wine's start-up: that, and only that, is tried once more and noted in RESULTS/retried.
#
# The group's result is the exit code Windows gives its program, which the launcher beside it reads and names
# in its last line: Wine's own exit status is only the code's low byte, and the wineserver kills a process
# whose Unix side is still exiting a second after its program ended, well or not. A program killed before its
# end reads as exit code 0 too, so 0 counts only beside the program's closing line (tests/support/test_main.cpp).
results=$1 group=$2 program=$3 filter=$4
script_dir=$(cd "$(dirname "$0")" && pwd)
. "$script_dir/../scripts/winpath.sh"
# The lane CTest gave this group ("id:N,slots:1", see scripts/test-lanes.sh): its display and prefix.
if [ -n "${CTEST_RESOURCE_GROUP_0_LANES:-}" ]; then
  lane=${CTEST_RESOURCE_GROUP_0_LANES#id:}
  lane=${lane%%,*}
  . "${ZEPHRIN_LANES:?the lanes folder is not set}/$lane/env" || exit 1
  program="$ZEPHRIN_LANE_BIN/${program##*/}"
  cd "$ZEPHRIN_LANE_BIN" || exit 1
fi
launcher="${program%/*}/group_launcher.exe"
# The shell tests of this script put a stand-in here.
wine64=${ZEPHRIN_TEST_FAKE_WINE64:-/usr/lib/wine/wine64}
log="$results/$(printf '%s' "$group" | tr '/' '_').log"
mkdir -p "$results"
# A case that crashes ends its process at once instead of waiting in Wine's debugger for the time-out.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winedbg.exe=d"
limit=300  # seconds, under CTest's own limit (./run), so that this script reads the time-out
for attempt in 1 2; do
  # Through a file: Wine's system processes can inherit the output streams and outlive the program.
  timeout -k 5 "$limit" "$wine64" "$launcher" "$(winpath "$program")" "--gtest_filter=$filter" >"$log" 2>&1 </dev/null
  status=$?
  tr -d '\r' <"$log" >"$log.tmp" && mv "$log.tmp" "$log"
  grep -q '^\[==========\] Running' "$log" && break
  # What Wine said instead, if anything, names the cause.
  said=$(head -n 1 "$log")
  [ "$attempt" = 1 ] && echo "$group (exit status $status, no test output${said:+; it said: $said})" >>"$results/retried"
done
code=$(sed -n 's/^group launcher: the program ended with exit code \(0x[0-9A-F]\{8\}\)$/\1/p' "$log" | tail -n 1)
rc=1
if [ "$status" = 124 ]; then
  rc=124 ended="timed out"
  # Said whether or not a case was left unfinished: a program can hang in its exit, after its last case.
  echo "run: timed out: the group's process was ended after $limit s" >>"$log"
elif [ -z "$code" ]; then
  # The launcher itself was ended before it could tell.
  [ "$status" = 0 ] || rc=$status
  ended="ended with exit status $status, its program's exit code unknown"
elif [ "$code" != 0x00000000 ]; then
  ended="ended the process, exit code $code"
elif ! grep -qx 'test program: main returns 0' "$log"; then
  ended="ended before the program's own end, exit code $code"
  echo "run: the program was ended before its own end (exit code $code without its closing line)" >>"$log"
else
  rc=0 ended="its program ended with exit code $code and its closing line"
  # The launcher's own process, ended after its line (killed by the wineserver as any process can be), is
  # named in the summary but does not fail the group.
  [ "$status" = 0 ] || echo "$group (exit status $status)" >>"$results/ended-after-program"
fi
# A case that began and never ended crashed the process or hung it, or its end was lost: the group fails,
# however its program ended. A skipped case has ended.
unfinished=$(awk '/^\[ RUN      \]/ {c=$4}
  /^\[       OK \]|^\[  FAILED  \]|^\[  SKIPPED \]/ {c=""} END {print c}' "$log")
if [ -n "$unfinished" ]; then
  [ "$rc" = 0 ] && rc=1 ended="never ended, though $ended"
  echo "[  CRASHED ] $unfinished ($ended)" >>"$log"
fi
cat "$log"
exit $rc
