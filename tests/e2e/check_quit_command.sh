#!/bin/sh
# "Beenden" (Ctrl+Q) typed into the Planning window under a real X server ends the program the
# ordinary way: exit status 0, the debug text and the settings on disk.
# Usage: check_quit_command.sh <program>; runs itself under xvfb-run when there is no display.
set -eu
program=$1
. "$(dirname "$0")/x_session.sh"
mkdir -p "$work/data" "$work/work"

cd "$work/work"
env TAKTPLAN_DATA_DIR="$work/data" TAKTPLAN_FAKE_TIME=2026-12-07T09:00:00 TAKTPLAN_LANGUAGE=de \
    TAKTPLAN_TRACE_STARTUP=1 QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" \
    ASAN_OPTIONS=detect_leaks=0 "$program" > "$work/out.txt" 2> "$work/err.txt" &
pid=$!

tries=0
until grep -q '^shown' "$work/out.txt"; do
    tries=$((tries + 1))
    if [ $tries -gt 200 ]; then
        echo "the Planning window was not shown"
        cat "$work/err.txt"
        exit 1
    fi
    sleep 0.05
done
window=$(xdotool search --sync --onlyvisible --name '^Taktplan' | head -1)
xdotool windowfocus --sync "$window"
xdotool key ctrl+q

tries=0
while kill -0 "$pid" 2> /dev/null; do
    tries=$((tries + 1))
    if [ $tries -gt 200 ]; then
        echo "Ctrl+Q did not end the program"
        exit 1
    fi
    sleep 0.05
done
status=0
wait "$pid" || status=$?
pid=
if [ $status -ne 0 ]; then
    echo "exit status $status"
    cat "$work/err.txt"
    exit 1
fi
debug=$(cat "$work/data/debug_log.txt")
case "$debug" in
*"Beende Taktplan.") ;;
*)
    echo "debug_log.txt does not end with the program's last line"
    exit 1
    ;;
esac
if grep -q 'Programmende angefordert' "$work/data/debug_log.txt"; then
    echo "the program was ended by a signal, not by its command"
    exit 1
fi
grep -q '^Autostart=0' "$work/data/Settings.ini" || {
    echo "Settings.ini was not written"
    exit 1
}
echo "Ctrl+Q ended the program with its files saved"
