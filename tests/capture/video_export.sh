#!/usr/bin/env bash
# End-to-end checks of quorvel-capture --video on a few seconds of the bundled show, with ffmpeg
# and ffprobe as the judges.
# Usage: video_export.sh BUILD-DIR SHOW-DIR formats|repeatable|failures
set -euo pipefail
build=$(realpath "$1"); show=$(realpath "$2"); what=$3
capture="$build/quorvel-capture"
compare="$build/tests/show/frame_compare"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$show"

fail() { echo "FAIL: $*"; exit 1; }

frames_in() {
  ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames -of default=nw=1:nk=1 "$1"
}
rate_of() { ffprobe -v error -select_streams v:0 -show_entries stream=r_frame_rate -of default=nw=1:nk=1 "$1"; }
codecs_of() { ffprobe -v error -show_entries stream=codec_name -of csv=p=0 "$1" | paste -sd,; }
# Seconds of decoded sound, from the samples themselves (container durations round).
audio_seconds() {
  ffmpeg -v error -i "$1" -map 0:a:0 -f s16le -ac 2 -ar 44100 - | wc -c | awk '{ printf "%.6f", $1 / 4 / 44100 }'

}
# Decodes picture N (counted from 0) of a video as a PNG.
decode_frame() { ffmpeg -v error -y -i "$1" -vf "select=eq(n\,$2)" -vsync 0 -frames:v 1 "$3"; }
psnr() {
  ffmpeg -hide_banner -i "$1" -i "$2" \
    -lavfi "[0:v]format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr" -f null - 2>&1 |
    grep -o 'average:[0-9.inf]*' | cut -d: -f2
}
at_least() { [ "$1" = inf ] || awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 >= b + 0) }'; }
# Seconds of `frames` pictures at a rate written as a number or a fraction.
seconds_of() { awk -v n="$1" -v r="$2" 'BEGIN { split(r, f, "/"); if (f[2] == "") f[2] = 1; printf "%.6f", n * f[2] / f[1] }'; }

# One export: file, fps, expected frames, expected video codec, expected audio codec.
check_export() {
  local file=$1 fps=$2 frames=$3 codecs=$4
  "$capture" --from 10 --to 12 --fps "$fps" --size 320x240 --video "$file" 2> "$out/log" ||
    { cat "$out/log"; fail "export to $file failed"; }
  [ "$(codecs_of "$file")" = "$codecs" ] || fail "$file holds $(codecs_of "$file"), not $codecs"
  [ "$(frames_in "$file")" = "$frames" ] || fail "$file has $(frames_in "$file") frames, not $frames"
  [ "$(rate_of "$file")" = "$fps" ] || [ "$(rate_of "$file")/1" = "$fps" ] ||
    [ "$(rate_of "$file")" = "$fps/1" ] || fail "$file runs at $(rate_of "$file"), not $fps"
  local video audio
  video=$(seconds_of "$frames" "$fps")
  audio=$(audio_seconds "$file")
  # Within one frame of the pictures (in fact the same stretch, up to the codec's block size).
  awk -v a="$audio" -v v="$video" -v f="$(seconds_of 1 "$fps")" 'BEGIN { d = a - v; exit !(d <= f && -d <= f) }' ||
    fail "$file: $audio s of sound against $video s of pictures"
  echo "$file: $frames frames at $fps, $audio s of sound, $codecs"
}

case $what in
formats)
  # The same window as pictures: frame-000100.png ... frame-000120.png (both ends included).
  "$capture" --from 10 --to 12 --fps 10 --size 320x240 --out "$out/png" 2> /dev/null
  check_export "$out/show.mkv" 10 20 ffv1,flac
  check_export "$out/show.mp4" 10 20 h264,aac
  check_export "$out/show.webm" 10 20 vp9,opus
  check_export "$out/show.mov" 60000/1001 120 prores,pcm_s16le
  decode_frame "$out/show.mkv" 7 "$out/mkv7.png"
  "$compare" "$out/mkv7.png" "$out/png/frame-000107.png" --tolerance 0 --max-share 0 ||
    fail "FFV1 picture differs from the PNG capture"
  for n in 0 7 19; do
    decode_frame "$out/show.mp4" $n "$out/mp4.png"
    value=$(psnr "$out/mp4.png" "$out/png/frame-$(printf %06d $((100 + n))).png")
    echo "H.264 frame $n: PSNR $value dB"
    at_least "$value" 35 || fail "H.264 frame $n: PSNR $value dB, below 35"
  done
  decode_frame "$out/show.webm" 7 "$out/webm7.png"
  value=$(psnr "$out/webm7.png" "$out/png/frame-000107.png")
  echo "VP9 frame 7: PSNR $value dB"
  at_least "$value" 30 || fail "VP9 frame 7: PSNR $value dB"
  ;;
repeatable)
  for run in 1 2; do
    "$capture" --from 20 --to 21.5 --fps 12 --size 200x150 --video "$out/run$run.mkv" 2> /dev/null
    ffmpeg -v error -i "$out/run$run.mkv" -map 0:v -f framemd5 "$out/run$run.md5"
  done
  [ "$(grep -vc '^#' "$out/run1.md5")" -eq 18 ] || fail "expected 18 pictures"
  diff <(grep -v '^#' "$out/run1.md5") <(grep -v '^#' "$out/run2.md5") || fail "two exports differ"
  ;;
failures)
  # No ffmpeg on PATH: one clear line, a failure status, no file.
  status=0
  PATH=/nonexistent "$capture" --from 10 --to 11 --size 160x120 --video "$out/none.mp4" 2> "$out/log" || status=$?
  [ $status -ne 0 ] || fail "exit status 0 without ffmpeg"
  grep -q "ffmpeg was not found on PATH" "$out/log" || { cat "$out/log"; fail "no clear message without ffmpeg"; }
  # ffmpeg refuses the job: its own words end the message.
  status=0
  "$capture" --from 10 --to 11 --size 160x120 --video "$out/bad.mp4" --encoder-args "-c:v no-such-codec" \
    2> "$out/log" || status=$?
  [ $status -eq 1 ] || fail "exit status $status when ffmpeg fails"
  grep -q "ffmpeg could not make .*Unknown encoder" "$out/log" || { cat "$out/log"; fail "no reason given"; }
  # Ctrl+C halfway: status 130, nothing left behind.
  "$capture" --size 160x120 --video "$out/stopped.mp4" 2> "$out/log" &
  pid=$!
  # Once the encoder runs (its file exists beside the video's), a moment of frames, then Ctrl+C.
  for _ in $(seq 150); do ls -A "$out" | grep -q '^\.stopped\.mp4\..*\.partial$' && break; sleep 0.2; done
  ls -A "$out" | grep -q '^\.stopped\.mp4\..*\.partial$' || fail "no temporary file beside the video"
  sleep 1
  kill -INT $pid
  status=0
  wait $pid || status=$?
  [ $status -eq 130 ] || { cat "$out/log"; fail "exit status $status after Ctrl+C"; }
  grep -q "interrupted; .*stopped.mp4 was not written" "$out/log" || { cat "$out/log"; fail "no word of the stop"; }
  leftovers=$(ls -A "$out" | grep -v '^log$' || true)
  [ -z "$leftovers" ] || fail "left behind: $leftovers"
  ;;
*)
  fail "unknown check $what"
  ;;
esac
echo "video export $what: ok"
