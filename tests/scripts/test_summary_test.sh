#!/usr/bin/env bash
# The counting of scripts/test-summary.sh, in the shell: test_summary_test.sh RESULTS CASE... runs each named
# case (a function below) on made-up group outputs and prints as a gtest program does, into RESULTS too.
set -uo pipefail
summary="$(cd "$(dirname "$0")/../.." && pwd)/scripts/test-summary.sh"
results=$1
shift

# group NAME OUTCOME...: a group's output, one case per OUTCOME (OK, FAILED, SKIPPED with the reason "no
# room for caseI", or RUN for a case never ended), then gtest's closing list of the skipped cases.
group() {
  local name=$1 outcome i=0 skipped=()
  shift
  {
    echo "[==========] Running $# tests from 1 test suite."
    for outcome in "$@"; do
      echo "[ RUN      ] $name.Case$i"
      case $outcome in
        OK) echo "[       OK ] $name.Case$i (5 ms)" ;;
        FAILED) echo "[  FAILED  ] $name.Case$i (5 ms)" ;;
        SKIPPED)
          printf '%s\n' "C:/src/case.cpp:9: Skipped" "no room for case$i" "" "[  SKIPPED ] $name.Case$i (0 ms)"
          skipped+=("$name.Case$i") ;;
      esac
      i=$((i + 1))
    done
    if [ ${#skipped[@]} -gt 0 ]; then
      echo "[  SKIPPED ] ${#skipped[@]} tests, listed below:"
      printf '[  SKIPPED ] %s\n' "${skipped[@]}"
    fi
  } >"$work/results/$name.log"
}

# ctest_failed GROUP[=REASON]...: CTest's log naming the groups that failed, each for REASON (Failed).
ctest_failed() {
  { echo "The following tests FAILED:"; local n=1 g
    for g in "$@"; do [[ $g == *=* ]] || g+="=Failed"; printf '\t%3d - %s (%s)\n' $((n++)) "${g%%=*}" "${g#*=}"; done
    echo "Errors while running CTest"; } >"$work/ctest.log"
}

# summarise STATUS: the summary of a run that ended with STATUS, over $work's outputs.
summarise() { "$summary" "$work/results" "$work/ctest.log" "$1"; }

# expect_said STATUS LINE...: lines the summary prints for a run that ended with STATUS.
expect_said() {
  local said line
  said=$(summarise "$1")
  shift
  for line in "$@"; do
    grep -qxF -- "$line" <<<"$said" || { echo "expected the line \"$line\", the summary said:"; echo "$said"; return 1; }
  done
}

# expect_last STATUS LINE: the summary's last line for a run that ended with STATUS.
expect_last() {
  local last
  last=$(summarise "$1" | tail -n 1)
  [ "$last" = "$2" ] || { echo "expected \"$2\", the summary said \"$last\""; return 1; }
}

# expect_exit STATUS WANTED: the summary of a run that ended with STATUS exits 0, or (WANTED "failed") not 0.
expect_exit() {
  local said exit=0
  said=$(summarise "$1") || exit=$?
  if [ "$2" = failed ] && [ "$exit" != 0 ]; then return 0; fi
  [ "$exit" = "$2" ] || { echo "expected the summary to exit $2, it exited $exit and said:"; echo "$said"; return 1; }
}

TestSummary.AGroupKilledAfterItsCasesPassedCountsAsFailed() {
  group Gallery OK OK
  echo Killed >>"$work/results/Gallery.log"
  group Other OK
  ctest_failed Gallery
  expect_last 8 "run: 3 passed, 1 failed, 0 skipped"
}

# Each such group counts and is named with CTest's reason and its output's last line, beside a failed case
# of another group; a parameterised group's slash is an underscore in its log's name.
TestSummary.EachGroupKilledAfterItsCasesPassedIsNamedAndCountedBesideFailedCases() {
  group Gallery OK OK
  echo Killed >>"$work/results/Gallery.log"
  group Wide_Cells OK
  echo "wine: a late exit" >>"$work/results/Wide_Cells.log"
  group Broken OK FAILED
  ctest_failed Gallery Wide/Cells=Timeout Broken
  expect_said 8 "run: failed: Gallery (Failed) though none of its cases failed; its output ends: Killed" \
    "run: failed: Wide/Cells (Timeout) though none of its cases failed; its output ends: wine: a late exit" \
    "run: failed: Broken.Case1 (5 ms)" || return 1
  expect_last 8 "run: 4 passed, 3 failed, 0 skipped"
}

# The group's program ended with exit code 0 and its closing line (cmake/run-test-group.sh); a failure
# elsewhere still counts.
TestSummary.GroupsKilledAfterTheirProgramEndedAreNamedAndCountedButPass() {
  group Gallery OK OK
  group Wide_Cells OK
  group Broken OK FAILED
  printf '%s\n' "Gallery (exit status 137)" "Wide/Cells (exit status 137)" >"$work/results/ended-after-program"
  ctest_failed Broken
  expect_said 8 "run: ended by Wine's kill after its program ended: Gallery (exit status 137)" \
    "run: ended by Wine's kill after its program ended: Wide/Cells (exit status 137)" \
    "run: groups ended by Wine's kill after their program ended: 2" || return 1
  expect_last 8 "run: 4 passed, 1 failed, 0 skipped" || return 1
  rm "$work/results/Broken.log"
  : >"$work/ctest.log"
  expect_last 0 "run: 3 passed, 0 failed, 0 skipped"
}

TestSummary.AFailedOrUnfinishedCaseCountsOnceWithItsGroup() {
  group Broken OK FAILED
  echo "[  FAILED  ] Broken.Case1" >>"$work/results/Broken.log"  # gtest's closing list
  group Crashed OK RUN RUN
  echo "[  CRASHED ] Crashed.Case1 (ended the process, exit code 3)" >>"$work/results/Crashed.log"
  ctest_failed Broken Crashed
  expect_last 8 "run: 2 passed, 3 failed, 0 skipped"
}

TestSummary.ARunFailingOutsideAnyGroupNeverSaysNoneFailed() {
  echo "No tests were found!!!" >"$work/ctest.log"
  expect_last 8 "run: 0 passed, 1 failed, 0 skipped" || return 1
  group Fine OK OK
  : >"$work/ctest.log"
  expect_last 0 "run: 2 passed, 0 failed, 0 skipped"
}

# Skipped in the middle of a group and as its last case: ended, neither passed nor failed, each named with the
# reason gtest printed.
TestSummary.SkippedCasesAreNamedWithTheirReasonAndCountedApartFromFailures() {
  group Files OK SKIPPED OK SKIPPED
  : >"$work/ctest.log"
  expect_said 0 "run: skipped: Files.Case1 (no room for case1)" "run: skipped: Files.Case3 (no room for case3)" ||
    return 1
  expect_last 0 "run: 2 passed, 0 failed, 2 skipped" && expect_exit 0 0
}

# CTest passed the group (its process ended well), yet its output ended two of its three cases.
TestSummary.CasesAGroupLostFailTheRunThoughCTestPassedIt() {
  group Lost OK OK
  sed -i 's/Running 2 tests/Running 3 tests/' "$work/results/Lost.log"
  : >"$work/ctest.log"
  expect_last 0 "run: 2 passed, 1 failed, 0 skipped" && expect_exit 0 failed
}

TestSummary.ARunCTestFailedFailsTheSummaryToo() {
  group Broken OK FAILED
  ctest_failed Broken
  expect_exit 8 failed
}

prepare_case() { mkdir "$work/results"; }

. "$(dirname "$0")/run_cases.sh"
run_cases "$results" "$@"
