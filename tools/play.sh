#!/usr/bin/env bash
# Sets up everything, builds quorvel and plays the bundled show. Usage: bash tools/play.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash tools/install-deps.sh
# Only the program and the plug-ins the bundled show loads: no tests or benchmarks, so a first
# build is quick.
cmake -S . -B build/play -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF > /dev/null
cmake --build build/play -j"$(nproc)" --target quorvel meshdrome flatpicture flatfade flattext

cd demo
exec "$root/build/play/quorvel"
