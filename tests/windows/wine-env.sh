# Sourced by the Windows tests: a Wine prefix of their own in a temporary folder, started once.
#   wine_start        makes the prefix ($WINEPREFIX) and boots it
#   wine_run ARGS...  runs a Windows program
#   wine_stop         ends the prefix's wineserver and removes the prefix
# WINE names the loader; else wine, else Debian's wine64 loader.

if [ -z "${WINE:-}" ]; then
  if command -v wine >/dev/null 2>&1; then WINE=$(command -v wine)
  elif [ -x /usr/lib/wine/wine64 ]; then WINE=/usr/lib/wine/wine64
  else
    echo "Wine is not installed: scripts/setup windows installs it." >&2
    exit 1
  fi
fi
WINESERVER=${WINESERVER:-$(dirname "$(readlink -f "$WINE")")/wineserver}
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINE WINESERVER WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

wine_start() {
  WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/vr5-wine.XXXXXX")
  export WINEPREFIX
  "$WINE" wineboot -i >/dev/null 2>&1
  # Wine passes no QT_ variable on to Windows programs: the prefix's own environment does.
  "$WINE" reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null 2>&1
  "$WINESERVER" -w
}

wine_run() {
  "$WINE" "$@"
}

wine_stop() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
