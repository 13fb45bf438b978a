#!/bin/sh
# Idle cost of the program in its two everyday states, from /proc over a stretch of real time:
# while a unit runs (the Timer window shown, its 100 ms tick) and while planning (the Planning
# window shown, its 100 ms schedule refresh), the first with the tray icon (as by default) and
# without it. Prints the CPU time used as a share of one core. Xvfb runs no notification area:
# the icon is made and drawn all the same, only no host shows it.
# The yardstick beside them: a bare Qt window whose label a 100 ms timer rewrites (bare_window).
# Usage: measure_idle.sh <build folder> [seconds]   (build in Release without sanitizers)
# Runs itself under xvfb-run with the X11 platform, as a desktop would run it.
set -eu
build=$(cd "$1" && pwd)
seconds=${2:-60}
TAKTPLAN_XVFB_SCREEN=${TAKTPLAN_XVFB_SCREEN:-1280x800x24}
. "$(dirname "$0")/../tests/e2e/x_session.sh"
ticks=$(getconf CLK_TCK)

# utime + stime of the process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# measure <name> <plan running: 0/1> [program arguments]
measure() {
    name=$1
    running=$2
    shift 2
    data="$work/$name"
    mkdir -p "$data"
    # A unit longer than the measurement, and a plan as a user has it.
    printf 'Bericht schreiben///120\r\nPause: 25 Mittagspause|||12:00 07.12.2026\r\nKlavier \374ben///25\r\n' \
        > "$data/worklist.log"
    printf 'Autostart=%s\r\nSounds=0\r\nInVordergrundDraengen=0\r\n' "$running" > "$data/Settings.ini"
    tray=1
    [ "$name" = running-notray ] && tray=0
    printf 'TrayIcon=%s\r\n' "$tray" > "$data/Taktplan-extras.ini"
    program="$build/taktplan"
    [ "$name" = bare ] && program="$build/bench/bare_window"
    env TAKTPLAN_DATA_DIR="$data" TAKTPLAN_FAKE_TIME=2026-12-07T09:00:00 QT_QPA_PLATFORM=xcb \
        BARE_WINDOW_TEXT=1 BARE_WINDOW_TICK=1 \
        XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" "$program" "$@" \
        > /dev/null 2>&1 &
    pid=$!
    sleep 3 # start-up and the automatic start are not idle time
    before=$(cpu_ticks $pid)
    sleep "$seconds"
    after=$(cpu_ticks $pid)
    kill -TERM $pid
    wait $pid || true
    pid=
    awk -v n="$name" -v t=$((after - before)) -v hz="$ticks" -v s="$seconds" \
        'BEGIN { printf "%-15s %5.2f %% of one core (%d ticks of 1/%d s in %d s)\n", n, 100 * t / hz / s, t, hz, s }'
}

measure running 1 -autostart
measure running-notray 1 -autostart
measure planning 0
measure bare 0
