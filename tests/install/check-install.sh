#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks what lands there with the
# desktop and AppStream validators, and starts the installed program.
set -euo pipefail
BUILD="$1"
PREFIX="$(mktemp -d)"
trap 'rm -rf "$PREFIX"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
for f in bin/zel-purchasing \
         share/applications/org.zelpurchasing.Purchasing.desktop share/applications/org.zelpurchasing.GoodsIn.desktop \
         share/icons/hicolor/scalable/apps/zel-purchasing.svg share/man/man1/zel-purchasing.1.gz \
         share/metainfo/org.zelpurchasing.Purchasing.metainfo.xml share/doc/zel-purchasing/copyright \
         share/zel-purchasing/grants.sql; do
  [ -f "$PREFIX/$f" ] || fail "$f was not installed"
done
[ -x "$PREFIX/bin/zel-purchasing" ] || fail "the program is not executable"

APPS="$PREFIX/share/applications"
desktop-file-validate "$APPS/org.zelpurchasing.Purchasing.desktop" "$APPS/org.zelpurchasing.GoodsIn.desktop" ||
  fail "desktop-file-validate"
grep -qx 'Name=Purchase Ordering' "$APPS/org.zelpurchasing.Purchasing.desktop" || fail "purchase ordering entry's name"
grep -qx 'Exec=zel-purchasing' "$APPS/org.zelpurchasing.Purchasing.desktop" || fail "purchase ordering entry's command"
grep -qx 'Name=Goods In' "$APPS/org.zelpurchasing.GoodsIn.desktop" || fail "goods in entry's name"
grep -qx 'Exec=zel-purchasing 1' "$APPS/org.zelpurchasing.GoodsIn.desktop" || fail "goods in entry's command"
grep -qx 'Icon=zel-purchasing' "$APPS/org.zelpurchasing.GoodsIn.desktop" || fail "goods in entry's icon"
appstreamcli validate --no-net --explain "$PREFIX/share/metainfo/org.zelpurchasing.Purchasing.metainfo.xml" ||
  fail "appstreamcli validate"
grep -q "<svg" "$PREFIX/share/icons/hicolor/scalable/apps/zel-purchasing.svg" || fail "the icon is no SVG"

# The man page reads without troff complaints and names the options.
man_out="$(zcat "$PREFIX/share/man/man1/zel-purchasing.1.gz" | LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l - 2>&1)"
grep -q -- '--version' <<<"$man_out" || fail "the man page does not list --version"
if grep -q 'warning' <<<"$man_out"; then fail "the man page: $(grep warning <<<"$man_out")"; fi

version="$(grep -m1 -o 'release version="[^"]*"' "$PREFIX/share/metainfo/org.zelpurchasing.Purchasing.metainfo.xml" | sed -n 's/.*"\(.*\)"/\1/p')"
out="$(QT_QPA_PLATFORM= DISPLAY= "$PREFIX/bin/zel-purchasing" --version)"
[ "$out" = "zel-purchasing $version" ] || fail "--version said '$out', the metainfo $version"
"$PREFIX/bin/zel-purchasing" --help | grep -q -- '--database URL' || fail "--help"
echo "installed and checked in $PREFIX"
