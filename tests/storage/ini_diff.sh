#!/bin/sh
# The INI differential test: the same table of awkward settings files through
# our reader and writer (the Linux build) and through the Windows profile
# functions (the win64 build under wine). The transcripts must be identical.
# Usage: ini_diff.sh LINUX_PROGRAM WINDOWS_PROGRAM
# Exit 77 (skipped) when the win64 program or wine is not there.
set -eu
linux=$1
windows=$2
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver

if [ ! -f "$windows" ]; then
  echo "skipped: $windows not built (cmake --preset win64 && cmake --build build/win64)"
  exit 77
fi
if [ ! -x "$wine" ]; then
  echo "skipped: no $wine"
  exit 77
fi

work=$(mktemp -d)
export WINEDEBUG=-all
export WINEPREFIX="$work/prefix"
export WINEDLLOVERRIDES="mscoree,mshtml="  # a console program needs neither .NET nor a browser engine
cleanup() {
  # Only the server of this run's own prefix.
  [ -x "$wineserver" ] && "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

"$linux" >"$work/linux.txt"
# wine takes the ANSI code page from the locale: GBK, as on the target systems.
LC_ALL=zh_CN.UTF-8 "$wine" "$windows" >"$work/windows.txt" 2>"$work/wine.log" || {
  cat "$work/wine.log"
  exit 1
}
if ! diff -u "$work/windows.txt" "$work/linux.txt"; then
  echo "ini-diff: the answers above differ (- Windows profile functions, + ours)"
  exit 1
fi
echo "ini-diff: $(wc -l <"$work/linux.txt") answers identical"
