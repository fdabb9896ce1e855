#!/usr/bin/env bash
# Sets up everything and runs the whole test suite twice: a Release build, and a build with
# AddressSanitizer and UndefinedBehaviorSanitizer. Usage: bash tools/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

bash tools/install-deps.sh

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_odr_violation=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
# The tests' shader cache and remembered programs go to the build folder, not the user's own cache
# (every show folder a test makes would leave its program list there).
export XDG_CACHE_HOME="$root/build/test-cache"
# No device keeps program lists between test programs: each test starts as the first run of a
# show would. (With lists, every GL test also built up to 32 programs left by earlier tests, and
# LeakSanitizer's exit check crashed in those processes.)
export QUORVEL_NO_PROGRAM_LISTS=1
# No test needs a sound card: tests that listen to the output choose SDL's disk driver themselves.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

# A compiler cache, where the machine has one, makes repeated runs much faster.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

status=0
run_suite() {
  local name=$1; shift
  echo "== $name: configure and build"
  # Each step returns on failure by itself: errexit does not apply inside a function whose
  # status is tested by the caller.
  cmake -S . -B "build/$name" -G Ninja "${launcher[@]}" "$@" > "build/$name.configure.log" 2>&1 \
    || { cat "build/$name.configure.log"; return 1; }
  cmake --build "build/$name" -j"$jobs" || return 1
  echo "== $name: tests"
  ctest --test-dir "build/$name" --output-on-failure -j"$jobs" --timeout 600 || return 1
}

mkdir -p build
run_suite release -DCMAKE_BUILD_TYPE=Release || status=1
run_suite sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DQUORVEL_SANITIZE=ON \
  -DQUORVEL_BENCH=OFF || status=1
exit $status
