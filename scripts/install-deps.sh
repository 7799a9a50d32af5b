#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian machine, and nothing when all of it is
# there already. Runs as root (or through sudo when available).
set -euo pipefail

packages=(
  cmake make pkg-config g++ gcc-multilib g++-multilib
  lib32asan8 lib32ubsan1
  googletest nlohmann-json3-dev
  libbenchmark-dev:i386
  libsndfile1-dev:i386 libcairo2-dev:i386 fonts-dejavu-core
  python3-scipy
  g++-mingw-w64-i686 binutils-mingw-w64-i686 dpkg-dev
  wine wine32:i386 fonts-wine xvfb xauth
  espeak-ng sox time parallel
)

# The Windows host's libsndfile is built from Debian's source (build-win32-deps.sh).
sources=/etc/apt/sources.list.d/orvane-deb-src.sources
need_sources=0
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  need_sources=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ $need_sources -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
if [ $need_sources -eq 1 ]; then
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$suite" | $SUDO tee "$sources" >/dev/null
fi
$SUDO apt-get update -q
[ ${#missing[@]} -eq 0 ] || $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
