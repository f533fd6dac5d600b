#!/bin/sh
# The desktop program read through the Linux accessibility bus, as a screen
# reader reads it: on a private X server and a private D-Bus session, over
# an emulated tracker, atspi_read.py walks the connect window and the main
# window and fails on any control without a name of its own.
#   atspi_smoke_test.sh VARNELCFG VARNEL-EMU
set -eu
gui=$1
emu=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# Settings and backups stay in the test's own folder.
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export work gui emu here
dbus-run-session -- sh -c '
    display=:$((90 + $$ % 100))
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    export DISPLAY="$display"
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
    bus=$!
    "$emu" --chip JM128 --link "$work/tracker" >"$work/emu.log" 2>&1 &
    tracker=$!
    for i in $(seq 50); do [ -e "$work/tracker" ] && [ -e /tmp/.X11-unix/X${display#:} ] && break; sleep 0.1; done
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$gui" --port "$work/tracker" >"$work/gui.log" 2>&1 &
    app=$!
    status=0
    /usr/bin/python3 "$here/atspi_read.py" varnelcfg || status=$?
    kill $app $tracker $bus $xvfb 2>/dev/null || true
    wait 2>/dev/null || true
    [ $status -eq 0 ] || { cat "$work/gui.log" >&2; }
    exit $status
'
