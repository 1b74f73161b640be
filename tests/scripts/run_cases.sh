# Sourced at the end of a script test: run_cases RESULTS CASE... runs each named case (a function "Suite.Case"
# of the test script) in a fresh folder $work, after the script's prepare_case, and prints as a gtest program
# does, into RESULTS/Suite.log too. Exits non-zero when a case failed.
run_cases() {
  local results=$1 case said outcome failed=0 log
  shift
  mkdir -p "$results"
  log="$results/${1%%.*}.log"
  echo "[==========] Running $# tests from 1 test suite." >"$log"
  for case in "$@"; do
    echo "[ RUN      ] $case" >>"$log"
    work=$(mktemp -d)
    if said=$(prepare_case && "$case" 2>&1); then outcome="       OK "; else outcome="  FAILED  "; failed=1; fi
    [ -z "$said" ] || echo "$said" >>"$log"
    rm -rf "$work"
    echo "[$outcome] $case (0 ms)" >>"$log"
  done
  cat "$log"
  exit $failed
}
