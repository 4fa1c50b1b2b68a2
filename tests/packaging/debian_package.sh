#!/usr/bin/env bash
# Makes the Debian package from the build as `make package` does, into a scratch folder, and
# checks it: lintian finds no error or warning, the menu entry validates, the package depends
# on the SQL drivers the archive opens, its changelog is for the version it carries, its
# manual page tells every option the command line reads, and its documents are compressed as
# Debian wants them.
#   debian_package.sh <build folder> <scratch folder> <source folder>
set -uo pipefail

build=$1
out=$2
source=$3
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

rm -rf "$out"
mkdir -p "$out/home"
# lintian and cpack read no one's own settings and write nothing into the real home.
export HOME=$out/home XDG_CONFIG_HOME=$out/home/.config XDG_CACHE_HOME=$out/home/.cache

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log" >&2
  echo "FAIL: cpack could not make the package" >&2
  exit 1
fi
debs=("$out"/vr5xp_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: cpack made no single vr5xp_*.deb in $out" >&2
  exit 1
fi
deb=${debs[0]}

# lintian: no error and no warning (what it says at the info level is shown, not failed).
if ! command -v lintian >/dev/null; then
  fail "lintian is not installed (scripts/setup installs it)"
else
  lintian --fail-on error,warning --display-info "$deb" >"$out/lintian.log" 2>&1
  status=$?
  if [ $status -ne 0 ] || grep -q '^[EW]: ' "$out/lintian.log"; then
    fail "lintian (exit status $status):"
    grep -v '^running with root privileges' "$out/lintian.log" >&2
  fi
fi

# Depends: the Qt SQL drivers are plugins, found by no library dependency, so they must be
# named; the fonts stand in for the faces the report page names.
depends=$(dpkg-deb -f "$deb" Depends)
for wanted in libqt6sql6-sqlite libqt6sql6-psql fonts-liberation2; do
  if ! tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//' | grep -qx "$wanted"; then
    fail "Depends lacks $wanted: $depends"
  fi
done

# The extended description as it was written: no XML entities for apostrophes and the like.
description=$(dpkg-deb -f "$deb" Description)
if [ "$(wc -l <<<"$description")" -lt 3 ]; then
  fail "the description has no extended part"
fi
if grep -q '&[a-z]*;' <<<"$description"; then
  fail "the description holds an XML entity: $(grep '&[a-z]*;' <<<"$description")"
fi

tree=$out/tree
dpkg-deb -x "$deb" "$tree"
doc=$tree/usr/share/doc/vr5xp
if ! head -n 1 "$doc/copyright" 2>/dev/null |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/'; then
  fail "usr/share/doc/vr5xp/copyright is missing or not in the machine-readable format"
fi

# The menu entry as desktops read it (the context-menu files follow other formats of their own).
if ! command -v desktop-file-validate >/dev/null; then
  fail "desktop-file-validate is not installed (scripts/setup installs it)"
elif ! desktop-file-validate "$tree/usr/share/applications/vr5xp.desktop" >&2; then
  fail "usr/share/applications/vr5xp.desktop does not validate"
fi

# gzip -9n: the maximum compression, and no file name or time stamp in the header, so that the
# same sources give the same package.
check_gzip() {
  local file=$1
  if [ ! -f "$tree/$file" ]; then
    fail "$file is not in the package"
    return
  fi
  if ! gzip -t "$tree/$file" 2>/dev/null; then
    fail "$file is not gzip data"
    return
  fi
  local header
  header=$(od -An -tx1 -N9 "$tree/$file" | tr -d ' \n')
  # bytes: 1f 8b 08 FLG MTIME(4) XFL
  local flags=${header:6:2} mtime=${header:8:8} xfl=${header:16:2}
  if (((0x$flags & 0x08) != 0)) || [ "$mtime" != 00000000 ]; then
    fail "$file keeps a file name or time stamp (gzip without -n)"
  fi
  if [ "$xfl" != 02 ]; then
    fail "$file is not compressed at the maximum level (gzip without -9)"
  fi
}
check_gzip usr/share/doc/vr5xp/changelog.Debian.gz
check_gzip usr/share/man/man1/vr5xp.1.gz

# The changelog's newest entry is for the version the package carries.
version=$(dpkg-deb -f "$deb" Version)
if [ -f "$doc/changelog.Debian.gz" ]; then
  top=$(gzip -dc "$doc/changelog.Debian.gz" | head -n 1)
  if [[ "$top" != "vr5xp ($version) "* ]]; then
    fail "the changelog begins with \"$top\", the package is version $version"
  fi
fi

# Every option the command line reads is told in the manual page.
man_page=$tree/usr/share/man/man1/vr5xp.1.gz
if [ -f "$man_page" ]; then
  man_text=$(gzip -dc "$man_page" | sed 's/\\f[BIRP]//g; s/\\-/-/g; s/\\&//g')
  options=$(cat "$source"/src/app/*.cpp | grep -o '"--[a-z][a-z0-9-]*' | tr -d '"' | sort -u)
  if [ -z "$options" ]; then
    fail "no option found in src/app"
  fi
  for option in $options; do
    if ! grep -q -- "$option\\b" <<<"$man_text"; then
      fail "the manual page does not tell $option"
    fi
  done
  for switch in /p /pt; do
    if ! grep -q "^\\.BI\\? $switch\\b" <<<"$man_text"; then
      fail "the manual page does not tell $switch"
    fi
  done
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed on $deb" >&2
  exit 1
fi
rm -rf "$out"
echo "$(basename "$deb"): lintian-clean, $(wc -w <<<"$options") options in its manual page"
