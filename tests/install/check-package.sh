#!/usr/bin/env bash
# Builds the Debian package (scripts/package, with lintian when installed),
# checks its files and dependencies, unpacks it into a scratch root and
# starts the program from there.
set -euo pipefail
SRC="$1"
BUILD="$2"
ROOTDIR="$(mktemp -d)"
trap 'rm -rf "$ROOTDIR"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DEB="$(ZEL_SKIP_SETUP=1 ZEL_BUILD_DIR="$BUILD" "$SRC/scripts/package" | tail -1)"
[ -f "$DEB" ] || fail "no package was built"
echo "package: $DEB"

files="$(dpkg-deb -c "$DEB" | awk '{print $6}')"
for f in ./usr/bin/zel-purchasing ./usr/share/applications/org.zelpurchasing.Purchasing.desktop \
         ./usr/share/applications/org.zelpurchasing.GoodsIn.desktop \
         ./usr/share/icons/hicolor/scalable/apps/zel-purchasing.svg ./usr/share/man/man1/zel-purchasing.1.gz \
         ./usr/share/metainfo/org.zelpurchasing.Purchasing.metainfo.xml ./usr/share/doc/zel-purchasing/copyright \
         ./usr/share/doc/zel-purchasing/changelog.gz; do
  grep -qx -- "$f" <<<"$files" || fail "$f is not in the package"
done
# Nothing of the tests, the benchmarks or the build.
if grep -E 'test_|bench|\.a$|/include/' <<<"$files"; then fail "build or test files in the package"; fi

depends="$(dpkg-deb -f "$DEB" Depends)"
echo "Depends: $depends"
for p in libqt6widgets6 libqt6sql6 libqt6printsupport6 libqt6sql6-mysql libqt6sql6-odbc odbc-mariadb; do
  grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "the package does not depend on $p"
done
for p in mariadb-server g++ gcc cmake qt6-base-dev libgtest-dev; do
  if grep -Eq "(^|, )$p( |,|$)" <<<"$depends"; then fail "the package depends on $p"; fi
done

dpkg-deb -x "$DEB" "$ROOTDIR"
file "$ROOTDIR/usr/bin/zel-purchasing" 2>/dev/null | grep -q 'not stripped' && fail "the program is not stripped"
out="$(QT_QPA_PLATFORM= DISPLAY= "$ROOTDIR/usr/bin/zel-purchasing" --version)"
grep -Eq '^zel-purchasing [0-9]+\.[0-9]+\.[0-9]+$' <<<"$out" || fail "--version said '$out'"
[ "${out#zel-purchasing }" = "$(dpkg-deb -f "$DEB" Version)" ] || fail "--version and the package disagree"
QT_QPA_PLATFORM= DISPLAY= "$ROOTDIR/usr/bin/zel-purchasing" --help | grep -q -- '--database URL' || fail "--help"
echo "package checked"
