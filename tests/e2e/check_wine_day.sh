#!/bin/sh
# A whole day of the Windows program under Wine and a real X server, on a fast clock: two units
# typed into the Planning window, F9, the Run entry written while the plan runs and removed at
# its end, both units in %APPDATA%\Taktplan\Dezuzedu.log with " [x]". A second start while the
# first runs ends at once with status 0, and "Beenden" ends the first with status 0. With an
# installer given, it is run silently and the installed program started and ended as well.
# Usage: check_wine_day.sh <program folder with taktplan.exe and its DLLs> [<setup.exe>];
# runs itself under xvfb-run when there is no display.
set -eu
program_dir=$(cd "$1" && pwd)
setup=${2:+$(cd "$(dirname "$2")" && pwd)/$(basename "$2")}
. "$(dirname "$0")/x_session.sh"

wine=/usr/lib/wine/wine64
# A prefix of its own: nothing of another Wine user is touched, and wineserver -k ends only ours.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
trap '/usr/lib/wine/wineserver -k 2> /dev/null || true; rm -rf "$work"' EXIT
"$wine" wineboot -i > /dev/null 2>&1
user=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -1)
data="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Taktplan"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

fail() {
    echo "$*"
    for f in "$data/Dezuzedu.log" "$data/worklist.log" "$data/debug_log.txt" "$work/err.txt"; do
        [ -f "$f" ] && { echo "--- $f"; tail -n 30 "$f"; echo; }
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

planning_window() { xdotool search --onlyvisible --name '^Taktplan' 2> /dev/null | head -1; }
has_window() { [ -n "$(planning_window)" ]; }
run_entry() { "$wine" reg query "$run_key" /v Taktplan > /dev/null 2>&1; }
no_run_entry() { ! run_entry; }
log_has() { grep -q "$1" "$data/Dezuzedu.log" 2> /dev/null; }
ended() { ! kill -0 "$pid" 2> /dev/null; }

# Starts the program (Wine's launcher stays until it ends, with its exit status).
start() {
    TAKTPLAN_FAKE_TIME=2026-12-07T09:00:00 TAKTPLAN_TIME_SPEED=60 TAKTPLAN_LANGUAGE=de \
        "$wine" "$1" > "$work/out.txt" 2> "$work/err.txt" &
    pid=$!
    wait_for 600 has_window || fail "the Planning window of $1 did not come up"
}

# "Beenden" typed into the Planning window ends the program with status 0.
quit() {
    window=$(planning_window)
    xdotool windowactivate --sync "$window" 2> /dev/null || xdotool windowfocus --sync "$window"
    xdotool key ctrl+q
    wait_for 300 ended || fail "Ctrl+Q did not end the program"
    status=0
    wait "$pid" || status=$?
    pid=
    [ $status -eq 0 ] || fail "exit status $status"
}

# Units of two minutes and a one-minute small pause: at sixty times the speed a day takes seconds.
mkdir -p "$data"
printf 'StandardDauerEinheit=2\r\nKleine Pause=1\r\nSounds=0\r\nInVordergrundDraengen=0\r\n' > "$data/Settings.ini"

start "$program_dir/taktplan.exe"
window=$(planning_window)
xdotool windowactivate --sync "$window" 2> /dev/null || xdotool windowfocus --sync "$window"
for title in Eins Zwei; do
    xdotool key ctrl+a
    xdotool type --delay 40 "$title"
    xdotool key Return
    wait_for 100 grep -q "^$title///" "$data/worklist.log" 2> /dev/null || fail "'$title' was not saved"
done
grep -q "$(printf '///2\r')$" "$data/worklist.log" || fail "worklist.log has no CR LF line ends"
no_run_entry || fail "a Run entry before the plan started"
xdotool key F9
wait_for 200 run_entry || fail "no Run entry while the plan runs"

# A second start finds the first and ends at once.
status=0
timeout 60 "$wine" "$program_dir/taktplan.exe" > /dev/null 2>&1 || status=$?
[ $status -eq 0 ] || fail "the second start ended with status $status"

wait_for 600 log_has "|2 Zwei \[x\]" || fail "the day did not run to its end"
log_has "|2 Eins \[x\]" || fail "the first unit is not in the log"
[ "$(grep -c 'Eins' "$data/Dezuzedu.log")" -eq 1 ] || fail "the first unit was logged more than once"
wait_for 200 no_run_entry || fail "the Run entry is still there after the end of the plan"
wait_for 100 has_window || fail "the Planning window did not come back"
quit
grep -q '^Autostart=0' "$data/Settings.ini" || fail "the plan is still marked as running"
echo "a day ran to its end under Wine, with the Run entry written and removed, and a second start ended at once"

if [ -n "$setup" ]; then
    "$wine" "$setup" /S > /dev/null 2>&1 || fail "the installer failed"
    installed="$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/Taktplan/taktplan.exe"
    [ -f "$installed" ] || fail "the installer put no taktplan.exe in %LOCALAPPDATA%\\Programs\\Taktplan"
    start "$installed"
    quit
    echo "the installer ran silently, and the installed program started and ended"
fi
