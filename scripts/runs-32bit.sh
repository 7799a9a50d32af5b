#!/usr/bin/env bash
# Tells whether this machine runs x86 32-bit programs natively: exits 0 when it does, 1 when it
# does not, and prints one line saying which and why. Kernels may be built or booted without
# 32-bit emulation ("Exec format error"); a 32-bit program that only runs through an emulator
# registered with binfmt_misc does not count, as 32-bit Wine does not start under one.
set -u

# The smallest i386 program: an ELF header, one program header and exit(0) by int 0x80, so
# the probe needs no 32-bit compiler or library.
probe=$(mktemp "${TMPDIR:-/tmp}/runs-32bit.XXXXXX")
trap 'rm -f "$probe"' EXIT
printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' >"$probe"
chmod +x "$probe"

for entry in /proc/sys/fs/binfmt_misc/*; do
  [ -f "$entry" ] || continue
  if grep -qx enabled "$entry" 2>/dev/null && grep -q '^magic 7f454c460101010000000000000000000200030' "$entry" 2>/dev/null; then
    echo "32-bit x86 programs run only through an emulator here ($(basename "$entry") in binfmt_misc)"
    exit 1
  fi
done

if error=$("$probe" 2>&1); then
  echo "this machine runs 32-bit x86 programs"
  exit 0
fi
echo "this machine cannot run 32-bit x86 programs (${error##*: }; the kernel has no 32-bit emulation)"
exit 1
