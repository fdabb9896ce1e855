#!/usr/bin/env bash
# Times quorvel-capture on the bundled show, all in one run so the figures share one machine
# state: the whole show at 640x480 and 30 fps drawn only (--measure), exported as MP4, and
# captured as PNG pictures; then 10 s at 1920x1080, exported and drawn only. Prints wall-clock seconds and the
# ratios to drawing alone. Not part of the test suite.
# Usage: bash bench/capture/export_bench.sh [BUILD-DIR] [SHOW-DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-$here/build/release}")
show=$(realpath "${2:-$here/demo}")
capture="$build/quorvel-capture"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$show"

now() { date +%s.%N; }
# Runs a capture, keeps its last lines of output, and prints its wall-clock seconds.
timed() {
  local name=$1; shift
  local start end
  start=$(now)
  "$capture" "$@" 2> "$out/$name.log" || { tail -3 "$out/$name.log" >&2; exit 1; }
  end=$(now)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }'
}

echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
render=$(timed measure --size 640x480 --fps 30 --measure)
grep -E "first frame|later frames" "$out/measure.log" | sed 's/^quorvel-capture: /  /'
mp4=$(timed mp4 --size 640x480 --fps 30 --video "$out/show.mp4")
png=$(timed png --size 640x480 --fps 30 --out "$out/frames")
hd=$(timed hd --size 1920x1080 --fps 30 --from 20 --to 30 --video "$out/show-1080.mp4")
hdRender=$(timed hdmeasure --size 1920x1080 --fps 30 --from 20 --to 30 --measure)

ratio() { awk -v a="$1" -v b="$render" 'BEGIN { printf "%.2fx", a / b }'; }
size() { du -sh "$1" | cut -f1; }
echo "whole show, 640x480, 30 fps (1801 frames):"
echo "  render only (--measure)   ${render} s"
echo "  MP4 (--video show.mp4)    ${mp4} s   $(ratio "$mp4") render only   $(size "$out/show.mp4")   goal 2x"
echo "  PNG (--out)               ${png} s   $(ratio "$png") render only   $(size "$out/frames")   goal 4x"
echo "10 s at 1920x1080, 30 fps (300 frames):"
echo "  render only               ${hdRender} s"
echo "  MP4                       ${hd} s   $(awk -v a="$hd" -v b="$hdRender" 'BEGIN { printf "%.2fx", a / b }') render only   $(awk -v a="$hd" 'BEGIN { printf "%.1f", 300 / a }') frames/s   $(size "$out/show-1080.mp4")"
echo "machine afterwards: load $(cut -d' ' -f1-3 /proc/loadavg)"
