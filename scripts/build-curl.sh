#!/usr/bin/env bash
# Cross-builds Debian's curl source as a static, HTTP-only MinGW library, once per source version.
# Prints nothing when the cached build is already there.
set -Eeuo pipefail
step=""
trap 'echo "setup: failed: $step" >&2' ERR

cache_root=/var/cache/zephrin
here=$(cd "$(dirname "$0")/.." && pwd)

ensure_deb_src() {
  if grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ || grep -qs '^deb-src' /etc/apt/sources.list; then
    return
  fi
  # Mirror the machine's own archive as a source entry: its first deb822 stanza, or its first "deb" line.
  step="adding a source entry for Debian's archive"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    awk 'BEGIN{RS=""} NR==1 {print}' /etc/apt/sources.list.d/debian.sources \
      | sed 's/^Types:.*/Types: deb-src/' > /etc/apt/sources.list.d/zephrin-src.sources
  else
    grep -m1 '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/zephrin-src.list
  fi
  step="apt-get update for the source entry"
  apt-get update -qq
}

step="finding curl's source version"
version=$(apt-cache showsrc curl 2>/dev/null | awk '/^Version:/ {print $2; exit}' || true)
if [ -z "$version" ]; then
  ensure_deb_src
  version=$(apt-cache showsrc curl | awk '/^Version:/ {print $2; exit}')
fi
prefix="$cache_root/curl-$version"
[ -f "$prefix/lib/libcurl.a" ] && { ln -sfn "$prefix" "$cache_root/curl"; exit 0; }

echo "setup: building libcurl $version for MinGW (once)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
step="apt-get source curl"
apt-get source -qq --download-only curl >/dev/null 2>&1
step="unpacking curl's source"
dpkg-source -x --no-check ./*.dsc src >/dev/null
step="configuring libcurl"
cmake -S "$work/src" -B "$work/build" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
  -DHTTP_ONLY=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_SCHANNEL=OFF -DCURL_USE_LIBSSH2=OFF \
  -DCURL_DISABLE_LDAP=ON -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF -DUSE_NGHTTP2=OFF -DCURL_ZLIB=OFF \
  -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DENABLE_MANUAL=OFF -DCURL_CA_PATH=none -DCURL_CA_BUNDLE=none \
  >"$work/configure.log" 2>&1 || { tail -40 "$work/configure.log"; echo "setup: failed: $step" >&2; exit 1; }
step="building libcurl"
cmake --build "$work/build" -j"$(nproc)" >"$work/build.log" 2>&1 || { tail -40 "$work/build.log"; echo "setup: failed: $step" >&2; exit 1; }
step="installing libcurl into $prefix"
cmake --install "$work/build" >/dev/null
step="linking $cache_root/curl"
ln -sfn "$prefix" "$cache_root/curl"
