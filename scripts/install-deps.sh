#!/usr/bin/env bash
# Installs every Debian package needed to build, run and test the colouring book.
# Safe to run again: apt only installs what is missing.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev clang-format
  # sanitizer runs and fuzz targets
  clang-14 libclang-rt-14-dev
  # the program
  libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libx11-dev libxtst-dev libcups2-dev libcairo2-dev libwayland-dev
  xdg-utils freepats
  # the art generator
  libgif-dev libjpeg62-turbo-dev libsndfile1-dev espeak-ng fonts-dejavu-core
  # end-to-end tests
  xvfb openbox xdotool imagemagick x11-utils sox cups cups-bsd
  cups-filters poppler-utils python3-minimal
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-xkb-utils
  # the Wayland session test
  sway xwayland grim xauth jq wtype libwayland-bin libxkbcommon-dev
  # the package check
  lintian appstream dpkg-dev file
  desktop-file-utils
)
# The GNOME Shell and kwin session tests, only when asked for (they are large): ZUVELA_DESKTOP_TESTS=1.
desktop_packages=(
  gnome-shell xdg-desktop-portal libgl1-mesa-dri python3-gi gir1.2-glib-2.0
  kwin-wayland
)
[ "${ZUVELA_DESKTOP_TESTS:-0}" = 1 ] && packages+=("${desktop_packages[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# Hundreds of packages on a new machine: dpkg's fsync after every file costs more than the downloads.
$SUDO apt-get install -y -qq --no-install-recommends -o Dpkg::Options::=--force-unsafe-io "${missing[@]}"
