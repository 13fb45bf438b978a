#!/bin/sh
# Installs the build into a temporary prefix and starts the installed program through its link
# in bin/ (the entry program, which hands the start to the full program beside it): it must find
# its catalogues and sounds beside itself. Usage: check_install.sh <build>
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix with blank"

cmake --install "$build" --prefix "$prefix" > "$work/install.log"

status=0
for file in bin/taktplan lib/taktplan/taktplan lib/taktplan/taktplan-app \
    lib/taktplan/locale/de/LC_MESSAGES/default.mo lib/taktplan/locale/en/LC_MESSAGES/default.mo \
    lib/taktplan/Sounds/Start.wav lib/taktplan/Sounds/Ende_Einheit.wav lib/taktplan/Sounds/Feierabend.wav \
    lib/taktplan/Sounds/Countdown60.wav lib/taktplan/Sounds/Countdown30.wav \
    lib/taktplan/doc/taktplan-de.html lib/taktplan/doc/taktplan-en.html lib/taktplan/doc/LICENCES.txt \
    lib/taktplan/doc/taktplan-de-hidpi.html lib/taktplan/doc/taktplan-en-kontakt.html \
    share/applications/taktplan.desktop share/icons/hicolor/scalable/apps/taktplan.svg \
    bin/bilanzblick lib/taktplan/bilanzblick share/applications/bilanzblick.desktop \
    share/icons/hicolor/scalable/apps/bilanzblick.svg; do
    if [ ! -e "$prefix/$file" ]; then
        echo "missing after install: $file"
        status=1
    fi
done
if [ "$(readlink "$prefix/bin/taktplan")" != "../lib/taktplan/taktplan" ]; then
    echo "bin/taktplan is not the relative link to the program"
    status=1
fi
# The entry program answers a status question itself, also through the link.
if [ "$(env TAKTPLAN_DATA_DIR="$work" XDG_RUNTIME_DIR="$work" "$prefix/bin/taktplan" --status 2>&1)" != \
    "taktplan: Taktplan is not running" ]; then
    echo "the installed entry program does not answer a status question"
    status=1
fi
if ! grep -qx "Exec=\"$prefix/bin/taktplan\"" "$prefix/share/applications/taktplan.desktop"; then
    echo "the desktop file does not start the installed program:"
    grep '^Exec=' "$prefix/share/applications/taktplan.desktop" || true
    status=1
fi

# Started through the link from elsewhere, in English: the settings comment shows the catalogue
# was found.
mkdir -p "$work/data" "$work/run" "$work/config"
chmod 700 "$work/run"
(cd "$work" && env TAKTPLAN_DATA_DIR="$work/data" TAKTPLAN_LANGUAGE=en TAKTPLAN_EXIT_AFTER_SHOWN=1 \
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" \
    ASAN_OPTIONS=detect_leaks=0 "$prefix/bin/taktplan" > "$work/out.txt")
if [ "$(sed -n 4p "$work/data/Settings.ini" | tr -d '\r')" != "#Units" ]; then
    echo "the installed program did not find its English catalogue"
    status=1
fi
# The evaluation program, started through its link, reads a log and exports it.
printf '\r\nMo, 01.12.2025 09:00|25 Bericht [x]' > "$work/data/Dezuzedu.log"
if ! grep -qx "Exec=\"$prefix/bin/bilanzblick\"" "$prefix/share/applications/bilanzblick.desktop"; then
    echo "the desktop file does not start the installed evaluation program"
    status=1
fi
export_line=$(env TAKTPLAN_DATA_DIR="$work/data" ASAN_OPTIONS=detect_leaks=0 "$prefix/bin/bilanzblick" \
    --export days --format csv --from 2025-12-01 --to 2025-12-01 | sed -n 2p)
if [ "$export_line" != "2025-12-01,Mo,1,25,0,,0" ]; then
    echo "the installed evaluation program did not export the log: $export_line"
    status=1
fi
[ $status -eq 0 ] && echo "install layout complete; installed program runs and translates"
exit $status
