# Sourced by the Windows tests: a Wine prefix of their own in a temporary folder, started once.
#   wine_start        makes the prefix ($WINEPREFIX) and a home for it ($HOME), boots it
#   wine_run ARGS...  runs a Windows program
#   wine_restart      starts the prefix's server anew (after a change to Wine's own settings)
#   wine_stop         ends the prefix's wineserver and removes the prefix and its home
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
# No Mono or Gecko to install, and no menu entries on the desktop for what the installer adds.
export WINE WINESERVER WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

wine_start() {
  # The prefix's Documents and the other user folders are links to HOME: a home of its own,
  # so that nothing a test does reaches the user's reports, settings or menus.
  wine_root=$(mktemp -d "${TMPDIR:-/tmp}/vr5-wine.XXXXXX")
  mkdir -p "$wine_root/home"
  export WINEPREFIX=$wine_root/prefix HOME=$wine_root/home
  export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share
  "$WINE" wineboot -i >/dev/null 2>&1
  # Wine passes no QT_ variable on to Windows programs: the prefix's own environment does.
  "$WINE" reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null 2>&1
  # From here on a server whose own messages (a dump of its objects as it ends) go nowhere.
  wine_restart
}

# True when the prefix and HOME are wine_start's own: the tests that write reports check it.
wine_own_home() {
  if [ -z "${WINEPREFIX:-}" ] || [ "$HOME" != "$(dirname "$WINEPREFIX")/home" ]; then
    echo "$0: run from tests/windows/run-tests, which gives Wine a home of its own" >&2
    return 1
  fi
}

# Ends the prefix's programs and starts its server again, which reads Wine's registry anew.
wine_restart() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  "$WINESERVER" -p >/dev/null 2>&1 || true
}

wine_run() {
  "$WINE" "$@"
}

wine_stop() {
  [ -n "${wine_root:-}" ] || return 0
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  rm -rf "$wine_root"
}
