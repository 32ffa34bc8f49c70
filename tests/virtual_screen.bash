# A virtual X screen for the tests that run a real program: Xvfb, a screenshot's brightness, the
# demo's window and the wait for the program's end. Sourced by tests/end_to_end.sh, tests/no_sound.sh
# and .ci/wine_smoke.

# Starts Xvfb with the given screen (e.g. 800x600x24) on a display number that the server picks
# itself, so that tests running side by side, or a stale lock file of a server that was killed,
# cannot make two servers want one number. The server writes that number once it accepts clients;
# this waits up to 30 s for it on a busy machine. Sets DISPLAY and screen_pid, or fails with a
# message when no server came up; stop_virtual_screen ends it.
start_virtual_screen() {
    local number_file number=""
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -br 3>"$number_file" >/dev/null 2>&1 &
    screen_pid=$!
    for _ in $(seq 300); do
        number=$(head -n 1 "$number_file")
        [ -n "$number" ] && break
        kill -0 "$screen_pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$number_file"
    if [ -z "$number" ]; then
        echo "Xvfb did not start a virtual screen"
        stop_virtual_screen
        return 1
    fi
    export DISPLAY=:$number
}

stop_virtual_screen() {
    [ -n "${screen_pid:-}" ] && kill "$screen_pid" 2>/dev/null
    screen_pid=""
}

# Takes a screenshot of the whole screen into file $1 and prints its brightest channel value, 0..255
# (0 also when there is no picture to measure).
brightest_on_screen() {
    import -window root "$1" 2>/dev/null || true
    convert "$1" -format '%[fx:round(255*maxima)]' info: 2>/dev/null || echo 0
}

# Waits up to $2 seconds for process $1 (a child of this shell) to end; its exit code in $code, 124
# when it did not end (it is then killed).
wait_exit() {
    local pid=$1 seconds=$2
    for _ in $(seq $((seconds * 10))); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null || true
        code=124
        return
    fi
    code=0
    wait "$pid" || code=$?
}

# The start of a script test of the SDL program, given the build folder ($1) and the sources ($2):
# ends it as skipped (77) without Xvfb, xdotool, ImageMagick or the program; sets build, src and work,
# a temporary folder that goes at the end with the virtual screen.
prepare_demo_test() {
    build=$1
    src=$(cd "$2" && pwd)
    command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v import >/dev/null || exit 77
    [ -x "$build/quendralis" ] || exit 77   # a build without the SDL program
    work=$(mktemp -d)
    trap 'stop_virtual_screen; rm -rf "$work"' EXIT
}

# Waits up to ten seconds for the demo's window "Test area"; its id in $window, empty if none came.
wait_for_demo_window() {
    window=""
    for _ in $(seq 100); do
        window=$(xdotool search --name '^Test area$' 2>/dev/null | head -n 1)
        [ -n "$window" ] && return
        sleep 0.1
    done
}
