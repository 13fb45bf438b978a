#!/usr/bin/env bash
# Two rules of docs/architecture.md that a compiler cannot see, checked on the sources in a
# moment (CI runs it before the build):
#  - files are opened only in src/platform (text_file and its neighbours), so every byte of
#    the plan, the settings and the logs follows the same rules of encoding and safe writing;
#  - the system clock is read only in src/platform, so tests and demonstrations can run any
#    day at any speed.
# Measuring a duration (QElapsedTimer, steady_clock) is no reading of the time of day and is
# allowed everywhere.
set -euo pipefail
cd "$(dirname "$0")/.."

opens_files='\bQFile\s+[A-Za-z_]\w*\s*[({;]|\bQFile\s*\(|\bQSaveFile\b|\bQTemporaryFile\b|QFile::copy\b|\bfopen\s*\(|\bstd::[io]?fstream\b|\bQSettings\b'
reads_clock='QDateTime::currentDateTime|current(M)?SecsSinceEpoch|QDate::currentDate|QTime::currentTime|chrono::(system|high_resolution)_clock\b|\b(system|high_resolution)_clock::|[^_[:alnum:].>]time\s*\(\s*(nullptr|NULL|0)?\s*\)|\blocaltime(_r|_s)?\s*\(|\bgettimeofday\s*\(|\bclock_gettime\s*\(|\bGetSystemTime|\bGetLocalTime'

# path (a prefix) | rule it may break | why
exceptions=(
    # The tests prepare and inspect the files they hand the code, byte for byte.
    "tests/|opens|tests write the files they feed in and read back what the code wrote"
    "bench/|opens|benchmarks write their generated logs and read them back"
    # The export is the user's own file in a format of its own (CSV or JSON), written in pieces
    # on a worker and committed at once; no record of the program.
    "src/bilanzblick/bilanz_window.cpp|opens|the day export, a file the user chose"
)

fail=0
allowed() { # file rule
    local entry
    for entry in "${exceptions[@]}"; do
        IFS='|' read -r prefix rule _ <<< "$entry"
        [[ $2 == "$rule" && $1 == "$prefix"* ]] && return 0
    done
    return 1
}
check() { # rule pattern message
    local file hits
    while IFS= read -r -d '' file; do
        case $file in src/platform/* | tests/platform/*) continue ;; esac
        allowed "$file" "$1" && continue
        # Comments say what they like.
        hits=$(grep -nP "$2" "$file" | grep -vP '^\d+:\s*//' || true)
        if [ -n "$hits" ]; then
            printf '%s: %s\n%s\n' "$file" "$3" "$hits" >&2
            fail=1
        fi
    done < <(git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
}
check opens "$opens_files" "opens a file outside src/platform (use src/platform/text_file)"
check clock "$reads_clock" "reads the system clock outside src/platform (use the Clock handed in)"
if [ "$fail" -ne 0 ]; then
    echo "check-layers: see docs/architecture.md, or add an exception with its reason here" >&2
    exit 1
fi
echo "check-layers: no file opened and no clock read outside src/platform"
