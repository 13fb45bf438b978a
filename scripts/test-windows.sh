#!/usr/bin/env bash
# The Windows build's tests: every cross-built core test program under Wine, then a whole day
# of taktplan.exe under Wine and Xvfb. Ends with "N passed, N failed, N skipped" (test cases;
# the day counts as one) and fails when anything failed.
set -euo pipefail
cd "$(dirname "$0")/.."
# Under an X server of its own when there is none: Wine makes windows only on a display, and the
# test programs make hidden ones (the session-end watcher does). The day under Wine uses it too.
if [ -z "${TAKTPLAN_UNDER_XVFB:-}" ]; then
    export TAKTPLAN_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
repo=$PWD
build_dir=${TAKTPLAN_BUILD_WIN:-build-win}
qt=$(cd "${TAKTPLAN_QT_WINDOWS:-../shared/qt6-mingw}" && pwd)
wine=/usr/lib/wine/wine64

# The Windows build with its tests; the core test programs come with it.
TAKTPLAN_WINDOWS_TESTS=ON TAKTPLAN_BUILD_WIN=$build_dir bash scripts/build-windows.sh
cmake --build "$build_dir" --target cross_core_tests

# One prefix for this run, made once and shared by every program; nothing of it outlives the run.
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
cleanup() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }
"$wine" wineboot -i >/dev/null 2>&1
# The Qt and MinGW runtime DLLs, found through Wine's search path.
WINEPATH="$(winpath "$qt/bin");$(winpath /usr/lib/gcc/x86_64-w64-mingw32/12-posix);$(winpath /usr/x86_64-w64-mingw32/lib)"
export WINEPATH

passed=0 failed=0 skipped=0
count() { sed -n "s/^\[  $1 *\] \([0-9]*\) tests\?[,.].*/\1/p" "$2" | tail -n 1; }
while IFS=$'\t' read -r program zone; do
    name=$(basename "$program" .exe)
    log=$work/$name.txt
    echo "== $name (zone $zone)"
    # Windows takes its zone from the system, which Wine sets from the TZ it runs under; a zone
    # name left in the Windows environment would only mislead the C runtime, so cmd drops it.
    status=0
    (cd "$(dirname "$program")" &&
        TZ=$zone timeout 600 "$wine" cmd /c "set TZ=&& $(winpath "$program")") >"$log" 2>&1 || status=$?
    sed -i 's/\r$//' "$log" # the Windows line ends
    p=$(count PASSED "$log") s=$(count SKIPPED "$log") f=$(count FAILED "$log")
    # Each skip with its reason; a failure with the whole output.
    grep -A 1 ': Skipped$' "$log" | grep -v '^--$' || true
    [ -z "$f" ] || cat "$log"
    passed=$((passed + ${p:-0})) skipped=$((skipped + ${s:-0})) failed=$((failed + ${f:-0}))
    if [ "$status" -ne 0 ] && [ -z "$f" ]; then
        # Ended before its summary (a crash, a hang): the whole program counts as one failure.
        echo "$name ended with status $status before its summary:"
        tail -n 20 "$log"
        failed=$((failed + 1))
    fi
done <"$build_dir/cross-tests.txt"

# A whole day of the program, and its installer, in a prefix of their own.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
echo "== a day of taktplan.exe under Wine"
if sh tests/e2e/check_wine_day.sh "$build_dir/package/Taktplan" "$build_dir/Taktplan-$version-setup.exe"; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
