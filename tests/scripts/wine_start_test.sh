#!/usr/bin/env bash
# How ./run's Wine start-up tells a failing step (scripts/wine-session.sh, scripts/test-lanes.sh), in the shell:
# wine_start_test.sh RESULTS CASE... runs each named case (a function below) with stand-ins for wine64 and
# wineserver found first on PATH, over a made-up prefix.
set -uo pipefail
scripts="$(cd "$(dirname "$0")/../.." && pwd)/scripts"
results=$1
shift

# The project's prefix as far as the lanes copy it, and the stand-ins, which talk as Wine's do when all is well.
# FAKE_SERVER=ends makes "wineserver -f -p" end at once, as Wine's does on a temporary folder error;
# FAKE_FAIL_ON=VALUE makes "wine64 reg add" of VALUE fail.
prepare_case() {
  build="$work/build"
  local prefix="$build/wineprefix"
  mkdir -p "$build/bin" "$prefix/drive_c/windows/system32" "$prefix/drive_c/users/tester" "$work/fakes"
  touch "$build/bin/test_toolkit.exe" "$prefix/.update-timestamp" "$prefix/user.reg" \
    "$prefix/drive_c/windows/system32/kernel32.dll"
  cat >"$work/fakes/wineserver" <<'END'
#!/bin/sh
state="$WINEPREFIX/fake-server"
case "$1" in
  -k0) [ -e "$state" ] ;;
  -k) if [ -s "$state" ]; then kill "$(cat "$state")"; fi; rm -f "$state" ;;
  -f)
    if [ "${FAKE_SERVER:-}" = ends ]; then echo "wineserver: a temporary folder error" >&2; exit 1; fi
    echo $$ >"$state"
    echo "wineserver: serving" >&2
    exec sleep infinity ;;
esac
END
  cat >"$work/fakes/wine64" <<'END'
#!/bin/sh
for arg; do
  if [ "$arg" = "${FAKE_FAIL_ON:-}" ]; then echo "reg: cannot write $arg"; exit 5; fi
done
echo "reg: done"
END
  chmod +x "$work/fakes/wineserver" "$work/fakes/wine64"
}

# The scripts as ./run sources them, with the stand-ins and, for a lane, a stand-in display.
source_scripts() {
  . "$scripts/wine-session.sh"
  . "$scripts/test-lanes.sh"
  PATH="$work/fakes:$PATH"
  start_xvfb() {
    sleep infinity &
    xvfb_display=":0" xvfb_pid=$!
  }
}

# expect_told FILE LINE...: FILE holds each LINE whole.
expect_told() {
  local file=$1 line
  shift
  for line in "$@"; do
    grep -qxF -- "$line" "$file" || { echo "expected the line \"$line\", stderr said:"; cat "$file"; return 1; }
  done
}

WineStart.LanesThatStartSayNothing() {
  source_scripts
  lanes_start 2 >"$work/said" 2>&1 || { echo "lanes_start failed"; cat "$work/said"; return 1; }
  [ ! -s "$work/said" ] || { echo "a good start said:"; cat "$work/said"; return 1; }
  [ -f "$build/lanes/resources.json" ] || { echo "no resources.json"; return 1; }
}

WineStart.ALaneWhoseServerEndsToldWithItsStatusAndOutput() {
  source_scripts
  export FAKE_SERVER=ends
  if lanes_start 1 2>"$work/stderr"; then echo "lanes_start went on without a server"; return 1; fi
  expect_told "$work/stderr" "run: the wineserver for $build/lanes/0/prefix ended with exit status 1; its output:" \
    "    wineserver: a temporary folder error" "run: cannot start test lane 0"
}

WineStart.ALaneSettingThatFailsIsNamedWithItsStatusAndOutput() {
  source_scripts
  export FAKE_FAIL_ON=csmt
  if lanes_start 1 2>"$work/stderr"; then echo "lanes_start went on without the settings"; return 1; fi
  expect_told "$work/stderr" \
    "run: setting Direct3D's csmt value in $build/lanes/0/prefix failed with exit status 5; its output:" \
    "    reg: cannot write csmt" "run: cannot start test lane 0"
}

# ./run demo and ./run host go on without the settings, and say so.
WineStart.ASessionGoesOnWithoutASettingThatFailedAndSaysWhich() {
  source_scripts
  export DISPLAY=:0 FAKE_FAIL_ON=Managed
  touch "$WINEPREFIX/.zephrin-ready" "$WINEPREFIX/fake-server"
  wine_session_start 2>"$work/stderr" || { echo "the session did not go on"; cat "$work/stderr"; return 1; }
  expect_told "$work/stderr" \
    "run: setting the X11 driver's Managed value in $build/wineprefix failed with exit status 5; its output:" \
    "    reg: cannot write Managed" "run: going on without Wine's settings for $build/wineprefix"
}

. "$(dirname "$0")/run_cases.sh"
run_cases "$results" "$@"
