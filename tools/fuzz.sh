#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds.
# Usage: bash tools/fuzz.sh [seconds-per-target]   (default 60; the scene reader gets twice that)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
jobs=$(nproc)

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVEL_FUZZ=ON > build/fuzz.configure.log 2>&1 || { cat build/fuzz.configure.log; exit 1; }
cmake --build build/fuzz -j"$jobs"

export ASAN_OPTIONS="detect_leaks=1"
for target in build/fuzz/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  budget=$seconds
  [ "$name" = fuzz_scene ] && budget=$((seconds * 2))
  corpus="build/fuzz/corpus-$name"
  mkdir -p "$corpus"
  echo "== $name: fuzzing for ${budget}s"
  dict=tests/fuzz/${name#fuzz_}.dict
  dict_arg=()
  [ -f "$dict" ] && dict_arg=(-dict="$dict")
  "$target" "${dict_arg[@]}" -max_total_time="$budget" -max_len=65536 -rss_limit_mb=2048 -print_final_stats=1 \
    "$corpus" 2>&1 | tail -n 12
  # libFuzzer exits non-zero on a crash, leak or sanitizer report; pipefail carries it here.
done
echo "fuzz: all targets ran clean"
