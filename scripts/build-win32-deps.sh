#!/usr/bin/env bash
# Builds what the Windows host needs and Debian does not package for mingw-w64: libsndfile, from
# Debian's own source of the version the Linux build links (so both hosts read and write audio
# with the same code), built with the same float flags as everything else. Also gathers the
# header-only JSON library where the cross compiler can see it without the Linux headers.
# Does nothing when the prefix is complete. Usage: build-win32-deps.sh PREFIX
set -euo pipefail

prefix=$(realpath -m "${1:?usage: build-win32-deps.sh PREFIX}")
here=$(cd "$(dirname "$0")/.." && pwd)
[ -f "$prefix/lib/libsndfile.a" ] && [ -f "$prefix/include/nlohmann/json.hpp" ] && exit 0

work="$prefix/src"
rm -rf "$work"
mkdir -p "$work" "$prefix/include"
cp -r /usr/include/nlohmann "$prefix/include/"

version=$(dpkg-query -W -f='${source:Version}' libsndfile1-dev:i386)
(cd "$work" && { apt-get source -q --download-only "libsndfile=$version" ||
  apt-get source -q --download-only libsndfile; } >/dev/null)
dpkg-source -x "$work"/libsndfile_*.dsc "$work/libsndfile" >/dev/null

cmake -S "$work/libsndfile" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF \
  -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF \
  -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF -DENABLE_PACKAGE_CONFIG=OFF \
  -DCMAKE_C_FLAGS="-msse2 -mfpmath=sse -ffp-contract=off" -DCMAKE_INSTALL_PREFIX="$prefix" \
  >"$work/configure.log"
cmake --build "$work/build" -j2 >"$work/build.log"
cmake --install "$work/build" >/dev/null
