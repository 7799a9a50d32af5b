#!/usr/bin/env bash
# Builds what the Windows host needs and Debian does not package for mingw-w64: libsndfile, from
# Debian's own source of the version the Linux build links (so both hosts read and write audio
# with the same code), built with the same float flags as everything else. Also gathers the
# header-only JSON library where the cross compiler can see it without the Linux headers.
# Does nothing when the prefix is complete.
# Usage: build-windows-deps.sh win32|win64 PREFIX (win32: i686, the deliverables; win64: x86_64)
set -euo pipefail

usage="usage: build-windows-deps.sh win32|win64 PREFIX"
case "${1:-}" in
  win32) toolchain=mingw-i686.cmake ;;
  win64) toolchain=mingw-x86_64.cmake ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
prefix=$(realpath -m "${2:?$usage}")
here=$(cd "$(dirname "$0")/.." && pwd)
[ -f "$prefix/lib/libsndfile.a" ] && [ -f "$prefix/include/nlohmann/json.hpp" ] && exit 0

work="$prefix/src"
rm -rf "$work"
mkdir -p "$work" "$prefix/include"
# Each step's output goes to its log, shown only when the step fails.
quietly() {
  local log=$1
  shift
  if ! "$@" >"$log" 2>&1; then
    echo "build-windows-deps.sh: failed: $*" >&2
    tail -n 30 "$log" >&2
    exit 1
  fi
}
echo "build-windows-deps.sh: building libsndfile for Windows ($1) into $prefix" >&2
cp -r /usr/include/nlohmann "$prefix/include/"

version=$(dpkg-query -W -f='${source:Version}' libsndfile1-dev)
fetch() (
  cd "$work" && { apt-get source -q --download-only "libsndfile=$version" ||
    apt-get source -q --download-only libsndfile; }
)
quietly "$work/fetch.log" fetch
quietly "$work/unpack.log" dpkg-source -x "$work"/libsndfile_*.dsc "$work/libsndfile"

quietly "$work/configure.log" cmake -S "$work/libsndfile" -B "$work/build" \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/$toolchain" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF \
  -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF \
  -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF -DENABLE_PACKAGE_CONFIG=OFF \
  -DCMAKE_C_FLAGS="-msse2 -mfpmath=sse -ffp-contract=off" -DCMAKE_INSTALL_PREFIX="$prefix"
quietly "$work/build.log" cmake --build "$work/build" -j2
quietly "$work/install.log" cmake --install "$work/build"
