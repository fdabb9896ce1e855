#!/usr/bin/env bash
# Installs every Debian package quorvel needs to build, test and play, and only what is missing.
# This is the one place in the project that knows package names. Safe to run again.
set -euo pipefail

packages=(
  # toolchain and test frameworks
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev            # libFuzzer and sanitizer runtimes for the fuzz targets
  # window, input, GL context, audio output, message boxes
  libsdl2-dev
  # OpenGL function loading, and Mesa's software rasteriser for headless runs
  libepoxy-dev libgl1-mesa-dri libegl-mesa0 libegl1
  # image decoding and scaling
  libstb-dev
  # music decoding
  libsndfile1-dev
  # font lookup and glyph rasterising
  libfontconfig-dev libfreetype-dev fonts-liberation2
  # setup dialog
  libgtk-3-dev
  # the Debian package of quorvel (cpack): library dependencies of the binaries
  dpkg-dev
  # video export: quorvel-capture --video pipes frames to the ffmpeg program
  ffmpeg
  # headless display for end-to-end runs
  xvfb xauth xdotool
  openbox                             # a window manager, so fullscreen switches behave as on a desktop
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
