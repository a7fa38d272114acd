#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Kinovka needs.
# A no-op when they are all present.
set -euo pipefail
packages=(cmake g++ make pkg-config libicu-dev libgtest-dev qt6-base-dev libqt6printsupport6
          libgl-dev qt6-translations-l10n python3 xvfb xdotool x11-xserver-utils libpugixml-dev fonts-dejavu-core
          poppler-utils clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
