# Sourced by ./run: a line now and then while a long step runs, so that a first build or a whole test run
# is seen to move.

# Minutes and seconds since a value of $SECONDS.
elapsed() {
  local s=$((SECONDS - $1))
  printf '%d:%02d' $((s / 60)) $((s % 60))
}

# follow PID EVERY REPORT: calls `REPORT START` every EVERY seconds while PID runs; returns PID's status.
follow() {
  local pid=$1 every=$2 report=$3 start=$SECONDS last=$SECONDS
  while kill -0 "$pid" 2>/dev/null; do
    sleep 1
    if ((SECONDS - last >= every)); then
      "$report" "$start"
      last=$SECONDS
    fi
  done
  wait "$pid"
}

build_progress() {
  local percent
  percent=$(grep -o '^\[ *[0-9]*%\]' "$build/build.log" 2>/dev/null | tail -n 1 | tr -dc '0-9')
  echo "run: building, ${percent:-0}% done, $(elapsed "$1") elapsed"
}

# CTest's log has a line per finished group ("  7/98 Test  #12: Suite ....   Passed  3.1 sec"); failures are
# named as soon as they are seen.
failures_told=0
test_progress() {
  local done failures
  done=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#' "$log" 2>/dev/null || true)
  failures=$(grep -E '^ *[0-9]+/[0-9]+ Test +#.*\*\*\*' "$log" 2>/dev/null || true)
  if [ -n "$failures" ]; then
    printf '%s\n' "$failures" | tail -n +$((failures_told + 1)) |
      sed -E "s|^.*Test +#[0-9]+: ([^ ]+) .*\*\*\*([A-Za-z]+).*|run: \2: \1 (its output is in $results)|"
    failures_told=$(printf '%s\n' "$failures" | wc -l)
  fi
  echo "run: ${done:-0} of $test_groups test groups done, $(elapsed "$1") elapsed"
}
