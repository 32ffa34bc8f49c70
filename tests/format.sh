#!/usr/bin/env bash
# Every C++ file of ours is in the layout of .clang-format, as Debian's clang-format 14 lays it out.
# `clang-format -i FILE` puts a file right.
set -u
source_dir=$2
command -v clang-format >/dev/null || { echo "no clang-format here"; exit 77; }
cd "$source_dir"
if [ -e .git ]; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t files < <(find app bench effects music platform render tests tools -name '*.cpp' -o -name '*.h')
fi
[ "${#files[@]}" -gt 0 ] || { echo "no C++ files found under $source_dir"; exit 1; }
clang-format --dry-run --Werror "${files[@]}" 2>&1 | head -40
exit "${PIPESTATUS[0]}"
