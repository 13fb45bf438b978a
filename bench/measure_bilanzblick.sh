#!/bin/sh
# Bilanzblick on a generated ten-year activity log: process start to the first chart painted,
# the command-line export of all ten years, and peak memory of both (medians of the runs).
# Usage: measure_bilanzblick.sh <build folder> [runs]   (build in Release without sanitizers)
# Runs under the offscreen platform; wrap it in "xvfb-run -a env QT_QPA_PLATFORM=xcb" for X11.
set -eu
build=$1
runs=${2:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data" "$work/run" "$work/config"
chmod 700 "$work/run"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export TAKTPLAN_DATA_DIR="$work/data" TAKTPLAN_FAKE_TIME=2025-12-31T15:00:00
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
BILANZBLICK_BENCH_WRITE_LOG="$work/data/Dezuzedu.log" "$build/bench/bilanzblick_bench"
echo "log: $(wc -l < "$work/data/Dezuzedu.log") lines, $(du -k "$work/data/Dezuzedu.log" | cut -f1) kB"

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

i=0
while [ $i -lt "$runs" ]; do
    BILANZBLICK_FIRST_PAINT_EXIT=$(date +%s%3N) /usr/bin/time -f '%M' -o "$work/time.txt" \
        "$build/bilanzblick" > "$work/out.txt" 2> /dev/null
    sed -n 's/^first chart painted after \([0-9]*\) ms$/\1/p' "$work/out.txt" >> "$work/paint"
    awk '{ print $1 / 1024 }' "$work/time.txt" >> "$work/paint.rss"

    before=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/time.txt" "$build/bilanzblick" --export days --format csv \
        --from 2016-01-01 --to 2025-12-31 > "$work/export.csv"
    after=$(date +%s%N)
    echo $(((after - before) / 1000000)) >> "$work/export"
    awk '{ print $1 / 1024 }' "$work/time.txt" >> "$work/export.rss"
    i=$((i + 1))
done
printf 'window: process start to first chart painted %6s ms   peak RSS %6.1f MB\n' \
    "$(median < "$work/paint")" "$(median < "$work/paint.rss")"
printf 'export: ten years as CSV, process start to exit  %6s ms   peak RSS %6.1f MB (%s lines)\n' \
    "$(median < "$work/export")" "$(median < "$work/export.rss")" "$(wc -l < "$work/export.csv")"
