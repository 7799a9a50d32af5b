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

logs=$(mktemp -d "${TMPDIR:-/tmp}/run-suites.XXXXXX")
trap 'rm -rf "$logs"' EXIT
names=()
failed=0

# start NAME CTEST-ARGS...: runs ctest with those arguments in the background, into a log.
start() {
  local n=${#names[@]}
  names+=("$1")
  shift
  (
    started=$SECONDS
    ctest "$@" >"$logs/$n.log" 2>&1
    status=$?
    echo "$status $((SECONDS - started))" >"$logs/$n.status"
  ) &
}

# finish: waits for the suites started, shows their logs in order and notes their verdicts.
finish() {
  wait
  for n in "${!names[@]}"; do
    [ -f "$logs/$n.status" ] || continue
    [ -f "$logs/$n.shown" ] && continue
    echo
    echo "== ${names[$n]}"
    cat "$logs/$n.log"
    touch "$logs/$n.shown"
  done
}

not_run() {
  names+=("$1")
  echo "not-run $2" >"$logs/$((${#names[@]} - 1)).status"
  touch "$logs/$((${#names[@]} - 1)).shown"
}

# Each suite uses both cores but the last two, which run one program at a time (Wine, qemu):
# those two run side by side.
windows_suites='static|win32-parity|win64-parity|linux32'
start "linux64" --preset linux64 -j2 -LE "$windows_suites"
finish
start "sanitizers" --preset linux64-asan -j2
finish
start "static checks" --preset linux64 -L static
finish
if why=$(scripts/runs-32bit.sh); then
  start "win32 parity" --preset linux64 -L win32-parity
  finish
  linux32="linux32 (native)"
else
  not_run "win32 parity" "$why, so 32-bit Wine cannot start"
  linux32="linux32 (under qemu-i386)"
fi
start "win64 parity" --preset linux64 -L win64-parity
start "$linux32" --preset linux64 -L linux32
finish

echo
echo "== Suites"
for n in "${!names[@]}"; do
  read -r status seconds <"$logs/$n.status"
  if [ "$status" = not-run ]; then
    verdict="not run: $seconds"  # the reason, the rest of the line
  elif [ "$status" = 0 ]; then
    verdict="passed ($seconds s)"
  else
    verdict="FAILED ($seconds s)"
    failed=1
  fi
  printf '  %-28s %s\n' "${names[$n]}" "$verdict"
done
exit $failed
