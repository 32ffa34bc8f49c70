#!/usr/bin/env bash
# The capture: the cue list, exact repeatability of frames and sound, and clear failures.
set -u
build=$1
# QUENDRALIS_EMULATOR: the emulator a cross build's programs run under, split into words.
capture() { ${QUENDRALIS_EMULATOR:-} "$build/quendralis-capture" "$@"; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

cues=$(capture --cues) || fail "--cues failed"
[ "$(grep -c ' 0$' <<<"$cues")" -eq 31 ] || fail "expected 31 scene markers in the cue list"
[ "$(head -n 1 <<<"$cues")" = '19200 3 0 0' ] || fail "first cue: $(head -n 1 <<<"$cues")"

capture --fps 25 --start 19 --seconds 0.6 "$work/a" 2>/dev/null || fail "capture a failed"
capture --fps 25 --start 19 --seconds 0.6 "$work/b" 2>/dev/null || fail "capture b failed"
[ "$(ls "$work/a" | grep -c png)" -eq 15 ] || fail "expected 15 frames, got $(ls "$work/a")"
diff -r "$work/a" "$work/b" >/dev/null || fail "two captures of the same range differ"
# 0.6 s of 48 kHz stereo 16-bit after the 44-byte header.
[ "$(stat -c %s "$work/a/audio.wav")" -eq $((44 + 28800 * 4)) ] || fail "audio length $(stat -c %s "$work/a/audio.wav")"

hashes=$(capture --hashes --fps 25 --start 19 --seconds 0.6 2>/dev/null) || fail "--hashes failed"
[ "$(grep -c '^frame [0-9]* [0-9a-f]\{16\}$' <<<"$hashes")" -eq 15 ] || fail "expected 15 frame hashes: $hashes"
[ "$(tail -n 1 <<<"$hashes" | grep -c '^audio [0-9a-f]\{16\}$')" -eq 1 ] || fail "no audio hash last: $hashes"
[ "$hashes" = "$(capture --hashes --fps 25 --start 19 --seconds 0.6 2>/dev/null)" ] || fail "hashes differ between runs"
capture --hashes "$work/d" 2>/dev/null && fail "--hashes with an OUTPUT was accepted"
capture --fps nope "$work/c" 2>/dev/null && fail "a bad --fps was accepted"
capture --module "$work/missing.xm" "$work/c" 2>/dev/null && fail "a missing module was accepted"
capture --seconds 1 /proc/forbidden 2>/dev/null && fail "an unwritable output was accepted"
echo "capture ok"
