#!/usr/bin/env bash
# Runs a program of the linux32 build: natively where this machine runs 32-bit programs, else
# under Debian's user-mode emulator qemu-i386, with the machine's own i386 libraries (-L /).
#   scripts/run-linux32.sh build/linux32/bin/orvane run levelmeter ...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -gt 0 ] || { echo "usage: $0 PROGRAM [ARGS...]" >&2; exit 2; }
if "$here/runs-32bit.sh" >/dev/null; then
  exec "$@"
fi
if ! command -v qemu-i386 >/dev/null; then
  echo "run-linux32.sh: this machine cannot run 32-bit programs and qemu-i386 is missing" \
    "(scripts/install-deps.sh test installs qemu-user)" >&2
  exit 127
fi
exec qemu-i386 -L / "$@"
