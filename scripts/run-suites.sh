#!/usr/bin/env bash
# Makes every build, then runs every test suite, each to its end, and says at the end which
# suites ran and which did not, and why. A build that cannot be made fails the suites that need
# it, with the build's own error; the others still run. Exit status 0 when every build was made
# and every suite that ran passed.
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

# make_build NAME: `make build-NAME`, its output shown as it comes; a failure is kept with the
# build's first error line as its reason.
builds="$logs/builds"
mkdir -p "$builds"
make_build() {
  echo "== build $1"
  if make --no-print-directory "build-$1" 2>&1 | tee "$builds/$1.log"; then
    return
  fi
  reason=$(grep -m 1 -E 'error|Error|failed|No such' "$builds/$1.log" || tail -n 1 "$builds/$1.log")
  echo "build $1 could not be made: $reason" >"$builds/$1.failed"
}
for b in linux64 linux64-asan linux32 win32 win64; do make_build "$b"; done

# needs NAME BUILD...: the reason NAME cannot run when one of its builds was not made.
needs() {
  local b
  for b in "${@:2}"; do
    if [ -f "$builds/$b.failed" ]; then
      names+=("$1")
      echo "build-failed $(cat "$builds/$b.failed")" >"$logs/$((${#names[@]} - 1)).status"
      touch "$logs/$((${#names[@]} - 1)).shown"
      return 1
    fi
  done
}

# Each suite uses both cores but the last two, which run one program at a time (Wine, qemu):
# those two run side by side.
windows_suites='static|win32-parity|win64-parity|linux32'
needs "linux64" linux64 && start "linux64" --preset linux64 -j2 -LE "$windows_suites"
finish
needs "sanitizers" linux64-asan && start "sanitizers" --preset linux64-asan -j2
finish
needs "static checks" linux64 win32 win64 && start "static checks" --preset linux64 -L static
finish
if why=$(scripts/runs-32bit.sh); then
  needs "win32 parity" linux64 win32 && start "win32 parity" --preset linux64 -L win32-parity
  finish
  linux32="linux32 (native)"
else
  not_run "win32 parity" "$why, so 32-bit Wine cannot start"
  linux32="linux32 (under qemu-i386)"
fi
needs "win64 parity" linux64 win64 && start "win64 parity" --preset linux64 -L win64-parity
needs "$linux32" linux64 linux32 && start "$linux32" --preset linux64 -L linux32
finish

echo
echo "== Suites"
for n in "${!names[@]}"; do
  read -r status seconds <"$logs/$n.status"
  if [ "$status" = not-run ]; then
    verdict="not run: $seconds"  # the reason, the rest of the line
  elif [ "$status" = build-failed ]; then
    verdict="FAILED: $seconds"
    failed=1
  elif [ "$status" = 0 ]; then
    verdict="passed ($seconds s)"
  else
    verdict="FAILED ($seconds s)"
    failed=1
  fi
  printf '  %-28s %s\n' "${names[$n]}" "$verdict"
done
exit $failed
