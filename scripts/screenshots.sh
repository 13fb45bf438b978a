#!/bin/sh
# The README's pictures of Bilanzblick (overview, calendar, "your normal") over the generated
# ten-year activity log, taken in a virtual X display; and of Taktplan's tray menu and of a
# desktop notification at the end of a unit.
# Usage: scripts/screenshots.sh <build folder> [target folder, default docs/images]
# Needs the build's bilanzblick, taktplan, bench/bilanzblick_bench and bench/tray_picture, and
# xvfb-run, xdotool, ImageMagick's import and convert, dbus-daemon and dunst (a notification
# service). Debian has no notification area that runs under Xvfb: bench/tray_picture draws the
# tray menu and the icons by themselves.
set -eu
build=$(cd "$1" && pwd)
target=${2:-$(dirname "$0")/../docs/images}
mkdir -p "$target"
target=$(cd "$target" && pwd)
for tool in xvfb-run xdotool import convert dbus-daemon dunst; do
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

# The tray icon's menu and its icons (a unit, a pause, no plan running).
TAKTPLAN_LANGUAGE=en QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/run" "$build/bench/tray_picture" \
    "$target/tray-menu.png"

# A notification: a unit that ends ten seconds after the start, on a session bus of its own with
# dunst as the service; the corner it shows in is taken.
mkdir -p "$work/notify"
printf '{{WIP}}Bericht schreiben///25|||08:36 07.12.2026\r\nKlavier \374ben///25\r\n' >"$work/notify/worklist.log"
printf 'Autostart=1\r\nSounds=0\r\nInVordergrundDraengen=0\r\nAnwesenheitErforderlich=0\r\n' \
    >"$work/notify/Settings.ini"
printf 'Notifications=1\r\n' >"$work/notify/Taktplan-extras.ini"
cat >"$work/notify.sh" <<'EOF'
set -eu
build=$1 work=$2
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 --nopidfile)
DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | sed -n 1p)
export DBUS_SESSION_BUS_ADDRESS
dunst >"$work/dunst.txt" 2>&1 &
service=$!
sleep 1
TAKTPLAN_DATA_DIR="$work/notify" TAKTPLAN_FAKE_TIME=2026-12-07T09:00:50 "$build/taktplan" -autostart \
    >"$work/out.txt" 2>&1 &
program=$!
sleep 13
import -window root "$work/root.png"
kill $program $service "$(echo "$bus" | sed -n 2p)"
EOF
TAKTPLAN_LANGUAGE=en XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x800x24" sh "$work/notify.sh" "$build" "$work"
convert "$work/root.png" -crop 340x66+939+44 +repage "$target/notification.png"
ls -l "$target"/tray-menu.png "$target"/notification.png
