#!/usr/bin/env bash
# Builds the MSI from a Windows build: installs it into a staging folder,
# adds the help text (the man page's content as plain text), lists the files
# with wixl-heat and links them with dist/windows/zel-purchasing.wxs.
#   make-msi.sh SOURCE_DIR BUILD_DIR   -> BUILD_DIR/package/zel-purchasing-VERSION-x64.msi
set -euo pipefail
SRC="$1"
BUILD="$2"
VERSION="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")"
STAGE="$BUILD/msi-stage"
OUT="$BUILD/package"
rm -rf "$STAGE"
mkdir -p "$OUT"
cmake --install "$BUILD" --prefix "$STAGE" >/dev/null
# The help, readable in Notepad: the man page set as text, with CR LF.
sed "s/@PROJECT_VERSION@/$VERSION/g" "$SRC/dist/zel-purchasing.1.in" |
  MANWIDTH=78 man -l - 2>/dev/null | col -bx | sed 's/$/\r/' >"$STAGE/zel-purchasing-help.txt"
[ -s "$STAGE/zel-purchasing-help.txt" ] || { echo "make-msi: the help text is empty" >&2; exit 1; }
(cd "$STAGE" && find . -type f | sort) |
  wixl-heat -p "./" --directory-ref INSTALLDIR --component-group ProgramFiles \
    --var var.StageDir --win64 >"$BUILD/msi-files.wxs"
MSI="$OUT/zel-purchasing-$VERSION-x64.msi"
# wixl takes the files' sources relative to the folder it runs in.
(cd "$BUILD" && wixl -a x64 -D Version="$VERSION" -D StageDir=msi-stage -D Win64=yes -o "$MSI" \
  "$SRC/dist/windows/zel-purchasing.wxs" msi-files.wxs)
echo "make-msi: $MSI ($(du -h "$MSI" | cut -f1), $(wc -l <"$BUILD/msi-files.wxs") lines of file list)"
