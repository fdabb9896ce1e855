#!/usr/bin/env bash
# Installs the plug-in kit to a folder of the build tree, builds examples/plugin-starter against
# it as an author would (outside the source tree), and plays a short show with the result.
# Usage: starter_from_kit.sh BUILD-DIR SOURCE-DIR WORK-DIR COLOUR-COUNT [CXX-COMPILER-LAUNCHER]
set -euo pipefail
build=$(realpath "$1"); source=$(realpath "$2"); work="$3"; count="$4"; launcher="${5:-}"
rm -rf "$work"; mkdir -p "$work"; work=$(realpath "$work")
prefix="$work/kit"

cmake --install "$build" --component plugin-kit --prefix "$prefix" >/dev/null

# Every installed header compiles on its own, so no declaration needs a file the kit lacks.
for header in $(cd "$prefix/include/quorvel" && find . -name '*.h'); do
  c++ -std=c++20 -fsyntax-only -I "$prefix/include/quorvel" -x c++ "$prefix/include/quorvel/$header" \
    || { echo "installed header $header does not compile alone"; exit 1; }
done

cmake -S "$source/examples/plugin-starter" -B "$work/starter" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" ${launcher:+-DCMAKE_CXX_COMPILER_LAUNCHER="$launcher"} >/dev/null
cmake --build "$work/starter" >/dev/null
exports=$(nm -D --defined-only --format=posix "$work/starter/spinner.so" | cut -d' ' -f1)
[ "$exports" = "GetClassDesc" ] || { echo "spinner.so exports: $exports"; exit 1; }

# A show that loads the plug-in by a Windows-style name with a folder (so the author trusts it, as
# a library named with a path), and a green triangle.
mkdir -p "$work/show/data"
cat > "$work/show/data/vantro.jpg" <<SHOW
@data.
@loadlibrary $work/starter/spinner.dll
@bgcolor 4278190080
@endtime 2
@nostats
@code.
0 0 create spinner { colour 4278255360 }
1 0 anim { size 300 speed 90 }
2 0 delete
@eof
SHOW
(cd "$work/show" && "$build/quorvel-capture" --trust-show --fps 2 --size 320x240 --out "$work/frames" >/dev/null)

# Size 300 of 480 on a 240-pixel viewport: a triangle of circumradius 100, about 12990 pixels.
green=$("$count" "$work/frames/frame-000000.png" 0 255 0 8)
echo "green pixels: $green"
[ "$green" -gt 11500 ] && [ "$green" -lt 14500 ] || { echo "triangle not drawn as expected"; exit 1; }
# It turns: a quarter turn later the picture differs.
if cmp -s "$work/frames/frame-000000.png" "$work/frames/frame-000002.png"; then
  echo "the triangle did not turn"; exit 1
fi
echo "starter plug-in built from the kit and played"
