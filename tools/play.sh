#!/usr/bin/env bash
# Sets up everything, builds quorvel and plays the bundled show. Usage: bash tools/play.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build/release -j"$(nproc)"

if [ ! -x build/release/quorvel ] || [ ! -f demo/data/vantro.jpg ]; then
  echo "quorvel: built what exists so far, but no show is bundled yet - there is nothing to play."
  exit 0
fi
cd demo
exec "$root/build/release/quorvel"
