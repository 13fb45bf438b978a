#!/bin/sh
# A whole day under a real X server, as a user would run it, on a fast clock: two units typed
# into the Planning window, F9, and the plan runs to its end with both units in the activity log
# and the Planning window back. Then a second day that is ended by SIGTERM in the middle of a
# unit and started again with "-autostart": the unit resumes from its first start and is logged
# once.
# Usage: check_day_run.sh <program>; runs itself under xvfb-run when there is no display.
set -eu
program=$1
. "$(dirname "$0")/x_session.sh"
mkdir -p "$work/work"

fail() {
    echo "$*"
    for f in "$work"/data/Dezuzedu.log "$work"/data/worklist.log "$work"/err.txt; do
        [ -f "$f" ] && { echo "--- $f"; cat "$f"; echo; }
    done
    exit 1
}

# Waits until the command succeeds, at most $1 tenths of a second.
wait_for() {
    limit=$1
    shift
    tries=0
    until "$@"; do
        tries=$((tries + 1))
        [ $tries -gt "$limit" ] && return 1
        sleep 0.1
    done
}

# Starts the program on the data folder $data with the fast clock; extra arguments go to it.
start() {
    cd "$work/work"
    : > "$work/out.txt"
    env TAKTPLAN_DATA_DIR="$data" TAKTPLAN_FAKE_TIME="$1" TAKTPLAN_TIME_SPEED=60 TAKTPLAN_LANGUAGE=de \
        TAKTPLAN_TRACE_STARTUP=1 QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/run" \
        XDG_CONFIG_HOME="$work/config" ASAN_OPTIONS=detect_leaks=0 "$program" $2 > "$work/out.txt" \
        2> "$work/err.txt" &
    pid=$!
    wait_for 300 grep -q '^running' "$work/out.txt" || fail "the program did not come up"
}

stop() {
    kill -TERM "$pid"
    wait_for 100 sh -c "! kill -0 $pid 2> /dev/null" || fail "SIGTERM did not end the program"
    status=0
    wait "$pid" || status=$?
    pid=
    [ $status -eq 0 ] || fail "exit status $status"
}

# Units of $1 minutes and a one-minute small pause: at sixty times the speed a day takes seconds.
settings() {
    mkdir -p "$data"
    printf 'StandardDauerEinheit=%s\r\nKleine Pause=1\r\nSounds=0\r\nInVordergrundDraengen=0\r\n' "$1" \
        > "$data/Settings.ini"
}

type_and_start() {
    window=$(xdotool search --sync --onlyvisible --name '^Taktplan' | head -1)
    xdotool windowfocus --sync "$window"
    for title in "$@"; do
        xdotool key ctrl+a
        xdotool type --delay 20 "$title"
        xdotool key Return
        wait_for 50 grep -q "^$title///" "$data/worklist.log" || fail "'$title' was not saved"
    done
    xdotool key F9
}

log_has() { grep -q "$1" "$data/Dezuzedu.log" 2> /dev/null; }

# --- a whole day --------------------------------------------------------------------------------
data=$work/data
settings 2
start 2026-12-07T09:00:00 ""
type_and_start Eins Zwei
wait_for 300 log_has "|2 Zwei \[x\]" || fail "the day did not run to its end"
log_has "|2 Eins \[x\]" || fail "the first unit is not in the log"
wait_for 50 sh -c "xdotool search --onlyvisible --name '^Taktplan' > /dev/null" ||
    fail "the Planning window did not come back"
stop
grep -q '^Autostart=0' "$data/Settings.ini" || fail "the plan is still marked as running"
[ "$(grep -c 'Eins' "$data/Dezuzedu.log")" -eq 1 ] || fail "the first unit was logged more than once"

# --- ended in the middle of a unit, resumed at the next log-on ------------------------------------
data=$work/data2
# Long enough that SIGTERM comes while it runs, also on a busy machine.
settings 8
start 2026-12-07T10:00:00 ""
type_and_start Lang
wait_for 200 log_has "|8 Lang" || fail "the unit was not logged one minute in"
stop
started=$(sed -n 's/^{{WIP}}Lang\/\/\/8|||\([0-9][0-9]:[0-9][0-9]\) 07\.12\.2026\r$/\1/p' "$data/worklist.log")
[ -n "$started" ] || fail "the running unit was not kept in worklist.log"
grep -q '^Autostart=1' "$data/Settings.ini" || fail "the running plan was not marked for resuming"
# The next log-on comes a minute after the unit began, while it would still run.
start "$(date -d "2026-12-07 $started 1 minute" +%Y-%m-%dT%H:%M:%S)" -autostart
wait_for 300 log_has "|8 Lang \[x\]" || fail "the resumed unit did not end"
stop
[ "$(grep -c 'Lang' "$data/Dezuzedu.log")" -eq 1 ] || fail "the resumed unit was logged twice"
echo "a day ran to its end, and a unit ended by SIGTERM resumed with -autostart"
