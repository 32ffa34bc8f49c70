#!/usr/bin/env bash
# --layers: the planes and the compositing steps of chosen frames, which add up to the frame shown.
set -u
# A cross build's programs run under its emulator (QUENDRALIS_EMULATOR, split into words).
capture=(${QUENDRALIS_EMULATOR:-} "$1/quendralis-capture")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

# 62 s: the field copied, the dot cube and the top text added over it.
"${capture[@]}" --layers 62,12.5 --fps 10 "$work/a" 2>/dev/null || fail "--layers failed"
for f in index.json t0012500/bump-canvas.png t0012500/bump-accum.png t0012500/bump-lightmap.png \
         t0062000/after-1-field.png t0062000/after-2-dotcube.png t0062000/after-3-toptext.png \
         t0062000/dotcube-canvas.png t0062000/dotcube-accum.png t0062000/dotcube-palette.png \
         t0062000/toptext-surface.png t0062000/frame.png; do
    [ -s "$work/a/$f" ] || fail "no $f in: $(cd "$work/a" && find . | sort)"
done
[ ! -e "$work/a/t0062000/bump-canvas.png" ] || fail "an effect that does not draw at 62 s has pictures"
# The planes are grey files (colour type 0, byte 25), the surfaces and frames RGB (2).
colour_type() { od -An -tu1 -j25 -N1 "$1" | tr -d ' '; }
for f in t0012500/bump-canvas.png t0012500/bump-accum.png t0012500/bump-lightmap.png t0062000/dotcube-canvas.png; do
    [ "$(colour_type "$work/a/$f")" = 0 ] || fail "$f is not a grey PNG"
done
for f in t0062000/toptext-surface.png t0062000/dotcube-palette.png t0062000/frame.png; do
    [ "$(colour_type "$work/a/$f")" = 2 ] || fail "$f is not an RGB PNG"
done
# The last step is the frame itself.
cmp -s "$work/a/t0062000/after-3-toptext.png" "$work/a/t0062000/frame.png" || fail "the last layer is not the frame"
grep -q '"frame": 620, "demo_ms": 62000, "scene": 5' "$work/a/index.json" || fail "index: $(head -c 400 "$work/a/index.json")"
# The frame is the one the capture writes at that moment.
"${capture[@]}" --fps 10 --start 62 --seconds 0.1 "$work/b" 2>/dev/null || fail "capture failed"
cmp -s "$work/a/t0062000/frame.png" "$work/b/frame-000000.png" || fail "--layers shows another frame than the capture"
"${capture[@]}" --layers 62,12.5 --fps 10 "$work/c" 2>/dev/null || fail "second --layers failed"
diff -r "$work/a" "$work/c" >/dev/null || fail "two --layers runs differ"

for bad in "" "12,,3" "x" "-1" "12.5;40" "100000"; do
    "${capture[@]}" --layers "$bad" "$work/d" 2>/dev/null && fail "--layers '$bad' was accepted"
done
echo "layers ok"
