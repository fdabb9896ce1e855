#!/usr/bin/env bash
# Plays the bundled show headless with quorvel-capture and compares chosen frames with the
# committed reference pictures, so any change to what the show looks like is caught.
# Usage: capture_show.sh BUILD-DIR SHOW-DIR REFERENCE-DIR [--update]
set -euo pipefail
build=$(realpath "$1"); show=$(realpath "$2"); references=$(realpath "$3")
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The whole show at 2 frames a second, 320x240: the pose of every frame depends only on its time.
(cd "$show" && "$build/quorvel-capture" --fps 2 --size 320x240 --out "$out/frames" --wav "$out/music.wav")

[ -s "$out/music.wav" ] || { echo "no music was captured"; exit 1; }
frames=$(ls "$out/frames" | wc -l)
[ "$frames" -eq 121 ] || { echo "expected 121 frames (0 to 60 s), got $frames"; exit 1; }

status=0
# 2 s: the title card; 16 s: the fade between the first two acts; 54 s: the end credits.
for second in 2 5 14 16 20 30 45 54; do
  name=$(printf 'frame-%06d.png' $((second * 2)))
  if [ "${4:-}" = "--update" ]; then
    cp "$out/frames/$name" "$references/show-${second}s.png"
    continue
  fi
  "$build/tests/show/frame_compare" "$out/frames/$name" "$references/show-${second}s.png" || status=1
done
exit $status
