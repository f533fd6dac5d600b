#!/usr/bin/env bash
# Packs the Windows build's programs for download:
#   varnelcfg-VERSION-windows-x64.zip  with varnelcfg.exe, varnelcfg-cli.exe,
#   README.txt and the licence (when the repository has one);
#   varnelcfg-VERSION-windows-x64-setup.exe  the same files as a setup
#   program (packaging/windows/varnelcfg.nsi, built with NSIS's makensis).
# Usage: windows-package.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
version=$(sed -n 's/^project(varnelcfg VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name="varnelcfg-$version-windows-x64"
stage="$build/package/$name"

rm -rf "$build/package"
mkdir -p "$stage"
cp "$build/src/win32/varnelcfg.exe" "$build/src/cli/varnelcfg-cli.exe" "$stage/"
# Windows' own editor wants CR LF line ends.
sed 's/$/\r/' "$root/docs/windows-readme.txt" >"$stage/README.txt"
for licence in LICENSE LICENSE.txt COPYING; do
  if [ -f "$root/$licence" ]; then
    sed 's/$/\r/' "$root/$licence" >"$stage/LICENSE.txt"
    break
  fi
done
(cd "$build/package" && cmake -E tar cf "$build/$name.zip" --format=zip "$name")
echo "$build/$name.zip"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$root/res/icons/varnelcfg.ico" \
  -DOUTFILE="$build/$name-setup.exe" "$root/packaging/windows/varnelcfg.nsi"
echo "$build/$name-setup.exe"
