#!/usr/bin/env bash
# The embed tool reads a resource script as the resource compiler does: numbers by name from an
# included header, files relative to the script. It names every file it read in a dependency file
# and refuses a name it was never given instead of leaving the resource out.
set -u
# A cross build's programs run under its emulator (QUENDRALIS_EMULATOR, split into words).
# shellcheck disable=SC2206 # the emulator's words
embed=(${QUENDRALIS_EMULATOR:-} "$(cd "$1" && pwd)/embed")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; cat "$work/stderr" 2>/dev/null; exit 1; }
mkdir -p "$work/data" "$work/app"
printf 'AB' > "$work/data/a.bin"
printf 'xyz' > "$work/data/b c.bin"
cat > "$work/app/ids.h" <<'IDS'
#pragma once
#define IDR_A 146   // a comment after the number
#define IDR_B IDR_A
IDS
cat > "$work/data/test.rc" <<'RC'
// A comment with "quotes" in it.
#include "../app/ids.h"
IDR_A Binary "a.bin"
7 ICON "b c.bin"
RC

"${embed[@]}" "$work/data/test.rc" "$work/table.cpp" --depfile "$work/table.d" 2>"$work/stderr" || fail "embed failed"
grep -qF '{146, "Binary", reinterpret_cast<const unsigned char*>(blob0), sizeof blob0 - 1},' "$work/table.cpp" ||
    fail "IDR_A is not resource 146"
grep -qF '{7, "ICON", reinterpret_cast<const unsigned char*>(blob1), sizeof blob1 - 1},' "$work/table.cpp" ||
    fail "7 is not resource 7"
grep -qF 'const std::size_t tableSize = 2;' "$work/table.cpp" || fail "the table does not hold two resources"
grep -qF 'static const char blob0[] =' "$work/table.cpp" && grep -qF '"\101\102"' "$work/table.cpp" ||
    fail "a.bin's bytes are not in the table"
expected="$work/table.cpp: \\
  $work/data/test.rc \\
  $work/data/../app/ids.h \\
  $work/data/a.bin \\
  $work/data/b\\ c.bin"
[ "$(cat "$work/table.d")" = "$expected" ] || fail "dependency file: $(cat "$work/table.d")"

# Each fault: what the script holds, and the words of the failure.
while IFS='|' read -r script message; do
    printf '%b\n' "$script" > "$work/data/bad.rc"
    rm -f "$work/bad.cpp"
    "${embed[@]}" "$work/data/bad.rc" "$work/bad.cpp" 2>"$work/stderr"
    code=$?
    [ "$code" -eq 1 ] || fail "$script: exit code $code"
    grep -qF "$message" "$work/stderr" || fail "$script: no \"$message\""
    [ ! -e "$work/bad.cpp" ] || fail "$script: a table was written"
done <<'CASES'
IDR_MISSING Binary "a.bin"|IDR_MISSING is neither a resource number nor a name #defined before it
IDR_A Binary "a.bin"\n#include "../app/ids.h"|IDR_A is neither a resource number nor a name #defined before it
70000 Binary "a.bin"|70000 is neither a resource number
#include "../app/none.h"|cannot read
#include <ids.h>|#include takes a "file"
146 Binary "none.bin"|cannot read
CASES
echo "embed: names, dependency file and faults as expected"
