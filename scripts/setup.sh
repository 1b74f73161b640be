#!/usr/bin/env bash
# Idempotent machine set-up: Debian packages the build and the Wine session use, and a static MinGW libcurl.
# Quiet when everything is already present; a failing step says which one it was.
set -Eeuo pipefail
step=""
trap 'echo "setup: failed: $step" >&2' ERR

# Every program ./run, scripts/ and cmake/ call beyond Debian's essential set (bash, coreutils with timeout,
# realpath and nproc, grep, sed, dpkg): the cross tools with objcopy (binutils-mingw-w64-x86-64), wine64 and
# wineserver (libwine), Xvfb, CMake with CTest, make, awk (mawk, required but not essential), rsvg-convert,
# dpkg-source (curl's source).
packages=(
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  wine64 libwine xvfb xauth fonts-liberation fonts-dejavu-core fonts-wine
  cmake make mawk googletest nlohmann-json3-dev librsvg2-bin dpkg-dev python3 ca-certificates
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  step="apt-get update"
  apt-get update -qq
  step="apt-get install ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# It names its own failing step.
exec "$(dirname "$0")/build-curl.sh"
