#!/bin/sh
# Kills the program while it saves, over and over, and checks that nothing the user typed is lost.
# Run by hand (not in CI): tests/e2e/kill_during_saves.sh <build folder> [kills]
#
# Each round starts <build>/taktplan on the same data folder under Xvfb, types new entries into
# the Planning window (every Enter rewrites worklist.log) and kills the program with SIGKILL: two
# thirds of the rounds at a random moment, the rest under strace at the N-th write(), fdatasync()
# rename() or linkat(), the microsecond windows a random kill hardly ever hits. After every kill:
#   - worklist.log is whole: every line is an entry typed earlier, in typing order, and it ends
#     with a line break;
#   - the last version of the file seen before the kill is still in front, so no entry that had
#     been saved is missing (a keystroke lost before the window had the focus loses nothing saved);
#   - the next start succeeds (its window is shown) and leaves no temporary file behind.
# Temporary files are counted twice: right after the kill, and after the next start (clean-up at
# start removes leftovers of our own). Every 25 rounds the data folder starts afresh, so the plan
# stays short. Exit status 0 when no file was broken, no entry lost and every start succeeded.
set -eu
build=$(cd "$1" && pwd)
kills=${2:-300}
program=$build/taktplan
. "$(dirname "$0")/x_session.sh"
mkdir -p "$work/cwd"

failures=0
leftovers_after_kill=0
leftovers_after_start=0
random_kills=0
injected_kills=0
late_kills=0
startup_kills=0
typed=0
saved_seen=0

fail() {
    failures=$((failures + 1))
    echo "round $round: $*"
}

# The temporary files of an atomic replace beside the program's files.
count_leftovers() {
    find "$data" -maxdepth 1 -name '*.??????' ! -name '*.log.bak' | wc -l
}

# Starts the program (optionally under strace); waits for its window. False when it is not shown.
start() {
    : > "$work/out.txt"
    cd "$work/cwd"
    env TAKTPLAN_DATA_DIR="$data" TAKTPLAN_LANGUAGE=de TAKTPLAN_TRACE_STARTUP=1 QT_QPA_PLATFORM=xcb \
        XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" ASAN_OPTIONS=detect_leaks=0 \
        "$@" "$program" > "$work/out.txt" 2> "$work/err.txt" &
    pid=$!
    tries=0
    until grep -q '^shown' "$work/out.txt" 2> /dev/null; do
        tries=$((tries + 1))
        if [ $tries -gt 300 ] || ! kill -0 "$pid" 2> /dev/null; then
            return 1
        fi
        sleep 0.05
    done
    window=$(xdotool search --sync --onlyvisible --name '^Taktplan' | head -1)
    xdotool windowfocus --sync "$window" 2> /dev/null || true
}

# Checks worklist.log: every line an entry typed earlier ("E<n>///25", n rising), CR LF at the
# end, and the last version seen before the kill still in front (entries are only appended, so a
# whole earlier version is always a prefix of a later one).
check_file() {
    if [ ! -e "$data/worklist.log" ]; then
        [ ! -s "$work/seen.log" ] || fail "worklist.log is gone, entries had been saved"
        return
    fi
    if ! awk -v RS='\r\n' -v typed="$typed" '
        {
            if ($0 !~ /^E[0-9]+\/\/\/25$/) { print "line " NR " is <" $0 ">"; exit 1 }
            n = substr($0, 2) + 0
            if (n <= last || n > typed) { print "line " NR " is <" $0 "> after E" last; exit 1 }
            last = n
        }' "$data/worklist.log" > "$work/check.txt"; then
        fail "worklist.log broken: $(cat "$work/check.txt")"
    fi
    if [ -s "$data/worklist.log" ] && [ "$(tail -c 2 "$data/worklist.log" | od -An -tx1 | tr -d ' ')" != "0d0a" ]; then
        fail "worklist.log does not end with a line break"
    fi
    seen_size=$(wc -c < "$work/seen.log")
    if ! head -c "$seen_size" "$data/worklist.log" | cmp -s - "$work/seen.log"; then
        fail "entries seen saved before the kill are missing"
    fi
    cp "$data/worklist.log" "$work/seen.log"
    saved_seen=$(awk -v RS='\r\n' 'END { print NR }' "$data/worklist.log")
}

round=0
while [ $round -lt "$kills" ]; do
    round=$((round + 1))
    if [ $(((round - 1) % 25)) -eq 0 ]; then
        data=$work/data$round
        mkdir -p "$data"
        typed=0
        saved_seen=0
        : > "$work/seen.log"
    fi
    mode=$((round % 3))
    if [ $mode -eq 0 ]; then
        syscall=$(printf 'write\nfdatasync\nrename\nlinkat' | shuf -n 1)
        # Past the start-up's own writes; a save does one of each per Enter.
        nth=$(shuf -i 3-12 -n 1)
        set -- strace -f -o /dev/null -e "trace=$syscall" -e "inject=$syscall:signal=SIGKILL:when=$nth"
    else
        set --
    fi
    if ! start "$@"; then
        kill -KILL "$pid" 2> /dev/null || true
        wait "$pid" 2> /dev/null || true
        pid=
        if [ $mode -eq 0 ]; then
            # The injected call came during start-up: a kill like any other.
            injected_kills=$((injected_kills + 1))
            startup_kills=$((startup_kills + 1))
            check_file
        else
            fail "the program did not start: $(tail -3 "$work/err.txt" | tr '\n' ' ')"
        fi
        continue
    fi
    leftovers_after_start=$((leftovers_after_start + $(count_leftovers)))
    # Counted once: until clean-up at start exists, the script takes them away itself.
    find "$data" -maxdepth 1 -name '*.??????' ! -name '*.log.bak' -delete
    # Type entries until the kill; remember what the file held before it.
    deadline=$(shuf -i 1-15 -n 1)
    i=0
    while kill -0 "$pid" 2> /dev/null && [ $i -lt 30 ]; do
        i=$((i + 1))
        typed=$((typed + 1))
        xdotool type --delay 2 "E$typed" 2> /dev/null || true
        xdotool key Return 2> /dev/null || true
        # The file is replaced by a rename, so a copy is always one whole version.
        if [ -e "$data/worklist.log" ]; then
            cp "$data/worklist.log" "$work/seen.next" 2> /dev/null && mv "$work/seen.next" "$work/seen.log"
        fi
        if [ $mode -ne 0 ] && [ $i -ge "$deadline" ]; then
            sleep "0.0$(shuf -i 0-99 -n 1)"
            kill -KILL "$pid" 2> /dev/null || true
            random_kills=$((random_kills + 1))
            break
        fi
    done
    if [ $mode -eq 0 ]; then
        if kill -0 "$pid" 2> /dev/null; then
            # The injection never fired within 30 entries: kill the program (strace's child, not
            # strace, which would leave it running) all the same.
            traced=$(pgrep -P "$pid" || true)
            [ -z "$traced" ] || kill -KILL $traced 2> /dev/null || true
            late_kills=$((late_kills + 1))
        fi
        injected_kills=$((injected_kills + 1))
    fi
    wait "$pid" 2> /dev/null || true
    pid=
    leftovers_after_kill=$((leftovers_after_kill + $(count_leftovers)))
    check_file
done

# The last start: it must succeed on what the last kill left.
round=$((round + 1))
if start; then
    leftovers_after_start=$((leftovers_after_start + $(count_leftovers)))
    kill -KILL "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
    pid=
else
    fail "the last start did not succeed"
fi

echo "kills: $kills ($random_kills at random moments, $injected_kills at an injected system call," \
    "$startup_kills of them during start-up, $late_kills after 30 entries because the call came no more)"
echo "entries in the last plan file: $saved_seen"
echo "broken files, lost entries or failed starts: $failures"
echo "temporary files right after a kill: $leftovers_after_kill"
echo "temporary files still there after the next start: $leftovers_after_start"
[ "$failures" -eq 0 ]
