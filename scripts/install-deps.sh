#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the example menu need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtk-3-dev libwebkit2gtk-4.1-dev libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-libav gstreamer1.0-pulseaudio gstreamer1.0-tools
  libjpeg62-turbo-dev libcairo2-dev libgtest-dev libgmock-dev
  timgm6mb-soundfont
  xvfb xauth openbox xdotool wmctrl x11-utils x11-xserver-utils imagemagick
  xserver-xorg-core xserver-xorg-video-dummy
  pulseaudio pulseaudio-utils sox libsox-fmt-all ffmpeg
  python3-pytest python3-pyatspi python3-gi python3-xlib gir1.2-gdkpixbuf-2.0 at-spi2-core dbus dbus-x11
  shared-mime-info desktop-file-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
