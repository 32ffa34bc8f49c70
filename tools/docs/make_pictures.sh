#!/usr/bin/env bash
# Makes every picture of docs/how-it-works.md and the README's stills and contact sheet from the
# show itself: quendralis-capture --layers at 10 frames a second, laid out by quendralis-tile, and the
# cue list (quendralis-capture --cues) drawn by quendralis-timeline.
# usage: tools/docs/make_pictures.sh BUILD_DIR [OUT_DIR]   (OUT_DIR: docs/ of this tree)
set -eu
build=$(cd "$1" && pwd)
out=${2:-$(cd "$(dirname "$0")/../.." && pwd)/docs}
# A cross build's programs run under its emulator (QUENDRALIS_EMULATOR, split into words).
capture=(${QUENDRALIS_EMULATOR:-} "$build/quendralis-capture")
tile=(${QUENDRALIS_EMULATOR:-} "$build/quendralis-tile")
timeline=(${QUENDRALIS_EMULATOR:-} "$build/quendralis-timeline")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sheet=$(seq -s, 0 5 155),159.9
texts=61.25,61.35,61.45,61.55   # the top line's first text, at 60 frames a second
flash=44.8,45.0,45.2,45.4,45.6,45.8,46.0,46.2
"${capture[@]}" --layers "$sheet,12.5,36,50,58.0,58.1,58.3,100.2,$flash" --fps 10 "$work" 2>/dev/null
"${capture[@]}" --layers "$texts" --fps 60 "$work" 2>/dev/null
at() { printf '%s/t%07d' "$work" "$(awk -v s="$1" 'BEGIN { printf "%d", s * 1000 + 0.5 }')"; }

mkdir -p "$out/stills" "$out/how-it-works"
cp "$(at 12.5)/frame.png" "$out/stills/bump.png"
cp "$(at 36)/frame.png" "$out/stills/sweep.png"
cp "$(at 50)/frame.png" "$out/stills/field.png"
cp "$(at 58.1)/frame.png" "$out/stills/dotcube.png"
cp "$(at 100.2)/frame.png" "$out/stills/greetings.png"
frames=()
for s in ${sheet//,/ }; do frames+=("$(at "$s")/frame.png"); done
"${tile[@]}" 6 2 "$out/contact-sheet.png" "${frames[@]}"

p=$out/how-it-works
b=$(at 12.5)
"${tile[@]}" 3 1 "$p/relief.png" "$b/bump-accum.png" "$b/bump-canvas.png" "$b/bump-surface.png"
cp "$b/bump-lightmap.png" "$p/relief-light-map.png"
s=$(at 36)
"${tile[@]}" 3 1 "$p/sweep.png" "$s/sweep-canvas.png" "$s/sweep-accum.png" "$s/frame.png"
f=$(at 50)
"${tile[@]}" 3 1 "$p/field.png" "$f/field-canvas.png" "$f/field-accum.png" "$f/frame.png"
d0=$(at 58.0) d1=$(at 58.1) d3=$(at 58.3)
"${tile[@]}" 3 1 "$p/dotcube.png" "$d1/dotcube-canvas.png" "$d1/dotcube-accum.png" "$d1/dotcube-surface.png"
"${tile[@]}" 3 1 "$p/dotcube-beat.png" "$d0/dotcube-canvas.png" "$d1/dotcube-canvas.png" "$d3/dotcube-canvas.png"
t=()
for s in ${texts//,/ }; do t+=("$(at "$s")/toptext-canvas.png"); done
"${tile[@]}" 1 1 "$p/text-ghosts-canvas.png" "${t[@]}"
t=()
for s in ${texts//,/ }; do t+=("$(at "$s")/toptext-surface.png"); done
"${tile[@]}" 1 1 "$p/text-ghosts.png" "${t[@]}"
t=()
for s in ${flash//,/ }; do t+=("$(at "$s")/frame.png"); done
"${tile[@]}" 4 2 "$p/flash.png" "${t[@]}"
c=$(at 100.2)
"${tile[@]}" 5 2 "$p/frame-path.png" "$c"/after-*.png "$c/frame.png"
"${capture[@]}" --cues > "$work/cues.txt"
"${timeline[@]}" 160 "$p/cue-timeline.png" < "$work/cues.txt"
