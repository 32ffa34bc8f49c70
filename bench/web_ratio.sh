#!/usr/bin/env bash
# The whole show's mean frame time natively and as WebAssembly under node, one after the other, and
# their ratio. The WebAssembly build runs the SSE2 kernels (over WebAssembly SIMD), so the native
# SSE2 run is the like-for-like figure; the native best set is printed beside it.
# usage: bench/web_ratio.sh [NATIVE_BUILD [WEB_BUILD]]   (build/release and build/web of this tree)
set -eu
tree=$(cd "$(dirname "$0")/.." && pwd)
native=${1:-$tree/build/release}/quendralis-bench-show
web=${2:-$tree/build/web}/quendralis-bench-show.js
for program in "$native" "$web"; do
    [ -f "$program" ] || { echo "no $program: build the release and web presets' quendralis-bench-show first" >&2; exit 1; }
done
mean() { awk '$1 == "show" && NF == 2 { print $2 }' "$1"; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$native" --kernels best | tee "$work/best"
"$native" --kernels sse2 | tee "$work/sse2"
NODE_PATH=/usr/share/nodejs NODE_OPTIONS=--no-experimental-fetch node "$web" | tee "$work/web"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
best=$(mean "$work/best") sse2=$(mean "$work/sse2") wasm=$(mean "$work/web")
[ -n "$best" ] && [ -n "$sse2" ] && [ -n "$wasm" ] || { echo "a run printed no mean" >&2; exit 1; }
awk -v b="$best" -v s="$sse2" -v w="$wasm" 'BEGIN {
    printf "\nmean frame: native best %.1f us, native sse2 %.1f us, WebAssembly (node) %.1f us\n", b, s, w
    printf "WebAssembly / native sse2 = %.2f, WebAssembly / native best = %.2f (goal: at most 1.6)\n", w / s, w / b }'
