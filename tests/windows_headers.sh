#!/usr/bin/env bash
# The platform headers match the real SDK: the demo's own folders compile against the real
# windows.h and ddraw.h with the 32-bit Windows compiler.
set -u
src=$2
compiler=i686-w64-mingw32-g++-posix
command -v $compiler >/dev/null || exit 77
status=0
for file in "$src"/app/*.cpp "$src"/music/*.cpp "$src"/render/*.cpp "$src"/effects/*.cpp; do
    flags=(-std=c++20 -fsyntax-only -Wall -Wextra -Werror -I"$src")
    case $file in *_avx2.cpp) flags+=(-mavx2) ;; *_sse2.cpp) flags+=(-msse2) ;; esac
    $compiler "${flags[@]}" "$file" || { echo "does not build against the real SDK: $file"; status=1; }
done
exit $status
