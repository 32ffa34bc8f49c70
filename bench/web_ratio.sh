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

# Each run's processor time (user + system) as well: on a shared machine the frame times include
# waiting for a core, the processor time does not (node's also counts its compiler threads).
TIMEFORMAT='%U %S'
run() {
    local name=$1
    shift
    { time "$@" > "$work/$name"; } 2> "$work/$name.cpu"
    cat "$work/$name"
}
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
run best "$native" --kernels best
run sse2 "$native" --kernels sse2
run web env NODE_PATH=/usr/share/nodejs NODE_OPTIONS=--no-experimental-fetch node "$web"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
best=$(mean "$work/best") sse2=$(mean "$work/sse2") wasm=$(mean "$work/web")
[ -n "$best" ] && [ -n "$sse2" ] && [ -n "$wasm" ] || { echo "a run printed no mean" >&2; exit 1; }
cpu() { awk '{ print $1 + $2 }' "$work/$1.cpu"; }
awk -v b="$best" -v s="$sse2" -v w="$wasm" -v cb="$(cpu best)" -v cs="$(cpu sse2)" -v cw="$(cpu web)" 'BEGIN {
    printf "\nmean frame: native best %.1f us, native sse2 %.1f us, WebAssembly (node) %.1f us\n", b, s, w
    printf "WebAssembly / native sse2 = %.2f, WebAssembly / native best = %.2f (goal: at most 1.6)\n", w / s, w / b
    printf "processor time of the whole run (sound and start-up included): native best %.2f s, native sse2 %.2f s, WebAssembly %.2f s\n", cb, cs, cw
    printf "WebAssembly / native sse2 = %.2f, WebAssembly / native best = %.2f\n", cw / cs, cw / cb }'
