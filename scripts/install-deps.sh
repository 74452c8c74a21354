#!/usr/bin/env bash
# Installs the Debian packages Tolvarin needs to build, run and test,
# skipping those already present. Run as root on Debian 12.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs libpng-dev
  libgtest-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho qt6-translations-l10n xdg-utils
  clang libclang-rt-14-dev llvm
  xvfb xdotool imagemagick
  dpkg-dev fakeroot file appstream desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
