#!/usr/bin/env bash
# Runs a Windows program under Wine with nobody at the screen:
#   scripts/wine-run.sh build/win32/bin/orvane.exe describe 'Z:\work\...\levelmeter.xfm'
#   scripts/wine-run.sh --arch win64 build/win64/bin/orvane.exe list
# or, with --session, a Linux command that runs many Windows programs itself (`wine PROGRAM`):
# they share one display and one Wine server, kept alive until the command ends, so each of
# them starts in a fraction of a second instead of several:
#   scripts/wine-run.sh --arch win64 --session python3 tests/parity/run_parity.py ...
# --arch win32 (the default) runs 32-bit programs in a 32-bit prefix, which needs a machine that
# runs 32-bit programs and Debian's wine32; --arch win64 runs 64-bit programs with wine64 in a
# 64-bit prefix. The prefix ($ORVANE_WINEPREFIX, else build/wineprefix or build/wineprefix64 of
# this tree) is created on first use. Without a $DISPLAY the run gets an Xvfb of its own,
# stopped when the run is over. The exit status is the program's (127 when Wine, its fonts or
# Xvfb are missing or the prefix fails).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=win32
session=0
while [ $# -gt 0 ]; do
  case "$1" in
    --session) session=1 ;;
    --arch)
      arch=${2:-}
      shift
      ;;
    *) break ;;
  esac
  shift
done
case "$arch" in
  win32) prefix_name=wineprefix loader=wine ;;
  win64) prefix_name=wineprefix64 loader=/usr/lib/wine/wine64 ;;
  *)
    echo "wine-run.sh: --arch win32 or win64" >&2
    exit 2
    ;;
esac
if [ $# -eq 0 ]; then
  echo "usage: $0 [--arch win32|win64] PROGRAM [ARGS...] | $0 [--arch ...] --session COMMAND [ARGS...]" >&2
  exit 2
fi
export WINEPREFIX=${ORVANE_WINEPREFIX:-$root/build/$prefix_name}
export WINEARCH=$arch
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: their install prompts would wait for a person forever.
export WINEDLLOVERRIDES="mscoree,mshtml="

# 32-bit Wine cannot start on a machine without 32-bit execution, not even under an emulator:
# say so once, and end with $ORVANE_NO_32BIT_STATUS (a test's "skipped") or 127.
if [ "$arch" = win32 ] && ! why=$("$root/scripts/runs-32bit.sh"); then
  echo "wine-run.sh: 32-bit Windows programs cannot run here: $why" >&2
  exit "${ORVANE_NO_32BIT_STATUS:-127}"
fi
for tool in "$loader" wineboot wineserver flock; do
  if ! command -v "$tool" >/dev/null; then
    echo "wine-run.sh: $tool is missing (scripts/install-deps.sh installs Wine)" >&2
    exit 127
  fi
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/wine-run.XXXXXX")
# `wine` for this run is the loader of the chosen width: Debian's wrapper would take the 32-bit
# one whenever wine32 is installed.
if [ "$arch" = win64 ]; then
  mkdir "$tmp/bin"
  printf '#!/bin/sh\nexec %s "$@"\n' "$loader" >"$tmp/bin/wine"
  chmod +x "$tmp/bin/wine"
  export PATH="$tmp/bin:$PATH" WINELOADER=$loader
fi
xvfb_pid=""
# shellcheck disable=SC2317  # called by the trap
cleanup() {
  # Wine's processes (the desktop process too) keep windows on our display: let them end
  # before the display goes. -w rather than -k: another run may share this prefix's server.
  if [ -d "$WINEPREFIX" ]; then
    if [ $session -eq 1 ]; then wineserver -k 2>/dev/null || true; fi
    wineserver -w 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [ -z "${DISPLAY:-}" ]; then
  for tool in Xvfb xauth; do
    if ! command -v "$tool" >/dev/null; then
      echo "wine-run.sh: no \$DISPLAY and $tool is missing (apt-get install xvfb xauth)" >&2
      exit 127
    fi
  done
  # A cookie of our own; the server accepts every entry of its -auth file, so one entry is
  # enough before the display number is known.
  export XAUTHORITY=$tmp/Xauthority
  : >"$XAUTHORITY"
  cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
  xauth -q -f "$XAUTHORITY" add :0 MIT-MAGIC-COOKIE-1 "$cookie"
  # -displayfd: the server picks a free display number itself and writes it once it accepts
  # connections, so parallel runs never race for a number.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -auth "$XAUTHORITY" \
    3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
      echo "wine-run.sh: Xvfb did not start:" >&2
      cat "$tmp/xvfb.log" >&2
      exit 127
    fi
    sleep 0.1
  done
  if [ ! -s "$tmp/display" ]; then
    echo "wine-run.sh: Xvfb gave no display number within 10 s" >&2
    exit 127
  fi
  DISPLAY=":$(head -n1 "$tmp/display")"
  export DISPLAY
  xauth -q -f "$XAUTHORITY" add "$DISPLAY" MIT-MAGIC-COOKIE-1 "$cookie"
fi

# The prefix is made once; parallel callers wait on the lock, and the marker tells a finished
# prefix from one whose creation was interrupted or that an older version of this script made
# (wineboot -i completes such a one).
# Wine's own versions of the Windows fonts (Debian's fonts-wine) go into the prefix: without
# them "MS Sans Serif" falls back to a wider Linux font, and every dialog, the results graph
# included, is laid out 7 instead of 6 pixels per 4 dialog units wide, unlike on Windows. This
# Wine build does not look for them where the package puts them.
# Wine draws the windows' frames and captions itself (Decorated=N): there is no window manager
# on the display to draw them, and screenshots of the dialogs would have no title. Its windows
# are not left to a window manager either (Managed=N): Wine would wait up to a second for one
# whenever a dialog or message box closes. A program that crashes gets its backtrace written
# and ends, instead of a crash dialog nobody answers (ShowCrashDialog=0).
wine_fonts=/usr/share/wine/fonts
ready="prefix 5: $arch, Wine's Windows fonts, frames drawn by Wine, no window manager, no crash dialog"
mkdir -p "$(dirname "$WINEPREFIX")"
if [ "$(cat "$WINEPREFIX/.orvane-ready" 2>/dev/null)" != "$ready" ]; then
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ "$(cat "$WINEPREFIX/.orvane-ready" 2>/dev/null)" != "$ready" ]; then
    if [ ! -f "$wine_fonts/ms_sans_serif.ttf" ]; then
      echo "wine-run.sh: Wine's fonts are missing in $wine_fonts (apt-get install fonts-wine)" >&2
      exit 127
    fi
    echo "wine-run.sh: setting up the Wine prefix $WINEPREFIX" >&2
    if ! "$loader" wineboot -i >"$tmp/wineboot.log" 2>&1 || ! wineserver -w; then
      echo "wine-run.sh: wineboot failed:" >&2
      cat "$tmp/wineboot.log" >&2
      exit 127
    fi
    cp "$wine_fonts"/* "$WINEPREFIX/drive_c/windows/Fonts/"
    "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
    "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
    "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
    wineserver -w
    echo "$ready" >"$WINEPREFIX/.orvane-ready"
  fi
  flock -u 9
  exec 9>&-
fi

status=0
if [ $session -eq 1 ]; then
  # The server stays up between the command's programs (-p: persistent) until cleanup.
  wineserver -p
  "$@" || status=$?
else
  wine "$@" || status=$?
fi
exit $status
