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
    # Xvfb picks a free display itself and writes its number once it takes
    # clients; a loaded machine can take seconds to get there.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    "$emu" --chip JM128 --link "$work/tracker" >"$work/emu.log" 2>&1 &
    tracker=$!
    for i in $(seq 300); do [ -s "$work/display" ] && [ -e "$work/tracker" ] && break; sleep 0.1; done
    if ! [ -s "$work/display" ]; then
        echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2
        kill $tracker $xvfb 2>/dev/null || true
        exit 1
    fi
    export DISPLAY=":$(head -n 1 "$work/display")"
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
    bus=$!
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$gui" --port "$work/tracker" >"$work/gui.log" 2>&1 &
    app=$!
    status=0
    /usr/bin/python3 "$here/atspi_read.py" varnelcfg || status=$?
    kill $app $tracker $bus $xvfb 2>/dev/null || true
    wait 2>/dev/null || true
    [ $status -eq 0 ] || { cat "$work/gui.log" "$work/xvfb.log" >&2; }
    exit $status
'
