#!/bin/sh
# Start-up time (process start to the first paint of the window) and peak memory of the
# program against a bare Qt Widgets window built with the same flags (bare_window), and the same
# window with one line of text (bare_text, which loads the fonts as every real window does).
# Usage: measure_start.sh <build folder> [runs]   (build in Release without sanitizers)
# Runs under the offscreen platform; wrap it in "xvfb-run -a env QT_QPA_PLATFORM=xcb" for X11.
set -eu
build=$1
runs=${2:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data" "$work/run" "$work/config"
chmod 700 "$work/run"
# A day's plan as a user has it, so the program starts as on any working day.
printf 'Bericht schreiben///25\r\nPause: 25 Mittagspause|||12:00 07.12.2026\r\nSteuererkl\344rung///50|||14:00 07.12.2026\r\nKlavier \374ben///25\r\n' \
    > "$work/data/worklist.log"

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export TAKTPLAN_DATA_DIR="$work/data" TAKTPLAN_FAKE_TIME=2026-12-07T09:00:00 TAKTPLAN_EXIT_AFTER_SHOWN=1
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

run_once() {
    name=$1
    program=$2
    before=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/time.txt" "$program" > "$work/out.txt" 2> /dev/null
    after=$(date +%s%N)
    sed -n 's/^shown //p' "$work/out.txt" >> "$work/$name.shown"
    echo $(((after - before) / 1000000)) >> "$work/$name.wall"
    awk '{ print $1 / 1024 }' "$work/time.txt" >> "$work/$name.rss"
}

report() {
    printf '%-12s main to first paint %6s ms   process start to exit %6s ms   peak RSS %6.1f MB\n' "$1" \
        "$(median < "$work/$1.shown")" "$(median < "$work/$1.wall")" "$(median < "$work/$1.rss")"
}

bare="$build/bench/bare_window"
taktplan="$build/taktplan"
# Warm the file cache; the program's first start writes its settings.
"$bare" > /dev/null 2>&1 || true
"$taktplan" > /dev/null 2>&1 || true
# Alternating runs, so that a load of the machine falls on both alike.
i=0
while [ $i -lt "$runs" ]; do
    run_once bare_window "$bare"
    BARE_WINDOW_TEXT=1 run_once bare_text "$bare"
    run_once taktplan "$taktplan"
    i=$((i + 1))
done
echo "platform $QT_QPA_PLATFORM, median of $runs runs, load average $(cut -d' ' -f1-3 /proc/loadavg)"
report bare_window
report bare_text
report taktplan
