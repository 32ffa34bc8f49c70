#!/usr/bin/env bash
# The capture built as WebAssembly and run under node must give the native capture's bytes: the
# hash of every frame of the whole show and of its sound, line for line. Prints both run times.
# Usage: capture_hashes.sh NODE WEB_CAPTURE.js NATIVE_CAPTURE DATA_DIR [capture options...]
set -euo pipefail
node=$1 web=$(realpath "$2") native=$(realpath "$3") data=$4
shift 4
options=(--hashes --fps 10 "$@")
[ -x "$native" ] || { echo "no native capture at $native: build the release preset first" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$data"   # both read the module data/quendralis.xm from here
run() {
    local name=$1 start end
    shift
    start=$(date +%s%N)
    "$@" "${options[@]}" >"$out/$name.txt"
    end=$(date +%s%N)
    echo "$name: $(( (end - start) / 1000000 )) ms, $(grep -c '^frame ' "$out/$name.txt") frames"
}
run native "$native"
run web "$node" "$web"
grep -q '^audio ' "$out/native.txt" || { echo "the native capture printed no sound hash" >&2; exit 1; }
if ! diff -q "$out/native.txt" "$out/web.txt" >/dev/null; then
    echo "the WebAssembly capture differs from the native one:" >&2
    diff "$out/native.txt" "$out/web.txt" | head -n 20 >&2
    exit 1
fi
echo "identical: $(wc -l <"$out/native.txt") hashes"
