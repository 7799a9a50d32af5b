#!/usr/bin/env bash
# Builds the libsndfile of a build that cannot take Debian's: from Debian's own source of the
# version the Linux product links (so every host reads and writes audio with the same code),
# with the same float flags as everything else.
#   win32, win64  static, for the Windows hosts (mingw-w64 i686 and x86_64); the header-only
#                 JSON library is gathered where the cross compiler can see it
#   linux32       shared, -m32, for the 32-bit Linux check, which links no i386 package of the
#                 system: orvane finds it through its run path
# Does nothing when the prefix is complete, so a prefix under build/ serves as a cache.
# Usage: build-deps.sh win32|win64|linux32 PREFIX
set -euo pipefail

usage="usage: build-deps.sh win32|win64|linux32 PREFIX"
shared=OFF
cflags="-msse2 -mfpmath=sse -ffp-contract=off"
case "${1:-}" in
  win32) toolchain=mingw-i686.cmake ;;
  win64) toolchain=mingw-x86_64.cmake ;;
  linux32) toolchain=linux32.cmake shared=ON cflags="-m32 $cflags" ;; # flags given replace the toolchain's
  *) echo "$usage" >&2; exit 2 ;;
esac
prefix=$(realpath -m "${2:?$usage}")
here=$(cd "$(dirname "$0")/.." && pwd)
if [ $shared = ON ]; then
  [ -f "$prefix/lib/libsndfile.so" ] && exit 0
else
  [ -f "$prefix/lib/libsndfile.a" ] && [ -f "$prefix/include/nlohmann/json.hpp" ] && exit 0
fi

work="$prefix/src"
rm -rf "$work"
mkdir -p "$work" "$prefix/include"
# Each step's output goes to its log, shown only when the step fails.
quietly() {
  local log=$1
  shift
  if ! "$@" >"$log" 2>&1; then
    echo "build-deps.sh: failed: $*" >&2
    tail -n 30 "$log" >&2
    exit 1
  fi
}
echo "build-deps.sh: building libsndfile for $1 into $prefix" >&2
[ $shared = ON ] || cp -r /usr/include/nlohmann "$prefix/include/"

version=$(dpkg-query -W -f='${source:Version}' libsndfile1-dev)
fetch() (
  cd "$work" && { apt-get source -q --download-only "libsndfile=$version" ||
    apt-get source -q --download-only libsndfile; }
)
quietly "$work/fetch.log" fetch
quietly "$work/unpack.log" dpkg-source -x "$work"/libsndfile_*.dsc "$work/libsndfile"

quietly "$work/configure.log" cmake -S "$work/libsndfile" -B "$work/build" \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DBUILD_SHARED_LIBS=$shared -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF \
  -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF \
  -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF -DENABLE_PACKAGE_CONFIG=OFF \
  -DCMAKE_INSTALL_LIBDIR=lib \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_INSTALL_PREFIX="$prefix"
quietly "$work/build.log" cmake --build "$work/build" -j2
quietly "$work/install.log" cmake --install "$work/build"
