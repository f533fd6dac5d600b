#!/usr/bin/env bash
# Creates the Windows build's Wine prefix afresh, once per test run, and
# leaves its wineserver running so every test program starts quickly; stop it
# with "wine-prefix.sh BUILD_DIR stop". COM12 of the prefix is mapped to the
# link BUILD_DIR/wine/com12, which the integration tests point at the pty of
# the emulated tracker they start.
set -euo pipefail
build=$(cd "$1" && pwd)
. "$build/wine-env.sh"
wine_dir=$(dirname "$WINEPREFIX")

if [ "${2:-}" = stop ]; then
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  exit 0
fi

[ -d "$WINEPREFIX" ] && { wineserver -k 2>/dev/null || true; }
rm -rf "$wine_dir"
mkdir -p "$HOME" "$TMPDIR"
# Wine maps a port only to a device that is there when it starts.
ln -s /dev/null "$wine_dir/com12"
wineboot -i
wine reg add 'HKLM\Software\Wine\Ports' /v COM12 /d "$wine_dir/com12" /f >/dev/null
# The registry reaches the disk when the server stops; at its next start the
# mount manager creates the port (dosdevices/com12 and its SERIALCOMM entry).
wineserver -w
# What the server reports on its way (object dumps when it stops) goes to a log.
wineserver -p >"$wine_dir/wineserver.log" 2>&1
wine reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' | grep -q COM12 || {
  echo "wine-prefix.sh: Wine did not map COM12" >&2
  exit 1
}
