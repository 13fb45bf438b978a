#!/bin/sh
# Brings the catalogues up to date with the texts the sources hand to tr_: new texts are added
# (German: as themselves; English: empty, to be translated by hand), texts the sources no longer
# use are marked obsolete. Run from anywhere; check with the test catalogues_cover_the_sources.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
export LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The version of the project() line of the top CMakeLists.txt.
version=$(sed -n 's/^project(Taktplan VERSION \([0-9]*\.[0-9]*\).*/\1/p' "$root/CMakeLists.txt")

find "$root/src" -name '*.cpp' -o -name '*.h' | sort > "$work/files"
xgettext -k --keyword=tr_ --from-code=UTF-8 --language=C++ --force-po --add-location=never \
    --package-name=Taktplan --package-version="$version" --files-from="$work/files" --output="$work/default.pot"
for catalogue in "$root"/locale/*/default.po; do
    msgmerge --quiet --update --backup=none --no-fuzzy-matching --add-location=never "$catalogue" "$work/default.pot"
done
# German is the program's own language: every text translates to itself. Texts the sources do
# not use (yet) stay as obsolete entries; msgmerge brings them back when a source uses them.
msgen --no-wrap "$root/locale/de/default.po" -o "$work/de.po"
cp "$work/de.po" "$root/locale/de/default.po"
msgattrib --untranslated "$root/locale/en/default.po" | grep '^msgid "..*"' || echo "every English text is translated"
