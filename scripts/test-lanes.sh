# Sourced by ./run test after wine-session.sh: lanes in which test groups run side by side. A lane is a
# display of its own (windows, focus, the X clipboard) and a fresh copy of the project's prefix with a
# wineserver of its own (registry, user folders, temporary files, window station and clipboard), so groups
# in two lanes cannot see each other. CTest hands each group a free lane (its resource "lanes");
# cmake/run-test-group.sh reads the lane's env file.

lanes_dir="$build/lanes"
lane_servers=()
lane_displays=()
lanes_ctest_pid=""

# Stops what lanes_start started (called on exit).
lanes_stop() {
  local i
  # A run that was interrupted: its CTest goes first, or it would start the remaining groups in dead lanes.
  if [ -n "$lanes_ctest_pid" ] && kill -0 "$lanes_ctest_pid" 2>/dev/null; then
    kill "$lanes_ctest_pid" 2>/dev/null || true
    wait "$lanes_ctest_pid" 2>/dev/null || true
  fi
  for i in "${!lane_servers[@]}"; do
    WINEPREFIX="$lanes_dir/$i/prefix" wineserver -k 2>/dev/null || true
  done
  for i in "${!lane_servers[@]}"; do wait "${lane_servers[$i]}" 2>/dev/null || true; done
  for i in "${!lane_displays[@]}"; do
    kill "${lane_displays[$i]}" 2>/dev/null || true
    wait "${lane_displays[$i]}" 2>/dev/null || true
  done
  lane_servers=() lane_displays=()
}

# A fresh copy of the project's prefix. Wine's own DLLs are most of it and only read: those are shared as
# hard links; everything else (registry, user folders, settings) is copied.
copy_prefix() {
  local from=$1 to=$2 entry
  mkdir -p "$to/drive_c/windows"
  for entry in "$from"/.[!.]* "$from"/*; do
    [ "$entry" = "$from/drive_c" ] || cp -a "$entry" "$to/"
  done
  for entry in "$from/drive_c"/*; do
    [ "$entry" = "$from/drive_c/windows" ] || cp -a "$entry" "$to/drive_c/"
  done
  for entry in "$from/drive_c/windows"/*; do
    case "$entry" in
      */system32 | */syswow64 | */winsxs) cp -al "$entry" "$to/drive_c/windows/" ;;
      *) cp -a "$entry" "$to/drive_c/windows/" ;;
    esac
  done
}

# One lane's prefix and the env file naming it and its display.
lane_prepare() {
  local dir=$1 display=$2
  rm -rf "$dir/prefix"
  copy_prefix "$WINEPREFIX" "$dir/prefix"
  # Programs write the host's "Presets" folder beside themselves: each lane runs its own links to the
  # programs, and nothing a test writes there is shared.
  rm -rf "$dir/bin"
  mkdir -p "$dir/bin"
  find "$build/bin" -maxdepth 1 -type f -exec ln -t "$dir/bin" {} +
  printf 'export DISPLAY=%s\nexport WINEPREFIX=%s\nexport ZEPHRIN_LANE_BIN=%s\n' "$display" "$dir/prefix" "$dir/bin" >"$dir/env"
}

# lanes_ctest ARGS...: CTest over the lanes, in the background (its process id in lanes_ctest_pid).
lanes_ctest() {
  ctest -j"${#lane_servers[@]}" --resource-spec-file "$lanes_dir/resources.json" "$@" &
  lanes_ctest_pid=$!
}

# lanes_start COUNT: COUNT lanes and the CTest resource file naming them ($lanes_dir/resources.json).
lanes_start() {
  local count=$1 i ids="" pids=()
  trap 'lanes_stop; wine_session_stop' EXIT
  mkdir -p "$lanes_dir"
  rm -f "$lanes_dir"/*/env
  for ((i = 0; i < count; i++)); do
    mkdir -p "$lanes_dir/$i"
    # A server left by a run that was killed would keep the old copy alive.
    WINEPREFIX="$lanes_dir/$i/prefix" wineserver -k 2>/dev/null || true
    start_xvfb
    lane_displays[$i]=$xvfb_pid
    lane_prepare "$lanes_dir/$i" "$xvfb_display" &
    pids+=($!)
  done
  wait "${pids[@]}"
  pids=()
  for ((i = 0; i < count; i++)); do
    [ -f "$lanes_dir/$i/env" ] || { echo "run: cannot prepare test lane $i in $lanes_dir/$i" >&2; return 1; }
    # In the foreground of its subshell, so that its process id is the server's.
    (. "$lanes_dir/$i/env"; exec wineserver -f -p >"$lanes_dir/$i/wineserver.log" 2>&1) &
    lane_servers[$i]=$!
  done
  for ((i = 0; i < count; i++)); do
    # Here, where the server is a child whose exit status can be read.
    WINEPREFIX="$lanes_dir/$i/prefix" wait_for_wineserver "${lane_servers[$i]}" "$lanes_dir/$i/wineserver.log" ||
      { echo "run: cannot start test lane $i" >&2; return 1; }
    # A lane's display has no window manager. This also starts Wine's system processes, detached from
    # CTest's pipes.
    (. "$lanes_dir/$i/env"; wine_settings N "$lanes_dir/$i") &
    pids+=($!)
    ids="$ids${ids:+,}{\"id\":\"$i\",\"slots\":1}"
  done
  for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || { echo "run: cannot start test lane $i" >&2; return 1; }
  done
  printf '{"version":{"major":1,"minor":0},"local":[{"lanes":[%s]}]}\n' "$ids" >"$lanes_dir/resources.json"
  export ZEPHRIN_LANES="$lanes_dir"
}
