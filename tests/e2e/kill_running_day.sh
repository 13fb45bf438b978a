#!/usr/bin/env bash
# Kills a RUNNING day over and over and checks that the activity log and the plan file stay true.
# Run by hand (not in CI; 300 kills take 40 to 60 minutes on a Debug build with sanitizers):
#
#     tests/e2e/kill_running_day.sh <build folder> [kills (300)] [seed]
#
# Ctrl+C (or SIGTERM) ends it after the current run and prints the counts so far.
# Environment: TAKTPLAN_KILL_SPEED (clock speed, 60), TAKTPLAN_KILL_KEEP=<folder> (copies the data
# folder of every day with a fault there), TAKTPLAN_KILL_DAY_LIMIT (seconds a day may take, 300).
#
# Every day starts on a fresh data folder with a written plan of six units of three minutes and
# two pauses, and the program is started with "-autostart" on a clock sixty times faster
# (QT_QPA_PLATFORM=offscreen, no display needed). Each start is ended by SIGKILL:
#   - at a random moment (also during start-up),
#   - or by strace at the N-th openat/write of Dezuzedu.log, openat of worklist.log, rename or
#     fdatasync, with N small so that it comes around the next unit end; when
#     the call does not come within three units the program is killed plainly.
# Then it is started again with "-autostart" on the clock where the last one stopped (the program
# prints its clock at start; now and then the restart comes a few minutes later, as if the user
# had been away). A plan that stopped (re-planned) is started again the same way; a day runs on
# until its plan has ended, and after the last kill the day runs to its end undisturbed.
#
# After every run:
#   - every line of Dezuzedu.log parses (no torn line, nothing after the last entry), and the lines
#     that were there before the run are still there unchanged;
#   - no unit line is written twice, no unit is finished twice, no line has " [x]" twice;
#   - a "--- NEU GEPLANT ---" line is only there when the start found its running unit unfinished
#     and past its end (the one re-planning the program owes the user);
#   - every line of worklist.log parses, names no unit twice and no later day than today;
#   - nothing on standard error from the sanitizers, and the program only ends when it is told to.
# After every start: no temporary file of an atomic replace is left in the data folder. At the end
# of a day: each of its six units is finished exactly once.
# Prints the kills by kind and the faults by kind; exit status 0 when no fault was found.
set -u
if [ $# -lt 1 ] || [ ! -x "$1/taktplan" ]; then
    echo "usage: $0 <build folder with taktplan> [kills] [seed]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
kills=${2:-300}
seed=${3:-$$}
program=$build/taktplan
speed=${TAKTPLAN_KILL_SPEED:-60}
keep=${TAKTPLAN_KILL_KEEP:-}
day_limit_ms=$((${TAKTPLAN_KILL_DAY_LIMIT:-300} * 1000))
RANDOM=$seed
# The program's local time is the time the script computes with.
export TZ=UTC

unit=3
titles="U01 U02 U03 U04 U05 U06"
work=$(mktemp -d)
pid=
tpid=
cleanup() {
    [ -n "$tpid" ] && kill -KILL "$tpid" 2> /dev/null
    [ -n "$pid" ] && kill -KILL "$pid" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# Interrupted (Ctrl+C): the counts so far are printed all the same.
trap 'interrupted=1' INT TERM
interrupted=0
mkdir -p "$work/run" "$work/config" "$work/cwd"
chmod 700 "$work/run"

now_ms() { date +%s%3N; }
# The world's clock in milliseconds: it runs on at the program's speed while the program is down.
anchor_real=0
anchor_sim=0
sim_now() { echo $((anchor_sim + ($(now_ms) - anchor_real) * speed)); }
stamp_ms() { date -u -d "$1" +%s%3N; }
rand() { echo $(($1 + RANDOM % ($2 - $1 + 1))); }

# --- counts -------------------------------------------------------------------------------------
declare -A kinds faults
kills_done=0
runs=0
days_ended=0
days_cut=0
restarts_after_stop=0
legit_replans=0
leftovers_after_kill=0
day_faults=0

fault() {
    faults[$1]=$((${faults[$1]:-0} + 1))
    day_faults=$((day_faults + 1))
    echo "day $day run $runs ($kind): $1: $2"
}

# --- a day --------------------------------------------------------------------------------------
day=0
new_day() {
    if [ -n "$keep" ] && [ "$day" -gt 0 ] && [ "$day_faults" -gt 0 ]; then
        mkdir -p "$keep" && cp -r "$data" "$keep/day$day-seed$seed"
    fi
    day=$((day + 1))
    day_faults=0
    data=$work/day$day
    rm -rf "$work/day$((day - 1))"
    mkdir -p "$data"
    printf '%s\r\n' "StandardDauerEinheit=$unit" "Kleine Pause=1" "Grosse Pause=2" "Sounds=0" \
        "InVordergrundDraengen=0" "AnwesenheitErforderlich=0" "InPauseSperren=0" "GrundVerlangen=0" \
        "HinweisAufgabenwechsel=1" "showPercentileRanking=0" "DefaultSollWert=-1" "NeuPlanenMax=-1" \
        > "$data/Settings.ini"
    printf '%s\r\n' "U01///$unit" "U02///$unit" "Pause: 2 Kaffee" "U03///$unit" "U04///$unit" "Pause: 1" \
        "U05///$unit" "U06///$unit" > "$data/worklist.log"
    # Days follow each other from Monday 07.12.2026 on, each beginning at 09:00.
    anchor_sim=$(($(stamp_ms "2026-12-07 09:00:00") + (day - 1) * 86400000))
    anchor_real=$(now_ms)
    day_date=$(date -u -d "@$((anchor_sim / 1000))" +%Y%m%d)
    day_start=$(now_ms)
    moved_this_day=0
}

# --- checks -------------------------------------------------------------------------------------
records() { [ -f "$1" ] && awk -v RS='\r\n' 'END { print NR }' "$1" || echo 0; }

leftover_names() { find "$data" -maxdepth 1 -name '*.??????' -printf '%f\n' | sort; }

# Before a start: what the log holds, and whether the start owes a re-planning (its running unit
# is unfinished in the log; whether it is past its end the program decides on its own clock).
before_start() {
    if [ -f "$data/Dezuzedu.log" ]; then cp "$data/Dezuzedu.log" "$work/before.log"; else : > "$work/before.log"; fi
    before_records=$(records "$work/before.log")
    owed_end=
    local wip
    wip=$(sed -n 's/^{{WIP}}\(U[0-9][0-9]\)\/\/\/\([0-9]*\)|||\([0-9][0-9]:[0-9][0-9]\) \([0-9][0-9]\)\.\([0-9][0-9]\)\.\([0-9]*\)\r$/\1 \2 \6-\5-\4 \3/p' \
        "$data/worklist.log" 2> /dev/null | head -1)
    if [ -n "$wip" ]; then
        set -- $wip
        local start_ms
        start_ms=$(stamp_ms "$3 $4")
        local stamp
        stamp=$(date -u -d "$3 $4" +%d.%m.%Y\ %H:%M)
        if ! grep -q "$stamp|$2 $1 \[x\]" "$work/before.log"; then
            owed_end=$((start_ms + $2 * 60000))
        fi
    fi
}

check_log() {
    local log=$data/Dezuzedu.log
    [ -f "$log" ] || return 0
    if ! cmp -s -n "$(stat -c %s "$work/before.log")" "$work/before.log" "$log"; then
        fault "log changed" "lines that were in Dezuzedu.log before the run are gone or changed"
    fi
    if [ "$(stat -c %s "$log")" -gt "$(stat -c %s "$work/before.log")" ] &&
        [ "$(tail -c 2 "$log" | od -An -tx1 | tr -d ' \n')" = "0d0a" ]; then
        fault "torn line" "Dezuzedu.log ends with a line break (an entry begun and not written)"
    fi
    local out
    out=$(awk -v RS='\r\n' -v from="$before_records" -v titles="$titles" -v unit="$unit" '
        BEGIN { n = split(titles, t, " "); for (i = 1; i <= n; i++) known[t[i]] = 1 }
        NR == 1 && $0 == "" { next }
        $0 == "" { next }
        $0 ~ /^.., [0-9][0-9][.][0-9][0-9][.][0-9][0-9][0-9][0-9] SOLL: [0-9]+$/ { next }
        $0 ~ /^.., [0-9][0-9][.][0-9][0-9][.][0-9][0-9][0-9][0-9] [0-9][0-9]:[0-9][0-9] --- NEU GEPLANT ---/ {
            if (NR > from) print "replan " (unitsince ? "late " : "first ") substr($0, 5, 16)
            next
        }
        $0 ~ /^.., [0-9][0-9][.][0-9][0-9][.][0-9][0-9][0-9][0-9] [0-9][0-9]:[0-9][0-9][|][0-9]+ / {
            rest = substr($0, 22)
            if (NR > from) unitsince = 1
            done = 0
            if (rest ~ / \[x\] \[x\]$/) { if (NR > from) print "double-mark line " NR ": " $0; next }
            if (rest ~ / \[x\]$/) { done = 1; rest = substr(rest, 1, length(rest) - 4) }
            split(rest, f, " ")
            if (!(f[2] in known) || f[1] != unit || rest != f[1] " " f[2]) {
                if (NR > from) print "torn line " NR ": <" $0 ">"
                next
            }
            key = substr($0, 5, 16) " " f[2]
            if (key in seen && NR > from) print "unit line twice " NR ": " $0
            seen[key] = 1
            if (done && ++finished[f[2]] == 2 && NR > from) print "unit counted twice " f[2] ": " $0
            next
        }
        NR > from { print "torn line " NR ": <" $0 ">" }' "$log")
    local first_replan=1
    while IFS= read -r line; do
        case $line in
        "") ;;
        replan*)
            local at
            at=$(stamp_ms "$(echo "$line" | sed 's/^replan [a-z]* \(..\)\.\(..\)\.\(....\) \(.*\)$/\3-\2-\1 \4/')")
            # Owed only as the run's first new line, at or after the running unit's end.
            if [ "$first_replan" = 1 ] && [ -n "$owed_end" ] && [ "$at" -ge "$owed_end" ] &&
                [ "${line#replan first }" != "$line" ]; then
                legit_replans=$((legit_replans + 1))
            else
                fault "false re-planning" "${line#replan * } --- NEU GEPLANT --- (the start's running unit: ${owed_end:+unfinished, due }$([ -n "$owed_end" ] && date -u -d "@$((owed_end / 1000))" +%H:%M || echo "none or finished"))"
            fi
            first_replan=0
            ;;
        *) fault "${line%% [0-9U]*}" "$line" ;;
        esac
    done <<< "$out"
}

check_plan() {
    local plan=$data/worklist.log
    [ -f "$plan" ] || return 0
    if [ -s "$plan" ] && [ "$(tail -c 2 "$plan" | od -An -tx1 | tr -d ' \n')" != "0d0a" ]; then
        fault "torn plan" "worklist.log does not end with a line break"
    fi
    local out
    out=$(awk -v RS='\r\n' -v today="$day_date" -v unit="$unit" '
        function later(d) { return substr(d, 7, 4) substr(d, 4, 2) substr(d, 1, 2) > today }
        {
            line = $0
            fixed = ""
            if (index(line, "|||")) { fixed = substr(line, index(line, "|||") + 3); line = substr(line, 1, index(line, "|||") - 1)
                if (fixed !~ /^[0-9][0-9]:[0-9][0-9] [0-9][0-9][.][0-9][0-9][.][0-9][0-9][0-9][0-9]$/) { print "torn plan line " NR ": <" $0 ">"; next }
                if (later(substr(fixed, 7))) print "moved to a later day line " NR ": " $0
            }
            if (line ~ /^Pause: [0-9]+( [A-Za-z]+)?$/) next
            wip = sub(/^[{][{]WIP[}][}]/, "", line)
            if (wip && fixed == "") { print "torn plan line " NR ": <" $0 ">"; next }
            if (line !~ /^U[0-9][0-9]\/\/\/[0-9]+$/ || substr(line, 7) != unit) { print "torn plan line " NR ": <" $0 ">"; next }
            if (++count[substr(line, 1, 3)] == 2) print "unit twice in the plan: " substr(line, 1, 3)
        }' "$plan")
    while IFS= read -r line; do
        case $line in
        "") ;;
        "moved to a later day"*)
            # Once a day: the plan then waits for tomorrow, and the day is given up.
            [ "$moved_this_day" = 1 ] || fault "moved to a later day" "$line"
            moved_this_day=1
            ;;
        "unit twice"*) fault "unit twice in the plan" "$line" ;;
        *) fault "torn plan" "$line" ;;
        esac
    done <<< "$out"
}

check_day_end() {
    local t n
    for t in $titles; do
        n=$(tr '\r' '\n' < "$data/Dezuzedu.log" | grep -c "|$unit $t \[x\]$")
        [ "$n" -ne 0 ] || fault "unit lost" "$t is not finished in Dezuzedu.log at the end of the day"
    done
    if grep -q '///' "$data/worklist.log" 2> /dev/null; then
        fault "unit lost" "the plan ended with units left: $(tr '\r\n' '  ' < "$data/worklist.log")"
    fi
}

check_err() {
    if grep -q 'ERROR: AddressSanitizer\|runtime error:\|ERROR: LeakSanitizer' "$work/err.txt"; then
        fault "sanitizer" "$(grep -m1 'ERROR: AddressSanitizer\|runtime error:' "$work/err.txt")"
        cp "$work/err.txt" "$work/sanitizer-$day-$runs.txt"
    fi
}

# --- one start ----------------------------------------------------------------------------------
injections=(
    "openat worklist.log 2 6"
    "openat Dezuzedu.log 2 8"
    "write Dezuzedu.log 1 3"
    # strace 6 does not match rename by path: the N-th atomic replace of any file.
    "rename - 1 6"
    "fdatasync - 1 8"
)

# Starts the program with -autostart, under "$@" (a tracer or nothing). Sets pid (what was started)
# and tpid (the program). Returns 1 when it ended before it came up.
start() {
    local fake
    fake=$(sim_now)
    # Now and then the user comes back later: the running unit may have ended meanwhile.
    if [ $((RANDOM % 6)) -eq 0 ]; then
        fake=$((fake + RANDOM % (unit * 60) * 1000))
    fi
    : > "$work/out.txt"
    : > "$work/strace.txt"
    # Worked out here: a command substitution in the subshell would be a child that pgrep finds.
    local fake_text
    fake_text=$(date -u -d "@$((fake / 1000))" +%Y-%m-%dT%H:%M:%S)
    spawned=$(now_ms)
    (cd "$work/cwd" && exec env TAKTPLAN_DATA_DIR="$data" TAKTPLAN_LANGUAGE=de TAKTPLAN_TRACE_STARTUP=1 \
        TAKTPLAN_FAKE_TIME="$fake_text" TAKTPLAN_TIME_SPEED="$speed" \
        QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" \
        HOME="$work" ASAN_OPTIONS=detect_leaks=0 "$@" "$program" -autostart > "$work/out.txt" 2> "$work/err.txt") &
    pid=$!
    tpid=$pid
    # Until it came up, the clock is taken to stand where it was started.
    anchor_sim=$fake
    anchor_real=$(now_ms)
    startup_kill_at=
    startup_killed=0
    [ "$kind" = "random at start-up" ] && startup_kill_at=$((spawned + $(rand 0 1500)))
    local tries=0
    until grep -q '^clock ' "$work/out.txt" 2> /dev/null; do
        tries=$((tries + 1))
        # strace's child is the program (the subshell has become strace by then).
        if [ $# -gt 0 ] && [ "$tpid" = "$pid" ] && [ "$(ps -o comm= -p "$pid")" = strace ]; then
            tpid=$(pgrep -P "$pid" | head -1)
            [ -n "$tpid" ] || tpid=$pid
        fi
        if ! kill -0 "$tpid" 2> /dev/null; then
            return 1
        fi
        if [ -n "$startup_kill_at" ] && [ "$(now_ms)" -ge "$startup_kill_at" ]; then
            kill -KILL "$tpid" 2> /dev/null
            startup_killed=1
            return 1
        fi
        if [ $tries -gt 2000 ]; then
            fault "start failed" "no clock line within 40 s: $(tail -2 "$work/err.txt" | tr '\n' ' ')"
            kill -KILL "$tpid" "$pid" 2> /dev/null
            return 2
        fi
        sleep 0.02
    done
    anchor_real=$(now_ms)
    anchor_sim=$(stamp_ms "$(sed -n 's/^clock \(.*\)T\(.*\)$/\1 \2/p' "$work/out.txt")")
    if [ $# -gt 0 ]; then
        tries=0
        tpid=
        while [ -z "$tpid" ] && [ $tries -lt 50 ]; do
            tries=$((tries + 1))
            tpid=$(pgrep -P "$pid" | head -1)
            [ -n "$tpid" ] || sleep 0.02
        done
        # Gone already: the injected call came right after the start.
        [ -n "$tpid" ] || kill -0 "$pid" 2> /dev/null || { tpid=$pid; return 1; }
        # Killing strace instead would leave the program running on its own.
        [ -n "$tpid" ] || { fault "start failed" "the traced program is not found"; kill -KILL "$pid"; return 2; }
    fi
    return 0
}

# Whether the plan has stopped: Autostart off in Settings.ini (a re-planning or the end of the list).
stopped() { grep -q '^Autostart=0' "$data/Settings.ini" 2> /dev/null; }

# One run: start, wait for the kill (or the end of the plan), check. Sets outcome.
run_once() {
    runs=$((runs + 1))
    local tracer=() injection syscall file n
    injected=
    if [ "$kind" = "injected" ]; then
        injection=${injections[$((RANDOM % ${#injections[@]}))]}
        set -- $injection
        syscall=$1 file=$2
        n=$(rand "$3" "$4")
        injected="$syscall $file"
        # Without --seccomp-bpf: with it, strace 6 neither counts nor injects by path.
        local calls=$syscall
        [ "$syscall" != rename ] || calls=rename,renameat,renameat2
        tracer=(strace -f -o "$work/strace.txt" -e "trace=$calls" -e "inject=$calls:signal=SIGKILL:when=$n")
        [ "$file" = "-" ] || tracer+=(-P "$data/$file")
    fi
    before_start
    outcome=
    start "${tracer[@]}"
    case $? in
    1) outcome=died ;;
    2) outcome=failed ;;
    esac
    if [ -z "$outcome" ]; then
        # The clean-up at start has had its chance: a file there twice, 300 ms apart, is a leftover.
        sleep 0.5
        leftover_names > "$work/left1"
        sleep 0.3
        leftover_names > "$work/left2"
        local left
        left=$(comm -12 "$work/left1" "$work/left2" | tr '\n' ' ')
        [ -z "$left" ] || fault "leftover" "temporary files after the start: $left"
        local started deadline stops=0 t
        started=$(now_ms)
        if [ "$final" = 1 ]; then
            deadline=$((day_start + day_limit_ms))
        elif [ "$kind" = "injected" ]; then
            deadline=$((started + unit * 3 * 60000 / speed))
        else
            deadline=$((started + $(rand 200 $((unit * 2 * 60000 / speed)))))
        fi
        while :; do
            sleep 0.1
            if ! kill -0 "$tpid" 2> /dev/null; then
                outcome=died
                break
            fi
            t=$(now_ms)
            if [ "$t" -ge "$deadline" ]; then
                kill -KILL "$tpid" 2> /dev/null
                outcome=killed
                break
            fi
            # The start itself takes Autostart on after about 100 ms; a stop is seen twice.
            if [ $((t - started)) -gt 1500 ] && stopped; then
                stops=$((stops + 1))
                if [ $stops -ge 2 ]; then
                    kill -TERM "$tpid" 2> /dev/null
                    outcome=stopped
                    break
                fi
            else
                stops=0
            fi
        done
    fi
    local waited=0
    # Both: the program and, when traced, strace, which ends after it. Never an unbounded wait.
    while kill -0 "$tpid" 2> /dev/null || kill -0 "$pid" 2> /dev/null; do
        waited=$((waited + 1))
        if [ $waited -eq 100 ]; then
            [ "$outcome" != stopped ] || fault "hang" "SIGTERM did not end the program within 10 s"
            kill -KILL "$tpid" 2> /dev/null
        elif [ $waited -ge 150 ]; then
            kill -KILL "$pid" 2> /dev/null
        fi
        sleep 0.1
    done
    wait "$pid" 2> /dev/null
    pid=
    tpid=
    # The world's clock runs on from where the program's stood.
    case $outcome in
    died)
        if [ "$startup_killed" = 1 ]; then
            count_kill "random at start-up"
        elif [ -n "$injected" ] && grep -q 'killed by SIGKILL' "$work/strace.txt"; then
            count_kill "injected $injected$(grep -q '^clock ' "$work/out.txt" || echo ' (at start-up)')"
        else
            fault "died" "the program ended on its own: $(tail -3 "$work/err.txt" | tr '\n' ' ')"
        fi
        ;;
    killed)
        if [ "$final" = 1 ]; then
            :
        elif [ -n "$injected" ]; then
            count_kill "random (the injected call did not come)"
        else
            count_kill "$kind"
        fi
        ;;
    stopped | failed) ;;
    esac
    leftovers_after_kill=$((leftovers_after_kill + $(leftover_names | wc -l)))
    check_err
    check_log
    check_plan
}

count_kill() {
    kills_done=$((kills_done + 1))
    kinds[$1]=$((${kinds[$1]:-0} + 1))
}

# --- the days -----------------------------------------------------------------------------------
echo "seed $seed, $kills kills, clock $speed times faster"
final=0
new_day
while [ "$interrupted" = 0 ]; do
    if [ "$kills_done" -ge "$kills" ]; then
        final=1
        kind=final
    else
        r=$((RANDOM % 10))
        if [ $r -eq 0 ]; then kind="random at start-up"; elif [ $r -le 4 ]; then kind=random; else kind=injected; fi
    fi
    # Without the shell's notes on the jobs it killed.
    run_once 2> >(grep -v '^[^ ]*: line [0-9]*: *[0-9]* Killed ' >&2)
    if [ "$outcome" = stopped ]; then
        if ! grep -q '///' "$data/worklist.log" 2> /dev/null; then
            check_day_end
            days_ended=$((days_ended + 1))
            [ "$final" = 1 ] && break
            new_day
            continue
        fi
        restarts_after_stop=$((restarts_after_stop + 1))
    fi
    if [ "$moved_this_day" = 1 ] || [ $(($(now_ms) - day_start)) -gt "$day_limit_ms" ]; then
        [ "$moved_this_day" = 1 ] || fault "day did not end" "the plan still runs after $((day_limit_ms / 1000)) s"
        days_cut=$((days_cut + 1))
        [ "$final" = 1 ] && break
        new_day
    fi
done
[ -n "$keep" ] && [ "$day_faults" -gt 0 ] && mkdir -p "$keep" && cp -r "$data" "$keep/day$day-seed$seed"

[ "$interrupted" = 0 ] || echo "interrupted"
echo "kills: $kills_done in $runs runs over $day days ($days_ended ran to their end, $days_cut given up)"
for k in "${!kinds[@]}"; do echo "  $k: ${kinds[$k]}"; done | sort
echo "restarts of a stopped plan: $restarts_after_stop; re-plannings owed (running unit past its end): $legit_replans"
echo "temporary files right after a kill: $leftovers_after_kill"
total=0
for k in "${!faults[@]}"; do total=$((total + ${faults[$k]})); done
echo "faults: $total"
for k in "${!faults[@]}"; do echo "  $k: ${faults[$k]}"; done | sort
[ "$total" -eq 0 ]
