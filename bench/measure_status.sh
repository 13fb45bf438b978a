#!/bin/bash
# The wall time of `taktplan --status`, as a panel pays it every few seconds: a running copy with
# a unit under way answers 100 questions, one after the other; prints the median and the
# slowest. On Linux `taktplan` is the small entry program that asks without loading Qt; a second
# line gives the full program's time for the same question (taktplan-app).
# Usage: measure_status.sh <build folder> [format]   (build in Release without sanitizers)
# Needs no display: the running copy uses the offscreen platform.
set -eu
build=$(cd "$1" && pwd)
format=${2:-json}
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -TERM $pid 2> /dev/null && wait $pid; rm -rf "$work"' EXIT
mkdir -p "$work/data" "$work/run"
chmod 700 "$work/run"
printf '{{WIP}}Bericht schreiben///120|||09:00 07.12.2026\r\n' > "$work/data/worklist.log"
printf 'Sounds=0\r\nInVordergrundDraengen=0\r\n' > "$work/data/Settings.ini"
export TAKTPLAN_DATA_DIR="$work/data" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
TAKTPLAN_FAKE_TIME=2026-12-07T09:00:00 QT_QPA_PLATFORM=offscreen "$build/taktplan" -autostart \
    > /dev/null 2>&1 &
pid=$!
tries=0
until "$build/taktplan" --status --format json 2> /dev/null | grep -q '"phase":"unit"'; do
    tries=$((tries + 1))
    [ $tries -gt 100 ] && { echo "the program did not come up with a running unit"; exit 1; }
    sleep 0.1
done
measure() { # program
    local times=() start end
    for _ in $(seq 100); do
        start=$EPOCHREALTIME
        "$build/$1" --status --format "$format" > /dev/null
        end=$EPOCHREALTIME
        times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) * 1000 }')")
    done
    printf '%s\n' "${times[@]}" | sort -n |
        awk -v p="$1" -v f="$format" '{ t[NR] = $1 } END { printf "%s --status --format %s: median %.1f ms, slowest %.1f ms (%d answers)\n", p, f, (t[50] + t[51]) / 2, t[NR], NR }'
}
measure taktplan
[ ! -x "$build/taktplan-app" ] || measure taktplan-app
