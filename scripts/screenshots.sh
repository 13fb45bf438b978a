#!/bin/sh
# The README's pictures of Bilanzblick (overview, calendar, "your normal") over the generated
# ten-year activity log, taken in a virtual X display.
# Usage: scripts/screenshots.sh <build folder> [target folder, default docs/images]
# Needs the build's bilanzblick and bench/bilanzblick_bench, and xvfb-run, xdotool and
# ImageMagick's import.
set -eu
build=$(cd "$1" && pwd)
target=${2:-$(dirname "$0")/../docs/images}
mkdir -p "$target"
target=$(cd "$target" && pwd)
for tool in xvfb-run xdotool import; do
    command -v $tool >/dev/null || { echo "screenshots.sh: $tool is missing" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data" "$work/run" "$work/config"
chmod 700 "$work/run"
BILANZBLICK_BENCH_WRITE_LOG="$work/data/Dezuzedu.log" "$build/bench/bilanzblick_bench"

cat >"$work/take.sh" <<'EOF'
set -eu
build=$1 work=$2 target=$3
"$build/bilanzblick" >"$work/out.txt" 2>&1 &
program=$!
window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid $program 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "screenshots.sh: no window appeared" >&2; kill $program; exit 1; }
xdotool windowsize --sync "$window" 1100 720
sleep 5 # the log is read on a worker thread
# Each view is opened by a click on its tab (the x positions in TABS fit the English texts in
# the default font; keys sent to a window without a window manager do not arrive).
set -- $TABS
for page in overview calendar normal; do
    xdotool mousemove --window "$window" "$1" 44 click 1
    sleep 2
    import -window "$window" "$target/bilanzblick-$page.png"
    shift
done
kill $program
EOF
TABS=${TABS:-40 120 206}
TAKTPLAN_LANGUAGE=en TAKTPLAN_DATA_DIR="$work/data" TAKTPLAN_FAKE_TIME=2025-12-04T14:30:00 XDG_RUNTIME_DIR="$work/run" \
    XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb TABS="$TABS" \
    xvfb-run -a -s "-screen 0 1280x800x24" sh "$work/take.sh" "$build" "$work" "$target"
ls -l "$target"/bilanzblick-*.png
