#!/bin/sh
# Fails when a text that the sources hand to tr_ is missing from, or untranslated in, one of the
# message catalogues. Usage: check_catalogues.sh <source root>
set -eu
root=$1
# The sources are UTF-8; xgettext reads them by the locale's rules.
export LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

find "$root/src" -name '*.cpp' -o -name '*.h' | sort > "$work/files"
xgettext -k --keyword=tr_ --from-code=UTF-8 --language=C++ --force-po \
    --files-from="$work/files" --output="$work/sources.pot" 2> "$work/xgettext.log" || {
    cat "$work/xgettext.log"
    exit 1
}

status=0
for catalogue in "$root"/locale/*/default.po; do
    if ! msgcmp "$catalogue" "$work/sources.pot" 2> "$work/missing"; then
        echo "$catalogue lacks texts of the sources:"
        cat "$work/missing"
        status=1
    fi
done
count=$(grep -c '^msgid "..*"' "$work/sources.pot" || true)
echo "$count texts of the sources checked against $(ls "$root"/locale/*/default.po | wc -l) catalogues"
exit $status
