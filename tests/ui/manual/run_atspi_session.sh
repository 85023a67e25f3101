#!/bin/bash
# Tries the window as a user with a screen reader would: a private session bus with the accessibility bus,
# a virtual X server, the program on a small tree in private XDG folders, and atspi_driver.py driving it
# through AT-SPI (and xdotool for keys). Screenshots and reports land in the work folder it prints.
# Usage: tests/ui/manual/run_atspi_session.sh [path/to/vellick]   (default: build/src/vellick)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "${1:-$here/../../../build/src/vellick}")
export WORK=$(mktemp -d /tmp/vellick-atspi-XXXXXX)
mkdir -p "$WORK/tree/src" "$WORK/out" "$WORK/data/applications" "$WORK/config"
printf 'alpha beta\nsecond line\n' > "$WORK/tree/notes.txt"
printf 'int alpha = 1;\n' > "$WORK/tree/src/main.c"
printf 'alpha:\n\techo alpha\n' > "$WORK/tree/Makefile"
# An association whose program fails, so that Open must say so.
printf '#!/bin/sh\nexit 1\n' > "$WORK/failing-viewer" && chmod 755 "$WORK/failing-viewer"
printf '[Desktop Entry]\nType=Application\nName=Failing viewer\nExec=%s %%f\nMimeType=text/plain;text/x-makefile;\n' \
    "$WORK/failing-viewer" > "$WORK/data/applications/failing-viewer.desktop"
export PROGRAM="$program"
exec dbus-run-session -- bash -c '
    export XDG_DATA_HOME=$WORK/data XDG_CONFIG_HOME=$WORK/config XDG_CACHE_HOME=$WORK/cache
    xdg-mime default failing-viewer.desktop text/plain text/x-makefile
    /usr/libexec/at-spi-bus-launcher --launch-immediately & sleep 1
    Xvfb :77 -screen 0 1280x900x24 >/dev/null 2>&1 & xvfb=$!
    export DISPLAY=:77; sleep 1
    export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    (cd "$WORK/tree" && exec "$PROGRAM" > "$WORK/vellick.log" 2>&1) & app=$!
    sleep 3
    /usr/bin/python3 "'"$here"'/atspi_driver.py"; status=$?
    kill $app $xvfb 2>/dev/null; wait 2>/dev/null
    echo "work folder: $WORK"; exit $status'
