#!/usr/bin/env bash
# Checks the MSI as a practice's IT person would use it, under Wine: installs
# it silently, runs the installed program's --version and a headless print
# of a demo order (the database through ODBC), compares that PDF's text with
# the Linux build's PDF of the same order, uninstalls, and checks that nothing
# of it is left: no files, no Start menu entries, no registry key.
#   check-msi.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
SRC="$1"
BUILD="$2"
MSI="$(ls "$BUILD"/package/zel-purchasing-*-x64.msi | tail -1)"
export WINEPREFIX="$BUILD/wineprefix-msi"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export ZEL_DB_DIR="$BUILD/msi-db"
ORDER=40
WORK="$(mktemp -d)"
trap 'ZEL_DB_DIR="$ZEL_DB_DIR" "$SRC/scripts/db" stop >/dev/null 2>&1 || true; wineserver -k 2>/dev/null || true; rm -rf "$WORK"' EXIT
fail() { echo "check-msi: $*" >&2; exit 1; }
# A UK workstation, as at the practice (Wine takes its locale from LC_ALL).
w() { (ulimit -v 4194304; exec env LC_ALL=en_GB.UTF-8 timeout -k 10 300 wine "$@"); }

rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
cp /usr/share/fonts/truetype/liberation/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
wineserver -w
"$SRC/scripts/db" reset >/dev/null
"$SRC/scripts/db" start >/dev/null
URL="$("$SRC/scripts/db" url)"
export ZEL_ODBC_DRIVER=/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so

echo "check-msi: installing $(basename "$MSI") ($(du -h "$MSI" | cut -f1))"
w msiexec /i "Z:${MSI//\//\\}" /qn || fail "msiexec /i failed"
APP="$WINEPREFIX/drive_c/Program Files/Zel Purchasing"
# The entries are the machine's; Wine 8 puts a per-machine package's
# shortcuts in the installing user's Start menu, so either place will do.
MENU="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zel Purchasing"
[ -d "$MENU" ] || MENU="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Zel Purchasing"
[ -f "$APP/zel-purchasing.exe" ] || fail "the program is not installed in $APP"
for f in Qt6Core.dll platforms/qwindows.dll sqldrivers/qsqlodbc.dll styles/qwindowsvistastyle.dll \
         libstdc++-6.dll zel-purchasing-help.txt schema.sql grants.sql; do
  [ -f "$APP/$f" ] || fail "$f is not installed"
done
for entry in "Purchase Ordering" "Goods In"; do
  [ -f "$MENU/$entry.lnk" ] || fail "no Start menu entry \"$entry\" in $MENU"
done
# The installed program alone: no build folder on its path.
unset WINEPATH QT_PLUGIN_PATH
EXE='C:\Program Files\Zel Purchasing\zel-purchasing.exe'
version="$(w "$EXE" --version | tr -d '\r')"
[ "$version" = "zel-purchasing $(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")" ] ||
  fail "--version said: $version"
echo "check-msi: $version"
ZEL_DATABASE="$URL" w "$EXE" --data-dir 'C:\ZelData' --print-order "$ORDER" --pdf 'C:\order.pdf' ||
  fail "the headless print failed"
PDF="$WINEPREFIX/drive_c/order.pdf"
[ -s "$PDF" ] || fail "no PDF was written"
pdftotext -layout "$PDF" "$WORK/windows.txt"
grep -q . "$WORK/windows.txt" || fail "the PDF holds no text"
LINUX="${ZEL_LINUX_BINARY:-$SRC/build/zel-purchasing}"
if [ -x "$LINUX" ]; then
  QT_QPA_PLATFORM=offscreen ZEL_ODBC_DRIVER= ZEL_DATABASE="$URL" "$LINUX" --data-dir "$WORK/data" \
    --print-order "$ORDER" --pdf "$WORK/linux.pdf"
  pdftotext -layout "$WORK/linux.pdf" "$WORK/linux.txt"
  # The same words in the same order; the printed date aside, they must match.
  words() { sed 's/[0-9][0-9]\/[0-9][0-9]\/[0-9]\{4\}/DATE/g' "$1" | tr -s ' \n' '\n\n'; }
  if ! diff <(words "$WORK/linux.txt") <(words "$WORK/windows.txt") >"$WORK/diff"; then
    head -20 "$WORK/diff" >&2
    fail "the Windows PDF's text differs from the Linux build's"
  fi
  echo "check-msi: the PDF of order $ORDER reads the same as the Linux build's ($(wc -w <"$WORK/windows.txt") words)"
else
  echo "check-msi: SKIPPED the comparison with the Linux build's PDF: no Linux build at $LINUX"
fi

w msiexec /x "Z:${MSI//\//\\}" /qn || fail "msiexec /x failed"
[ ! -e "$APP" ] || fail "files are left after uninstalling: $(ls "$APP")"
[ ! -e "$MENU" ] || fail "the Start menu folder is left after uninstalling"
if grep -qi 'Zel Purchasing' "$WINEPREFIX/system.reg"; then
  wineserver -w
  grep -qi '\\Zel Purchasing\]' "$WINEPREFIX/system.reg" && fail "the registry key is left after uninstalling"
fi
echo "check-msi: installed, printed and uninstalled cleanly"
