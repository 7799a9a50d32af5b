#!/usr/bin/env bash
# install-deps.sh against stand-in apt-get, dpkg and dpkg-query that record what they are asked
# (nothing is installed): no i386 where 32-bit programs cannot run, a mirror that fails on one
# index, an install that fails.
set -uo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/install-deps-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# setup RUNS32 UPDATE INSTALL: a copy of the script whose 32-bit probe answers RUNS32 (0 runs,
# 1 refuses), apt-get update behaving as UPDATE (ok, index) and install as INSTALL (ok, fail).
setup() {
  rm -rf "$work/s" "$work/bin" "$work/calls"
  mkdir -p "$work/s" "$work/bin"
  cp "$src/scripts/install-deps.sh" "$work/s/"
  printf '#!/bin/sh\nexit %s\n' "$1" >"$work/s/runs-32bit.sh"
  cat >"$work/bin/apt-get" <<STANDIN
#!/bin/sh
echo "apt-get \$*" >>"$work/calls"
case "\$1" in
  update) [ "$2" = ok ] && exit 0
          echo "W: Failed to fetch http://mirror/debian/dists/x/main/binary-i386/Packages.xz  File has unexpected size"
          echo "E: Some index files failed to download."; exit 100 ;;
  install) [ "$3" = ok ] && exit 0
           echo "E: Unable to locate package g++-mingw-w64-i686" >&2; exit 100 ;;
esac
STANDIN
  printf '#!/bin/sh\necho "dpkg $*" >>"%s"\n' "$work/calls" >"$work/bin/dpkg"
  printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"  # nothing is installed
  chmod +x "$work/s/"*.sh "$work/bin/"*
}
run() { PATH="$work/bin:$PATH" ORVANE_APT_RETRY_PAUSE=0 bash "$work/s/install-deps.sh" "$@" >"$work/out" 2>&1; }

setup 1 ok ok
run test || fail "test profile without 32-bit execution: $(cat "$work/out")"
grep -q ':i386' "$work/calls" && fail "asked for an i386 package: $(grep install "$work/calls")"
grep -q 'add-architecture' "$work/calls" && fail "added the i386 architecture"
grep -q 'install .*qemu-user' "$work/calls" || fail "qemu-user not asked for"

setup 0 ok ok
run test || fail "test profile with 32-bit execution: $(cat "$work/out")"
grep -q 'dpkg --add-architecture i386' "$work/calls" || fail "i386 not added where 32-bit programs run"
grep -q 'install .*wine32:i386' "$work/calls" || fail "wine32:i386 not asked for"

for profile in test demo bench; do
  setup 1 index ok
  run "$profile" || fail "$profile: an update failing on one index stopped the install: $(cat "$work/out")"
  [ "$(grep -c 'apt-get update' "$work/calls")" = 3 ] || fail "$profile: update not tried 3 times"
  grep -q 'apt-get install' "$work/calls" || fail "$profile: nothing installed after the failed index"
  grep -q 'binary-i386/Packages.xz' "$work/out" || fail "$profile: the failed index is not named"
done

setup 1 ok fail
run demo && fail "an install that cannot go through succeeded"
grep -q 'Unable to locate package' "$work/out" || fail "apt's own message not shown: $(cat "$work/out")"

[ $failures -eq 0 ] && echo "install-deps.sh: all cases passed"
exit $((failures > 0))
