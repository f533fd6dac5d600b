#!/usr/bin/env bash
# The main job on the embedded default device: an emulated AP64 tracker
# running its firmware on a pseudo-terminal. With a display, varnelcfg opens on
# it; without one, the command line reads the tracker's settings, shows them,
# changes the callsign and writes them back.
set -euo pipefail
build=${1:-build}
build=$(cd "$build" && pwd)
tty="$build/varnel-demo-tty"
work=$(mktemp -d)

"$build/src/emulator/varnel-emu" --chip AP64 --link "$tty" >"$work/emu.log" 2>&1 &
emu=$!
cleanup() { kill "$emu" 2>/dev/null || true; wait "$emu" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

for _ in $(seq 50); do [ -e "$tty" ] && break; sleep 0.1; done
[ -e "$tty" ] || { echo "varnel-emu did not start:"; cat "$work/emu.log"; exit 1; }
echo "Emulated AP64 tracker on $tty"

if [ -x "$build/src/app/varnelcfg" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  echo "Opening varnelcfg on it: press Connect."
  "$build/src/app/varnelcfg" --port "$tty"
  exit 0
fi

echo "No display: the command line's read, show and write cycle instead."
cli="$build/src/cli/varnelcfg-cli"
"$cli" read --port "$tty" --output "$work/tracker.cfg"
"$cli" show "$work/tracker.cfg"
"$cli" set "$work/tracker.cfg" callsign=DEMO-7
"$cli" write --port "$tty" "$work/tracker.cfg"
"$cli" read --port "$tty" --output "$work/again.cfg"
"$cli" show "$work/again.cfg" | grep "^callsign="
