#!/usr/bin/env bash
# The real program under Xvfb with an audio driver that does not exist: it says once that there is no
# sound device and that it plays silently, and the song runs on the clock all the same: a held Space
# moves it on through the scenes to the last flash and the black end, which only syncs can bring.
set -u
. "$2/tests/virtual_screen.bash"
prepare_demo_test "$@"

start_virtual_screen 640x480x24 || exit 1
export SDL_AUDIODRIVER=nosuchdriver QUENDRALIS_WINDOWED=1
export TSAN_OPTIONS="suppressions=$src/tests/tsan.supp ${TSAN_OPTIONS:-}"

cd "$build"
./quendralis 2>"$work/stderr" &
demo=$!
fail() {
    echo "$*"
    cat "$work/stderr"
    kill $demo 2>/dev/null
    exit 1
}

wait_for_demo_window
[ -n "$window" ] || fail "no window appeared"
# The opening scene fades in from black; once it is lit, Space is held until the screen is black
# for good.
lit=0
for _ in $(seq 40); do
    lit=$(brightest_on_screen "$work/shot.png")
    [ "$lit" -gt 0 ] && break
    sleep 0.25
done
[ "$lit" -gt 0 ] || fail "the opening scene never lit up"
# The music starts before the first frame: its line is there by now.
line=$(grep -c '^quendralis: no sound device, the demo plays silently (.\+)$' "$work/stderr")
[ "$line" -eq 1 ] || fail "not one line saying that the demo plays silently"
xdotool windowfocus "$window" 2>/dev/null
xdotool keydown space
held=$SECONDS
brightest=$lit
for _ in $(seq 240); do
    sleep 0.25
    brightest=$(brightest_on_screen "$work/shot.png")
    [ "$brightest" -eq 0 ] && break
done
xdotool keyup space
[ "$brightest" -eq 0 ] || fail "with Space held for a minute the show never reached its black end"
echo "the show reached its black end without a sound device, $((SECONDS - held)) s after Space went down"
sleep 1
[ "$(brightest_on_screen "$work/shot.png")" -eq 0 ] || fail "the screen lit up again after the black end"

xdotool key Escape
wait_exit $demo 2
[ "$code" -ne 124 ] || fail "Esc did not end the demo within two seconds"
echo "exit code $code"
cat "$work/stderr"
[ "$code" -eq 0 ]
