# Sourced by the session scripts for their --wine runs: sets up wine64 with a
# prefix of the project's own under build/, created once (the first start of
# wine writes a whole Windows directory tree and takes a while). Exits 77
# (skipped) on a machine without wine64.
WINE=${WINE:-/usr/lib/wine/wine64}
if [ ! -x "$WINE" ]; then
  echo "skipped: $WINE is not installed" >&2
  exit 77
fi
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/wineprefix}
export WINEDEBUG=-all
# No .NET or browser engine: console programs need neither, and without this
# wine would try to install them into a new prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.quorvel-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.quorvel-ready" ]; then
      "$WINE" wineboot --init >/dev/null 2>&1 || true
      # The registry is written when the server ends.
      "$(dirname "$WINE")/wineserver" -w || true
      touch "$WINEPREFIX/.quorvel-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
