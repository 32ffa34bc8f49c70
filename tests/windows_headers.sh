#!/usr/bin/env bash
# The platform headers match the real SDK: the demo's own folders compile against the real
# windows.h and ddraw.h with the 32-bit Windows compiler.
set -u
src=$2
compiler=i686-w64-mingw32-g++-posix
command -v $compiler >/dev/null || exit 77
status=0
# Each kernel set's file with the flags of cmake/InstructionSets.cmake, written to the build tree.
declare -A set_flags
while read -r file flags; do set_flags[$file]=$flags; done < "$1/x86_kernel_flags.txt"
for file in "$src"/app/*.cpp "$src"/music/*.cpp "$src"/render/*.cpp "$src"/effects/*.cpp; do
    flags=(-std=c++20 -fsyntax-only -Wall -Wextra -Werror -I"$src")
    # shellcheck disable=SC2206 # the flags are words
    flags+=(${set_flags[$file]:-})
    $compiler "${flags[@]}" "$file" || { echo "does not build against the real SDK: $file"; status=1; }
done
exit $status
