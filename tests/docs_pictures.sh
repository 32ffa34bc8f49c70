#!/usr/bin/env bash
# The pictures of the README and docs/how-it-works.md are what the show draws now, byte for byte.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash "$2/tools/docs/make_pictures.sh" "$1" "$work" || { echo "make_pictures.sh failed"; exit 1; }
made=$(cd "$work" && find . -type f | sort)
[ -n "$made" ] || { echo "make_pictures.sh wrote nothing"; exit 1; }
status=0
for f in $made; do
    cmp -s "$work/$f" "$2/docs/$f" || { echo "docs/${f#./} is not what tools/docs/make_pictures.sh makes now"; status=1; }
done
exit $status
