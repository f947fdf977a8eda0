#!/usr/bin/env bash
# Runs a Windows program under Wine as a Chinese Windows would run it (ANSI and OEM code
# page 936), in a Wine prefix of its own that is made on first use.
#
#   scripts/wine-run.sh [--prefix DIR] PROGRAM.exe [ARGUMENTS...]
#   scripts/wine-run.sh [--prefix DIR] --init
#
# DIR defaults to $WINEPREFIX. The program's exit code is passed on, and its output once
# it has ended. --init only makes the prefix (if missing) and returns; the first run does
# the same by itself.
set -euo pipefail

prefix="${WINEPREFIX:-}"
if [ "${1:-}" = "--prefix" ]; then
  [ $# -ge 2 ] || { echo "wine-run.sh: --prefix needs a folder" >&2; exit 2; }
  prefix="$2"
  shift 2
fi
[ -n "$prefix" ] || { echo "wine-run.sh: no Wine prefix (give --prefix DIR or set WINEPREFIX)" >&2; exit 2; }
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--prefix DIR] PROGRAM.exe [ARGUMENTS...] | --init" >&2; exit 2; }

mkdir -p "$prefix"
prefix="$(cd "$prefix" && pwd)"
export WINEPREFIX="$prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export LC_ALL=zh_CN.UTF-8
# No Mono or Gecko installer: nothing here needs .NET or a browser, and their set-up
# dialogs would wait for a click that never comes.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
# Wine's recycle bin is the XDG trash, and its menu entries go beside it: both stay inside
# the prefix, never in the user's own home.
# (Wine takes a trash there only when its folders exist.)
export XDG_DATA_HOME="$prefix/xdg-data"
mkdir -p "$XDG_DATA_HOME/Trash/files" "$XDG_DATA_HOME/Trash/info"

if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  echo "wine-run.sh: the zh_CN.UTF-8 locale is missing (scripts/install-deps.sh makes it)" >&2
  exit 2
fi

ready="$prefix/.pimingbao-ready"
if [ ! -e "$ready" ]; then
  # Test programs may start side by side; one of them makes the prefix, the others wait.
  exec 9>"$prefix.lock"
  flock 9
  if [ ! -e "$ready" ]; then
    echo "wine-run.sh: making the Wine prefix $prefix" >&2
    # Without a display: a server (and desktop process) left running from a start with a
    # display would be used by every later run, and the other way round; the server of
    # this prefix is stopped once the prefix is made.
    if ! env -u DISPLAY -u WAYLAND_DISPLAY wineboot --init >"$prefix.init.log" 2>&1; then
      echo "wine-run.sh: wineboot failed, see $prefix.init.log" >&2
      exit 2
    fi
    timeout 120 wineserver -w || true
    wineserver -k 2>/dev/null || true
    touch "$ready"
  fi
  flock -u 9
  exec 9>&-
fi

# Windows are shown on a display without a window manager (xvfb-run): Wine must manage
# them itself, or it waits two seconds for a manager's answer every time it hides one.
# Apart from the prefix's making, so that prefixes made before get it too; with the
# caller's display or none, as the caller's own program is about to run.
unmanaged="$prefix/.pimingbao-unmanaged-windows"
if [ ! -e "$unmanaged" ]; then
  exec 9>"$prefix.lock"
  flock 9
  if [ ! -e "$unmanaged" ]; then
    if ! wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >>"$prefix.init.log" 2>&1; then
      echo "wine-run.sh: cannot set up the Wine prefix's windows, see $prefix.init.log" >&2
      exit 2
    fi
    touch "$unmanaged"
  fi
  flock -u 9
  exec 9>&-
fi

[ "$1" = "--init" ] && exit 0

# The program's output goes through files, not straight into our own standard output:
# helper processes that Wine starts on the way (services, the COM server, consoles) inherit
# whatever they find there and outlive the program, and a caller waiting for the end of
# its pipe (ctest) would wait for them too.
out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT
# A program that fails within a second having printed nothing at all never got as far as
# its own code (a test program prints its first line at once): now and then, under load,
# Wine gives up on a start like that without a word. Such a start is tried again, at most
# twice, and said so; a program that fails after it has printed anything is never repeated.
attempt=1
while :; do
  status=0
  began=$(date +%s%3N)
  wine "$@" >"$out" 2>"$err" || status=$?
  elapsed=$(($(date +%s%3N) - began))
  silent=0
  [ -s "$out" ] || [ -s "$err" ] || silent=1
  if [ "$status" -ne 0 ] && [ "$silent" -eq 1 ] && [ "$elapsed" -lt 1000 ] && [ "$attempt" -lt 3 ]; then
    echo "wine-run.sh: $1 ended after $elapsed ms with exit code $status and printed nothing; starting it again" >&2
    attempt=$((attempt + 1))
    continue
  fi
  break
done
cat "$out"
cat "$err" >&2
if [ "$status" -ne 0 ] && [ "$silent" -eq 1 ]; then
  echo "wine-run.sh: $1 ended after $elapsed ms with exit code $status and printed nothing" >&2
fi
exit "$status"
