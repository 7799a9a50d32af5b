#!/usr/bin/env bash
# Installs what a job needs on a Debian machine, and nothing when all of it is there already.
# Runs as root (or through sudo when available).
#   install-deps.sh demo   the Linux product (x86-64) and the demo's figures
#   install-deps.sh test   also the 32-bit Linux check (gcc-multilib, i386 libraries, qemu-i386),
#                          the Windows cross builds (mingw-w64 i686 and x86_64) and 64-bit Wine;
#                          32-bit Wine only where this machine runs 32-bit programs
#   install-deps.sh bench  the product and what the benchmarks compare against
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
profile=${1:-test}

demo=(
  cmake make pkg-config g++
  googletest libbenchmark-dev nlohmann-json3-dev
  libsndfile1-dev libcairo2-dev fonts-dejavu-core
  python3-scipy
)
bench=("${demo[@]}" sox time espeak-ng)
test=(
  "${demo[@]}"
  gcc-multilib g++-multilib libsndfile1-dev:i386 libcairo2-dev:i386 qemu-user
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  dpkg-dev
  wine wine64 fonts-wine xvfb xauth
  espeak-ng sox time parallel
)

need_i386=0
need_sources=0
case "$profile" in
  demo) packages=("${demo[@]}") ;;
  bench) packages=("${bench[@]}") ;;
  test)
    packages=("${test[@]}")
    need_i386=1
    # The Windows host's libsndfile is built from Debian's source (build-windows-deps.sh).
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
      need_sources=1
    fi
    # The deliverables' own parity runs need 32-bit Wine, which only a machine that runs 32-bit
    # programs can start.
    if "$here/runs-32bit.sh" >/dev/null; then packages+=(wine32:i386); fi
    ;;
  *)
    echo "usage: install-deps.sh demo|test|bench" >&2
    exit 2
    ;;
esac

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if [ $need_i386 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386

fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ $need_sources -eq 0 ] && exit 0

if [ $need_sources -eq 1 ]; then
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$suite" | $SUDO tee /etc/apt/sources.list.d/orvane-deb-src.sources >/dev/null
fi
$SUDO apt-get update -q
[ ${#missing[@]} -eq 0 ] || $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
