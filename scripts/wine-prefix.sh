#!/usr/bin/env bash
# Creates the Windows build's Wine prefix afresh, once per test run, and
# leaves its wineserver running so every test program starts quickly, with
# an X server of its own (Xvfb) for the windows of varnelcfg.exe; stop both
# with "wine-prefix.sh BUILD_DIR stop". COM12 and COM3 of the prefix are
# mapped to the links BUILD_DIR/wine/com12 and com3, which the integration
# tests point at the pty of the emulated tracker they start.
set -euo pipefail
build=$(cd "$1" && pwd)
. "$build/wine-env.sh"
wine_dir=$(dirname "$WINEPREFIX")

stop_display() {
  if [ -s "$wine_dir/xvfb.pid" ]; then
    kill "$(cat "$wine_dir/xvfb.pid")" 2>/dev/null || true
  fi
  rm -f "$wine_dir/xvfb.pid" "$wine_dir/display"
}

if [ "${2:-}" = stop ]; then
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  stop_display
  exit 0
fi

[ -d "$WINEPREFIX" ] && { wineserver -k 2>/dev/null || true; }
[ -d "$wine_dir" ] && stop_display
rm -rf "$wine_dir"
mkdir -p "$HOME" "$TMPDIR"
# Wine maps a port only to a device that is there when it starts. COM12
# is the tests' port; COM3 is one the legacy command line's single digit
# can name.
wineboot -i
for port in 3 12; do
  ln -s /dev/null "$wine_dir/com$port"
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$port" /d "$wine_dir/com$port" /f >/dev/null
done
# The registry reaches the disk when the server stops; at its next start the
# mount manager creates the port (dosdevices/com12 and its SERIALCOMM entry).
wineserver -w
# What the server reports on its way (object dumps when it stops) goes to a log.
wineserver -p >"$wine_dir/wineserver.log" 2>&1
for port in COM3 COM12; do
  wine reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' | grep -qw "$port" || {
    echo "wine-prefix.sh: Wine did not map $port" >&2
    exit 1
  }
done

# A screen for the windows, as large as the smallest the program is made
# for and then some; wine-env.sh points DISPLAY at it.
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$wine_dir/display.new" >"$wine_dir/xvfb.log" 2>&1 &
echo $! >"$wine_dir/xvfb.pid"
for _ in $(seq 50); do
  [ -s "$wine_dir/display.new" ] && break
  sleep 0.1
done
[ -s "$wine_dir/display.new" ] || { echo "wine-prefix.sh: Xvfb did not start" >&2; exit 1; }
mv "$wine_dir/display.new" "$wine_dir/display"
