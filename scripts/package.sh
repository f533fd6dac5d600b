#!/usr/bin/env bash
# make package: the Debian package from a build folder, checked by lintian.
#   package.sh BUILD_DIR
# Prints the package's path; fails when CPack or lintian finds an error.
set -euo pipefail
build=${1:-build}
(cd "$build" && rm -f varnelcfg_*.deb && cpack -G DEB >cpack.log 2>&1) ||
  { cat "$build/cpack.log" >&2; exit 1; }
deb=$(ls "$build"/varnelcfg_*.deb)
# Warnings and notes are shown; an error fails.
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "$deb"
