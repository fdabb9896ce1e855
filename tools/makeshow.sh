#!/usr/bin/env bash
# Regenerates the bundled show's content in demo/data/ from the generators in tools/: the
# scenes (makescenes), the textures (maketextures) and the music (makemusic). The show script
# demo/data/vantro.jpg is written by hand and kept.
#
#   bash tools/makeshow.sh [build-folder]     (default: build/makeshow)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/makeshow}"
data="$root/demo/data"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF >/dev/null
cmake --build "$build" --target makescenes maketextures makemusic

mkdir -p "$data"
find "$data" -maxdepth 1 -type f ! -name vantro.jpg -delete

"$build/tools/makescenes/makescenes" "$data"
"$build/tools/maketextures/maketextures" "$data"
"$build/tools/makemusic/makemusic" "$data"

echo "makeshow: demo/data regenerated:"
ls -l "$data"
