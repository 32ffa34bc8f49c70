#!/usr/bin/env bash
# The real program under Xvfb with SDL's dummy audio: its window opens over the whole screen of a
# bare X server (no window manager to make it full screen), frames reach it, and Esc ends it with
# exit code 0 within two seconds.
set -u
. "$2/tests/virtual_screen.bash"
prepare_demo_test "$@"

start_virtual_screen 1024x768x24 || exit 1
export SDL_AUDIODRIVER=dummy
# The display driver is built without the sanitizers: its races are its own, not ours.
export TSAN_OPTIONS="suppressions=$src/tests/tsan.supp ${TSAN_OPTIONS:-}"

cd "$build"
./quendralis 2>"$work/stderr" &
demo=$!

wait_for_demo_window
[ -n "$window" ] || { echo "no window appeared"; cat "$work/stderr"; kill $demo; exit 1; }

covers=$(xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y|WIDTH|HEIGHT)=' | tr '\n' ' ')
echo "window: $covers"
[ "$covers" = "X=0 Y=0 WIDTH=1024 HEIGHT=768 " ] || { echo "the window does not cover the 1024x768 screen"; kill $demo; exit 1; }

# The bump scene fades in from black: a few seconds in, the picture is lit.
sleep 4
brightest=$(brightest_on_screen "$work/shot.png")
echo "brightest channel on screen: $brightest"
[ "$brightest" -gt 0 ] || { echo "the window shows only black"; kill $demo; exit 1; }

xdotool windowfocus "$window" 2>/dev/null; xdotool key Escape
wait_exit $demo 2
[ "$code" -ne 124 ] || { echo "Esc did not end the demo within two seconds"; exit 1; }
echo "exit code $code"
cat "$work/stderr"
[ "$code" -eq 0 ]
