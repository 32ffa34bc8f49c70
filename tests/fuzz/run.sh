#!/usr/bin/env bash
# Builds the fuzz targets and runs each for SECONDS (default 60) from a corpus seeded with our own
# modules; the corpora grow in build/fuzz/corpus-<target> and are reused by the next run. A crash,
# a leak, a sanitizer report or a unit slower than 10 s fails the run; the input is kept in
# build/fuzz/findings/.
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/../.."
. cmake/setup.sh
ensure_packages "${run_packages[@]}" clang libclang-rt-14-dev
build_preset fuzz >/dev/null

out=build/fuzz
mkdir -p "$out/seeds" "$out/findings"
"$out/tests/fuzz/quendralis-fuzz-seeds" "$out/seeds"
cp data/quendralis.xm "$out/seeds/"

status=0
for target in xm_syncs module; do
    corpus=$out/corpus-$target
    mkdir -p "$corpus"
    cp -n "$out/seeds/"* "$corpus/"
    echo "== fuzzing $target for $seconds s"
    # The audio of a unit is only a few slices, so a large module costs mostly its load; 64 KiB
    # inputs keep the runs fast while still reaching every part of the layout.
    if ! timeout $((seconds + 120)) "$out/tests/fuzz/quendralis-fuzz-$target" "$corpus" \
            -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
            -artifact_prefix="$out/findings/$target-" -print_final_stats=1 2>"$out/$target.log"; then
        status=1
        echo "FAIL: $target (log: $out/$target.log)"
        tail -40 "$out/$target.log"
        continue
    fi
    grep -E '^stat::(number_of_executed_units|peak_rss_mb|new_units_added)' "$out/$target.log" | tr '\n' ' '
    echo
    echo "PASS: $target"
done
exit $status
