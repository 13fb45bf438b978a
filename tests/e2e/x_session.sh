# Sourced by the scripts that drive the program under a real X server. Runs the calling script
# again under xvfb-run when it has no display of its own (TAKTPLAN_XVFB_SCREEN sets the screen),
# and gives it a work folder $work with a private runtime folder ($work/run) and a config folder
# ($work/config). At exit the program it started ($pid) is killed and the work folder removed.
if [ -z "${TAKTPLAN_UNDER_XVFB:-}" ]; then
    export TAKTPLAN_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 ${TAKTPLAN_XVFB_SCREEN:-1024x768x24}" sh "$0" "$@"
fi
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2> /dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/run" "$work/config"
chmod 700 "$work/run"
