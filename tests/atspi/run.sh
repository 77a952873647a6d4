#!/usr/bin/env bash
# Runs the screen-reader test against the real binary: its own X server, a
# private session bus and the AT-SPI bus with its registry, as a desktop has.
# -noreset: the bus launcher's brief X connection must not reset the server
# while the program connects.
#   run.sh BINARY
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export TARVELO_BINARY=$1
exec xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp -noreset" \
    dbus-run-session -- bash -c '
        /usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null &
        launcher=$!
        trap "kill $launcher 2>/dev/null" EXIT
        /usr/bin/python3 "$1"' run "$here/tst_atspi.py"
