#!/usr/bin/env bash
# Runs every test suite of the builds that `make test` made, each to its end, and says at the end
# which suites ran and which did not, and why. Exit status 0 when every suite that ran passed.
#   linux64       the product's tests, `orvane validate` on every plug-in, the parity self-test
#   sanitizers    the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   static        the Windows plug-ins as files (the 32-bit deliverables and the Win64 build)
#   win64 parity  orvane.exe and the plug-ins for x86-64 Windows under 64-bit Wine, against linux64
#   win32 parity  the deliverables under 32-bit Wine, against linux64: only where this machine
#                 runs 32-bit programs
#   linux32       every scenario through the 32-bit Linux build, natively or under qemu-i386,
#                 against linux64 to the last bits of a double
set -uo pipefail
cd "$(dirname "$0")/.."

names=()
verdicts=()
failed=0

# suite NAME CTEST-ARGS...: runs ctest with those arguments and notes the verdict.
suite() {
  local name=$1
  shift
  echo
  echo "== $name"
  local started=$SECONDS
  if ctest "$@"; then
    verdicts+=("passed ($((SECONDS - started)) s)")
  else
    verdicts+=("FAILED ($((SECONDS - started)) s)")
    failed=1
  fi
  names+=("$name")
}

not_run() {
  names+=("$1")
  verdicts+=("not run: $2")
}

windows_suites='static|win32-parity|win64-parity|linux32'
suite "linux64" --preset linux64 -j2 -LE "$windows_suites"
suite "sanitizers" --preset linux64-asan -j2
suite "static checks" --preset linux64 -L static
suite "win64 parity" --preset linux64 -L win64-parity
if why=$(scripts/runs-32bit.sh); then
  suite "win32 parity" --preset linux64 -L win32-parity
  linux32="linux32 (native)"
else
  not_run "win32 parity" "$why, so 32-bit Wine cannot start"
  linux32="linux32 (under qemu-i386)"
fi
suite "$linux32" --preset linux64 -L linux32

echo
echo "== Suites"
for i in "${!names[@]}"; do
  printf '  %-28s %s\n' "${names[$i]}" "${verdicts[$i]}"
done
exit $failed
