#!/usr/bin/env bash
# The capture: the cue list, exact repeatability of frames and sound, and clear failures.
set -u
capture=$1/quendralis-capture
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

cues=$("$capture" --cues) || fail "--cues failed"
[ "$(grep -c ' 0$' <<<"$cues")" -eq 31 ] || fail "expected 31 scene markers in the cue list"
head -n 1 <<<"$cues" | grep -qx '19200 3 0 0' || fail "first cue: $(head -n 1 <<<"$cues")"

"$capture" --fps 25 --start 19 --seconds 0.6 "$work/a" 2>/dev/null || fail "capture a failed"
"$capture" --fps 25 --start 19 --seconds 0.6 "$work/b" 2>/dev/null || fail "capture b failed"
[ "$(ls "$work/a" | grep -c png)" -eq 15 ] || fail "expected 15 frames, got $(ls "$work/a")"
diff -r "$work/a" "$work/b" >/dev/null || fail "two captures of the same range differ"
# 0.6 s of 48 kHz stereo 16-bit after the 44-byte header.
[ "$(stat -c %s "$work/a/audio.wav")" -eq $((44 + 28800 * 4)) ] || fail "audio length $(stat -c %s "$work/a/audio.wav")"

hashes=$("$capture" --hashes --fps 25 --start 19 --seconds 0.6 2>/dev/null) || fail "--hashes failed"
[ "$(grep -c '^frame [0-9]* [0-9a-f]\{16\}$' <<<"$hashes")" -eq 15 ] || fail "expected 15 frame hashes: $hashes"
[ "$(tail -n 1 <<<"$hashes" | grep -c '^audio [0-9a-f]\{16\}$')" -eq 1 ] || fail "no audio hash last: $hashes"
[ "$hashes" = "$("$capture" --hashes --fps 25 --start 19 --seconds 0.6 2>/dev/null)" ] || fail "hashes differ between runs"
"$capture" --hashes "$work/d" 2>/dev/null && fail "--hashes with an OUTPUT was accepted"
"$capture" --fps nope "$work/c" 2>/dev/null && fail "a bad --fps was accepted"
"$capture" --module "$work/missing.xm" "$work/c" 2>/dev/null && fail "a missing module was accepted"
"$capture" --seconds 1 /proc/forbidden 2>/dev/null && fail "an unwritable output was accepted"
# Bad arguments say what is wrong and what is allowed.
message=$("$capture" --fps 0 "$work/c" 2>&1) && fail "--fps 0 was accepted"
grep -q -- '--fps 0: a whole number from 1 to 1000' <<<"$message" || fail "--fps 0 said: $message"
message=$("$capture" --start 5000 "$work/c" 2>&1) && fail "--start beyond the song was accepted"
grep -q -- '--start 5000 is beyond the song, which is [0-9.]* s long' <<<"$message" || fail "--start 5000 said: $message"
[ -e "$work/c" ] && fail "--start beyond the song left $work/c"
"$capture" --cues "$work/c" 2>/dev/null && fail "--cues with an OUTPUT was accepted"
help=$("$capture" --help) || fail "--help failed"
for words in 'default 60' 'default 3 for a video' '1 for PNG frames' 'from 1 to 1000' 'from 1 to 16' \
             'whole song' 'quendralis.xm in the current directory' 'built into the program'; do
    grep -q "$words" <<<"$help" || fail "--help does not say '$words'"
done

# Ctrl-C ends a PNG capture at the current frame: every frame so far and the sound of exactly those.
"$capture" --fps 25 --seconds 600 "$work/stopped" 2>/dev/null &
pid=$!
for _ in $(seq 200); do
    [ "$(ls "$work/stopped" 2>/dev/null | grep -c png)" -ge 20 ] && break
    sleep 0.05
done
kill -INT "$pid"
wait "$pid"
rc=$?
[ "$rc" -eq 130 ] || fail "a stopped capture gave exit code $rc, not 130"
frames=$(ls "$work/stopped" | grep -c png)
[ "$frames" -ge 20 ] && [ "$frames" -lt 15000 ] || fail "a stopped capture kept $frames frames"
# At 25 fps every frame has 1920 stereo 16-bit samples.
[ "$(stat -c %s "$work/stopped/audio.wav")" -eq $((44 + frames * 1920 * 4)) ] ||
    fail "$frames frames but audio of $(stat -c %s "$work/stopped/audio.wav") bytes"
echo "capture ok"
