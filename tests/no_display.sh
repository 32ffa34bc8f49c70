#!/usr/bin/env bash
# The real program where nobody can see it: with no display, or a display with no server behind it,
# it says so in one line and ends with exit code 0 within a second, no message box. A video driver
# asked for by name is still used, off-screen or not.
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; cat "$work/stderr" 2>/dev/null; exit 1; }
[ -x "$build/quendralis" ] || exit 77   # a build without the SDL program
cd "$build"

# A display number with no server: no socket and no lock file.
absent=$((100 + RANDOM % 800))
while [ -e /tmp/.X11-unix/X$absent ] || [ -e /tmp/.X$absent-lock ]; do absent=$((absent + 1)); done

expect_no_display() {
    local what=$1
    shift
    local start=$(date +%s%N)
    env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY "$@" SDL_AUDIODRIVER=dummy timeout 10 ./quendralis 2>"$work/stderr"
    local code=$? took=$((($(date +%s%N) - start) / 1000000))
    echo "$what: exit code $code after $took ms"
    [ "$code" -ne 124 ] || fail "$what: still running after 10 s"
    [ "$code" -eq 0 ] || fail "$what: exit code $code"
    [ "$took" -lt 2000 ] || fail "$what: took $took ms"
    [ "$(grep -c '^quendralis: no display to show the demo on' "$work/stderr")" -eq 1 ] || fail "$what: no display line"
    ! grep -q 'Test area' "$work/stderr" || fail "$what: a message box was shown"
}

expect_no_display "DISPLAY unset" -u DISPLAY
expect_no_display "DISPLAY=:$absent with no server" DISPLAY=:$absent

# Named drivers are the user's choice: the demo plays on them (and ends on SIGTERM, as on Esc).
for driver in dummy offscreen; do
    SDL_VIDEODRIVER=$driver SDL_AUDIODRIVER=dummy ./quendralis 2>"$work/stderr" &
    demo=$!
    sleep 1.5
    kill -0 $demo 2>/dev/null || fail "SDL_VIDEODRIVER=$driver: the demo ended by itself"
    kill -TERM $demo
    for _ in $(seq 20); do kill -0 $demo 2>/dev/null || break; sleep 0.1; done
    kill -0 $demo 2>/dev/null && { kill -KILL $demo; fail "SDL_VIDEODRIVER=$driver: SIGTERM did not end it"; }
    wait $demo
    code=$?
    echo "SDL_VIDEODRIVER=$driver: played, exit code $code on SIGTERM"
    [ "$code" -eq 0 ] || fail "SDL_VIDEODRIVER=$driver: exit code $code"
    ! grep -q 'no display' "$work/stderr" || fail "SDL_VIDEODRIVER=$driver: refused the named driver"
done
echo "no display ok"
