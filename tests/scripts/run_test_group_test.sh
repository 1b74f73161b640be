#!/usr/bin/env bash
# How cmake/run-test-group.sh reads the way a group ended, in the shell: run_test_group_test.sh RESULTS CASE...
# runs each named case (a function below) with a stand-in for wine64 that prints what a group of two cases,
# its program's closing line and the launcher's last line would be for each ending.
set -uo pipefail
script="$(cd "$(dirname "$0")/../.." && pwd)/cmake/run-test-group.sh"
results=$1
shift

# The stand-in takes the launcher, the program and the filter as wine64 does, writes them to $work/args, and
# ends as FAKE_ENDING says. A first call with FAKE_SILENT_ONCE set prints nothing, as a failed Wine start-up.
prepare_case() {
  mkdir -p "$work/bin"
  cat >"$work/wine64" <<'END'
#!/bin/sh
printf '%s\n' "$@" >"$FAKE_ARGS"
if [ -n "${FAKE_SILENT_ONCE:-}" ] && [ ! -e "$FAKE_SILENT_ONCE" ]; then touch "$FAKE_SILENT_ONCE"; exit 1; fi
echo "[==========] Running 2 tests from 1 test suite."
echo "[ RUN      ] Rows.Case0"
echo "[       OK ] Rows.Case0 (5 ms)"
echo "[ RUN      ] Rows.Case1"
case $FAKE_ENDING in
  crash) echo "group launcher: the program ended with exit code 0xC0000005"; exit 5 ;;
  timed-out) exit 124 ;;
  failed-case) echo "[  FAILED  ] Rows.Case1 (5 ms)"; main=1 code=0x00000001 ;;
  unfinished) main=0 code=0x00000000 ;;
  skipped-last)
    printf '%s\n' "C:/src/rows_test.cpp:12: Skipped" "no room here" "" "[  SKIPPED ] Rows.Case1 (0 ms)" \
      "[  SKIPPED ] 1 test, listed below:" "[  SKIPPED ] Rows.Case1"
    main=0 code=0x00000000 ;;
  *) echo "[       OK ] Rows.Case1 (5 ms)"; main=0 code=0x00000000 ;;
esac
case $FAKE_ENDING in
  thread-left) echo "still running at the program's end: thread 42"; main=1 code=0x00000001 ;;
  exit-after-main) code=0x00000100 ;;
  hung-at-exit) echo "test program: main returns 0"; exit 124 ;;
esac
[ "$FAKE_ENDING" = killed-before-end ] || echo "test program: main returns $main"
[ "$FAKE_ENDING" = launcher-killed ] && kill -KILL $$
echo "group launcher: the program ended with exit code $code"
[ "$FAKE_ENDING" = killed-after-end ] && kill -KILL $$
exit $((code & 255))
END
  chmod +x "$work/wine64"
}

# run_group ENDING: the script over a group whose Wine process ends as ENDING; its exit status in $status and
# its output in $work/said.
run_group() {
  FAKE_ENDING=$1 FAKE_ARGS="$work/args" ZEPHRIN_TEST_FAKE_WINE64="$work/wine64" \
    "$script" "$work/results" Rows/Wide "$work/bin/test_rows.exe" "Rows.Case0:Rows.Case1" >"$work/said" 2>&1
  status=$?
}

# expect_status N: the script ended with exit status N (or "failed": any but 0).
expect_status() {
  if [ "$1" = failed ] && [ "$status" != 0 ]; then return 0; fi
  [ "$status" = "$1" ] || { echo "expected exit status $1, it was $status; it said:"; cat "$work/said"; return 1; }
}

# expect_said LINE...: the script's output holds each LINE whole.
expect_said() {
  local line
  for line in "$@"; do
    grep -qxF -- "$line" "$work/said" || { echo "expected the line \"$line\", it said:"; cat "$work/said"; return 1; }
  done
}

# expect_no_kill_noted: no group is noted as ended by a kill after its program ended.
expect_no_kill_noted() {
  [ ! -e "$work/results/ended-after-program" ] ||
    { echo "noted as killed after its program ended:"; cat "$work/results/ended-after-program"; return 1; }
}

RunTestGroup.TheLauncherRunsTheProgramByItsWindowsPathWithTheFilter() {
  run_group passed
  printf '%s\n' "$work/bin/group_launcher.exe" "Z:${work//\//\\}\\bin\\test_rows.exe" \
    "--gtest_filter=Rows.Case0:Rows.Case1" >"$work/expected"
  diff "$work/expected" "$work/args" || { echo "the stand-in was given the lines on the right"; return 1; }
}

RunTestGroup.AGroupWhoseCasesPassedAndWhoseProgramEndedPasses() {
  run_group passed
  expect_status 0 && expect_no_kill_noted
}

RunTestGroup.AFailedCaseFailsTheGroup() {
  run_group failed-case
  expect_status failed
}

RunTestGroup.ACrashFailsTheGroupAndNamesTheUnfinishedCaseWithTheFullExitCode() {
  run_group crash
  expect_status failed && expect_said "[  CRASHED ] Rows.Case1 (ended the process, exit code 0xC0000005)"
}

RunTestGroup.ATimeOutFailsTheGroupAndIsSaid() {
  run_group timed-out
  expect_status 124 && expect_said "[  CRASHED ] Rows.Case1 (timed out)" \
    "run: timed out: the group's process was ended after 300 s"
}

# A time-out leaves no case unfinished when the program hangs in its exit: it is said all the same.
RunTestGroup.ATimeOutAfterTheCasesFailsTheGroupAndIsSaid() {
  run_group hung-at-exit
  expect_status 124 && expect_said "run: timed out: the group's process was ended after 300 s"
}

# Its end lost from the output, whatever the reason: the program's good end does not make it a pass.
RunTestGroup.ACaseNeverEndedFailsTheGroupThoughItsProgramEndedWell() {
  run_group unfinished
  expect_status failed && expect_said \
    "[  CRASHED ] Rows.Case1 (never ended, though its program ended with exit code 0x00000000 and its closing line)"
}

RunTestGroup.ASkippedLastCaseHasEndedAndTheGroupPasses() {
  run_group skipped-last
  expect_status 0 || return 1
  ! grep -q CRASHED "$work/said" || { echo "a skipped case was taken as unfinished:"; cat "$work/said"; return 1; }
}

RunTestGroup.ANonZeroExitAfterAllCasesPassedFailsTheGroup() {
  run_group thread-left
  expect_status failed && expect_said "group launcher: the program ended with exit code 0x00000001"
}

# An exit code set after main returned (a static destructor's), whose low byte, Wine's own status, is 0.
RunTestGroup.AnExitCodeAfterMainReturnedFailsTheGroupThoughItsLowByteIsZero() {
  run_group exit-after-main
  expect_status failed && expect_said "group launcher: the program ended with exit code 0x00000100"
}

RunTestGroup.AKillAfterTheProgramEndedPassesAndIsNoted() {
  run_group killed-after-end
  expect_status 0 || return 1
  [ "$(cat "$work/results/ended-after-program" 2>/dev/null)" = "Rows/Wide (exit status 137)" ] ||
    { echo "the kill was not noted as \"Rows/Wide (exit status 137)\""; ls "$work/results"; return 1; }
}

# Wine gives a program killed from outside exit code 0: without its closing line that is no pass.
RunTestGroup.AProgramKilledBeforeItsOwnEndFailsTheGroup() {
  run_group killed-before-end
  expect_status failed && expect_no_kill_noted &&
    expect_said "run: the program was ended before its own end (exit code 0x00000000 without its closing line)"
}

RunTestGroup.ALauncherKilledBeforeItsLineFailsTheGroupWithItsStatus() {
  run_group launcher-killed
  expect_status 137 && expect_no_kill_noted
}

RunTestGroup.AGroupThatPrintedNothingIsTriedOnceMoreAndNoted() {
  export FAKE_SILENT_ONCE="$work/silent"
  run_group passed
  expect_status 0 || return 1
  [ "$(cat "$work/results/retried" 2>/dev/null)" = "Rows/Wide (exit status 1, no test output)" ] ||
    { echo "the retry was not noted"; ls "$work/results"; return 1; }
}

. "$(dirname "$0")/run_cases.sh"
run_cases "$results" "$@"
