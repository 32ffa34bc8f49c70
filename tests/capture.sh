#!/usr/bin/env bash
# The capture: the cue list, exact repeatability of frames and sound, and clear failures.
set -u
# A cross build's programs run under its emulator (QUENDRALIS_EMULATOR, split into words).
capture=(${QUENDRALIS_EMULATOR:-} "$(cd "$1" && pwd)/quendralis-capture")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

cues=$("${capture[@]}" --cues) || fail "--cues failed"
[ "$(grep -c ' 0$' <<<"$cues")" -eq 31 ] || fail "expected 31 scene markers in the cue list"
head -n 1 <<<"$cues" | grep -qx '19200 3 0 0' || fail "first cue: $(head -n 1 <<<"$cues")"

"${capture[@]}" --fps 25 --start 19 --seconds 0.6 "$work/a" 2>/dev/null || fail "capture a failed"
"${capture[@]}" --fps 25 --start 19 --seconds 0.6 "$work/b" 2>/dev/null || fail "capture b failed"
[ "$(ls "$work/a" | grep -c png)" -eq 15 ] || fail "expected 15 frames, got $(ls "$work/a")"
diff -r "$work/a" "$work/b" >/dev/null || fail "two captures of the same range differ"
# 0.6 s of 48 kHz stereo 16-bit after the 44-byte header.
[ "$(stat -c %s "$work/a/audio.wav")" -eq $((44 + 28800 * 4)) ] || fail "audio length $(stat -c %s "$work/a/audio.wav")"

hashes=$("${capture[@]}" --hashes --fps 25 --start 19 --seconds 0.6 2>/dev/null) || fail "--hashes failed"
[ "$(grep -c '^frame [0-9]* [0-9a-f]\{16\}$' <<<"$hashes")" -eq 15 ] || fail "expected 15 frame hashes: $hashes"
[ "$(tail -n 1 <<<"$hashes" | grep -c '^audio [0-9a-f]\{16\}$')" -eq 1 ] || fail "no audio hash last: $hashes"
[ "$hashes" = "$("${capture[@]}" --hashes --fps 25 --start 19 --seconds 0.6 2>/dev/null)" ] || fail "hashes differ between runs"
"${capture[@]}" --hashes "$work/d" 2>/dev/null && fail "--hashes with an OUTPUT was accepted"
"${capture[@]}" --fps nope "$work/c" 2>/dev/null && fail "a bad --fps was accepted"
"${capture[@]}" --module "$work/missing.xm" "$work/c" 2>/dev/null && fail "a missing module was accepted"
# Bad arguments say what is wrong and what is allowed.
message=$("${capture[@]}" --fps 0 "$work/c" 2>&1) && fail "--fps 0 was accepted"
grep -q -- '--fps 0: a whole number from 1 to 1000' <<<"$message" || fail "--fps 0 said: $message"
message=$("${capture[@]}" --start 5000 "$work/c" 2>&1) && fail "--start beyond the song was accepted"
grep -q -- '--start 5000 is beyond the song, which is [0-9.]* s long' <<<"$message" || fail "--start 5000 said: $message"
[ -e "$work/c" ] && fail "--start beyond the song left $work/c"
"${capture[@]}" --cues "$work/c" 2>/dev/null && fail "--cues with an OUTPUT was accepted"
help=$("${capture[@]}" --help) || fail "--help failed"
for words in 'default 60' 'default 3 for a video' '1 for PNG frames' 'from 1 to 1000' 'from 1 to 16' \
             'whole song' 'quendralis.xm in the current directory' 'built into the program'; do
    grep -q "$words" <<<"$help" || fail "--help does not say '$words'"
done

# Ctrl-C ends a PNG capture at the current frame: every frame so far and the sound of exactly those.
"${capture[@]}" --fps 25 --seconds 600 "$work/stopped" 2>/dev/null &
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
# Videos through FFmpeg's libraries, checked with ffprobe where it is installed.
if command -v ffprobe >/dev/null; then
    probe() { ffprobe -v error -count_packets -show_entries "stream=codec_name,nb_read_packets:format=duration" -of csv=p=0 "$1"; }
    for name in "it's.mp4" "x'; touch PWNED; echo '.MKV" 'a $(touch PWNED2) b.Mov'; do
        (cd "$work" && "${capture[@]}" --fps 25 --seconds 1 "$name" 2>/dev/null) || fail "the video '$name' failed"
        info=$(probe "$work/$name") || fail "ffprobe cannot read '$name'"
        grep -qx 'h264,25' <<<"$info" || fail "'$name' has not 25 H.264 frames: $info"
        grep -q '^aac,' <<<"$info" || fail "'$name' has no AAC sound: $info"
        grep -qx '1.0[0-9]*' <<<"$(tail -n 1 <<<"$info")" || fail "'$name' lasts $(tail -n 1 <<<"$info") s"
    done
    [ -e "$work/PWNED" ] || [ -e "$work/PWNED2" ] && fail "a file name ran a command"
    # A missing folder and one that cannot be written: one message naming the file, exit 1, no file.
    touch "$work/plain"
    for name in "$work/missing/x.mp4" "$work/plain/x.mp4" /proc/x.mov; do
        message=$("${capture[@]}" --seconds 1 "$name" 2>&1)
        rc=$?
        [ "$rc" -eq 1 ] || fail "'$name' gave exit code $rc"
        [ "$(wc -l <<<"$message")" -eq 1 ] && grep -qF "cannot write '$name': " <<<"$message" || fail "'$name' said: $message"
        [ -e "$name" ] && fail "'$name' was left behind"
    done
    # Ctrl-C ends a video at the current frame and leaves a playable, shorter file.
    "${capture[@]}" --fps 25 --seconds 600 "$work/stopped.mkv" 2>/dev/null &
    pid=$!
    sleep 2
    kill -INT "$pid"
    wait "$pid"
    rc=$?
    [ "$rc" -eq 130 ] || fail "a stopped video gave exit code $rc, not 130"
    info=$(probe "$work/stopped.mkv") || fail "the stopped video is not readable"
    count=$(grep '^h264,' <<<"$info" | cut -d, -f2)
    [ "$count" -gt 0 ] && [ "$count" -lt 15000 ] || fail "the stopped video has $count frames"
    grep -q '^aac,' <<<"$info" || fail "the stopped video has no sound: $info"
fi
echo "capture ok"
