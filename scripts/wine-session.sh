# Sourced by ./run: a display, the project's Wine prefix and one persistent wineserver for this run.
# Only what this run started is stopped at its end.

export PATH=/usr/lib/wine:$PATH
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# Wine names Unix files in the locale's character set: without a UTF-8 locale (a bare root shell has none)
# no file name beyond ASCII can be made.
export LC_ALL=C.UTF-8

started_xvfb=""
started_wineserver=""

wine_session_stop() {
  if [ -n "$started_wineserver" ]; then wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; sleep 0.5; fi
  if [ -n "$started_xvfb" ]; then kill "$started_xvfb" 2>/dev/null || true; wait "$started_xvfb" 2>/dev/null || true; fi
}

# Starts an Xvfb on the first free display: sets xvfb_display (":N") and xvfb_pid.
start_xvfb() {
  local n pid
  for n in $(seq 90 250); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
      # The display is ours when its lock names our server: another run may have started one on it too.
      if [ -e "/tmp/.X11-unix/X$n" ] && [ "$(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ]; then
        xvfb_display=":$n" xvfb_pid=$pid
        return 0
      fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    # Another run took this display in the meantime: try the next one.
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  echo "run: no free display for Xvfb" >&2
  return 1
}

make_prefix() {
  [ -f "$WINEPREFIX/.zephrin-ready" ] && return 0
  echo "run: making the Wine prefix $WINEPREFIX (once)"
  mkdir -p "$WINEPREFIX"
  wine64 wineboot -i >/dev/null 2>&1 || { echo "run: wineboot failed for $WINEPREFIX" >&2; return 1; }
  local font
  for font in Arial Tahoma Verdana "Trebuchet MS"; do
    wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d 'Liberation Sans' /f >/dev/null 2>&1 ||
      { echo "run: cannot map the font $font in $WINEPREFIX" >&2; return 1; }
  done
  wineserver -w
  touch "$WINEPREFIX/.zephrin-ready"
}

# Wine links the user's Documents, Desktop, Pictures, ... to the real home folder: captures, dumps and settings
# would land in the runner's own ~/Tarnwick and runs on one machine would share them. Make them real folders.
own_user_folders() {
  local user_dir name
  for user_dir in "$WINEPREFIX"/drive_c/users/*; do
    [ "$(basename "$user_dir")" = Public ] && continue
    for name in Desktop Documents Downloads Music Pictures Videos; do
      if [ -L "$user_dir/$name" ]; then rm -f "$user_dir/$name"; fi
      mkdir -p "$user_dir/$name"
    done
  done
}

# told_by LOG: what a command wrote to LOG, indented, for a failure report on stderr.
told_by() {
  if [ -s "$1" ]; then sed 's/^/    /' "$1" >&2; else echo "    (no output)" >&2; fi
}

# wait_for_wineserver PID LOG: waits until the prefix's server (the child PID, its output in LOG) answers: a
# Wine program started before would start a server of its own. When it does not, says why.
wait_for_wineserver() {
  local status=0
  for _ in $(seq 1 200); do
    wineserver -k0 2>/dev/null && return 0
    kill -0 "$1" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$1" 2>/dev/null; then
    echo "run: the wineserver for $WINEPREFIX runs but does not answer; its output:" >&2
  else
    wait "$1" || status=$?
    echo "run: the wineserver for $WINEPREFIX ended with exit status $status; its output:" >&2
  fi
  told_by "$2"
  return 1
}

# wine_setting LOG WHAT COMMAND...: COMMAND sets WHAT, its output kept in LOG and told on failure.
wine_setting() {
  local log=$1 what=$2 status=0
  shift 2
  "$@" >"$log" 2>&1 </dev/null || status=$?
  [ "$status" = 0 ] && return 0
  echo "run: setting $what in $WINEPREFIX failed with exit status $status; its output:" >&2
  told_by "$log"
  return "$status"
}

# The prefix's Wine settings, written at each start: wine_settings MANAGED LOGS (MANAGED: Y or N; LOGS: the
# folder that keeps each command's output).
# - Whether Wine leaves the windows to a window manager: not on an Xvfb of our own, which has none, where
#   every hide of a managed window waits two seconds for an answer that never comes.
# - Direct3D's commands run on the thread that gives them. On a thread of their own, the presents share Wine's
#   X connection for drawing with the UI thread placing windows, and libX11 1.8.4 deadlocks the two when an
#   X error arrives while the UI thread holds that connection's lock.
wine_settings() {
  local managed=$1 logs=$2
  mkdir -p "$logs"
  wine_setting "$logs/managed.log" "the X11 driver's Managed value" \
    wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f &&
    wine_setting "$logs/csmt.log" "Direct3D's csmt value" \
      wine64 reg add 'HKCU\Software\Wine\Direct3D' /v csmt /t REG_DWORD /d 0 /f
}

wine_session_start() {
  # Interrupted or terminated, the run still stops what it started.
  trap 'exit 130' INT
  trap 'exit 143' TERM
  trap wine_session_stop EXIT
  local managed=Y
  if [ -z "${DISPLAY:-}" ]; then
    start_xvfb
    started_xvfb=$xvfb_pid
    export DISPLAY=$xvfb_display
    managed=N
  fi
  make_prefix
  own_user_folders
  local logs="$build/wine-session"
  mkdir -p "$logs"
  # A server already running for this prefix is not ours to stop. Ours stays in the foreground: a server
  # that puts itself in the background leaves nothing to tell whether it was started here.
  if ! wineserver -k0 2>/dev/null; then
    wineserver -f -p >"$logs/wineserver.log" 2>&1 &
    started_wineserver=$!
    wait_for_wineserver "$started_wineserver" "$logs/wineserver.log" || return 1
  fi
  # This also starts Wine's system processes now, detached from any caller's pipes. Without the settings
  # windows still work, only slower or less safely: say so and go on.
  wine_settings "$managed" "$logs" || echo "run: going on without Wine's settings for $WINEPREFIX" >&2
}
