#!/usr/bin/env bash
# Installs what a job needs on a Debian machine, and nothing when all of it is there already.
# Runs as root (or through sudo when available).
#   install-deps.sh demo   the Linux product (x86-64) and the demo's figures
#   install-deps.sh test   also the 32-bit Linux check (gcc-multilib and qemu-user, both amd64
#                          packages; its libsndfile is built from Debian's source), the Windows
#                          cross builds (mingw-w64 i686 and x86_64) and 64-bit Wine; the i386
#                          architecture and 32-bit Wine only where this machine runs 32-bit
#                          programs, the one place 32-bit Wine can start
#   install-deps.sh bench  the product and what the benchmarks compare against
# A package mirror that fails on an index (a mirror mid-sync) does not stop the install: the
# update is tried again, then the install goes on with the lists apt has, and says which index
# failed. An install that cannot go through fails with apt's own message.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
profile=${1:-test}
update_tries=3
update_pause=${ORVANE_APT_RETRY_PAUSE:-10} # seconds between two tries of apt-get update

demo=(
  cmake make pkg-config g++
  googletest libbenchmark-dev nlohmann-json3-dev
  libsndfile1-dev libcairo2-dev fonts-dejavu-core
  python3-scipy
)
bench=("${demo[@]}" sox time espeak-ng)
test=(
  "${demo[@]}"
  gcc-multilib g++-multilib qemu-user
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  dpkg-dev
  wine wine64 fonts-wine xvfb xauth
  espeak-ng sox time parallel strace
)

runs_32bit=0
need_sources=0
case "$profile" in
  demo) packages=("${demo[@]}") ;;
  bench) packages=("${bench[@]}") ;;
  test)
    packages=("${test[@]}")
    # libsndfile for the Windows hosts and the 32-bit Linux build is built from Debian's source
    # (build-deps.sh).
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
      need_sources=1
    fi
    if "$here/runs-32bit.sh" >/dev/null; then
      runs_32bit=1
      packages+=(wine32:i386)
    fi
    ;;
  *)
    echo "usage: install-deps.sh demo|test|bench" >&2
    exit 2
    ;;
esac

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ $need_sources -eq 0 ] && exit 0

if [ $runs_32bit -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
if [ $need_sources -eq 1 ]; then
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$suite" | $SUDO tee /etc/apt/sources.list.d/orvane-deb-src.sources >/dev/null
fi

# apt-get update exits non-zero when any index fails; what it did fetch stays usable.
log=$(mktemp "${TMPDIR:-/tmp}/install-deps.XXXXXX")
trap 'rm -f "$log"' EXIT
for try in $(seq 1 $update_tries); do
  if $SUDO apt-get update -q >"$log" 2>&1; then
    failed=""
    break
  fi
  failed=$(grep -E '^(W|E): Failed to fetch ' "$log" | sed -E 's/^(W|E): Failed to fetch ([^ ]+).*/\2/' | sort -u)
  [ -n "$failed" ] || failed="(apt-get update: $(grep -E '^(W|E): ' "$log" | head -n 1))"
  [ "$try" -lt $update_tries ] && sleep "$update_pause"
done
if [ -n "$failed" ]; then
  echo "install-deps.sh: apt-get update failed $update_tries times on: $(echo $failed); going on with the package lists apt has" >&2
fi
[ ${#missing[@]} -eq 0 ] || $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
