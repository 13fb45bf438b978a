#!/bin/sh
# measure_start.sh for the Windows build under Wine: process start to the first paint of the
# Planning window against a bare Qt window cross-built the same way (bench/bare_window.cpp, as a
# GUI program, Release), and process start to exit. Wine's own start is in both alike.
# Usage: xvfb-run -a sh bench/measure_start_wine.sh [build-win] [runs]
# WINEPREFIX defaults to a private prefix of its own, made on the first run and kept.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build-win}" && pwd)
runs=${2:-10}
qt=$(cd "${TAKTPLAN_QT_WINDOWS:-$repo/../shared/qt6-mingw}" && pwd)
export WINEPREFIX=${WINEPREFIX:-/tmp/taktplan-wine-bench} WINEDEBUG=-all
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64
[ -x "$server" ] || server=wineserver

mkdir -p "$build/bench"
bare="$build/bench/bare_window.exe"
if [ ! -f "$bare" ] || [ "$repo/bench/bare_window.cpp" -nt "$bare" ]; then
    x86_64-w64-mingw32-g++-posix -std=c++20 -O3 -DNDEBUG -mwindows -o "$bare" "$repo/bench/bare_window.cpp" \
        -I"$qt/include" -I"$qt/include/QtCore" -I"$qt/include/QtGui" -I"$qt/include/QtWidgets" \
        "$qt/lib/libQt6Widgets.a" "$qt/lib/libQt6Gui.a" "$qt/lib/libQt6Core.a" "$qt/lib/libQt6EntryPoint.a" \
        -lshell32
fi

work=$(mktemp -d)
trap 'rm -rf "$work"; "$server" -k 2>/dev/null || true' EXIT
# Both programs beside the same DLLs and plugins, as in the zip.
cp -r "$build/package/Taktplan" "$work/prog"
cp "$bare" "$work/prog/"
mkdir -p "$work/data"
printf 'Bericht schreiben///25\r\nPause: 25 Mittagspause|||12:00 07.12.2026\r\nSteuererkl\344rung///50|||14:00 07.12.2026\r\nKlavier \374ben///25\r\n' \
    > "$work/data/worklist.log"
export TAKTPLAN_DATA_DIR="$("$wine" winepath -w "$work/data" | tr -d '\r')"
export TAKTPLAN_FAKE_TIME=2026-12-07T09:00:00 TAKTPLAN_EXIT_AFTER_SHOWN=1
# Kept running between the runs, as on a desktop where Wine is already up.
"$server" -p 2>/dev/null || true

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

run_once() {
    name=$1
    program=$2
    before=$(date +%s%N)
    (cd "$work/prog" && "$wine" "$program" > "$work/out.txt" 2> /dev/null) || true
    after=$(date +%s%N)
    sed -n 's/^shown \([0-9]*\).*/\1/p' "$work/out.txt" >> "$work/$name.shown"
    echo $(((after - before) / 1000000)) >> "$work/$name.wall"
}

report() {
    printf '%-12s main to first paint %6s ms   process start to exit %6s ms\n' "$1" \
        "$(median < "$work/$1.shown")" "$(median < "$work/$1.wall")"
}

# Warm the file cache; the program's first start writes its settings.
run_once warm ./bare_window.exe
run_once warm ./taktplan.exe
i=0
while [ $i -lt "$runs" ]; do
    run_once bare_window ./bare_window.exe
    run_once taktplan ./taktplan.exe
    i=$((i + 1))
done
echo "Wine $("$wine" --version), median of $runs runs, load average $(cut -d' ' -f1-3 /proc/loadavg)"
report bare_window
report taktplan
