#!/usr/bin/env bash
# Installs what Quillet needs to build, run and test on Debian 12, skipping
# what is already installed. Works as root or through sudo.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config ccache clang-format
  qt6-base-dev qt6-svg-dev libgl-dev libjpeg-dev liblz4-dev
  libcsv-dev libqt6sql6-sqlite libqt6sql6-psql
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  fonts-liberation fonts-dejavu-core fonts-droid-fallback
  xvfb xauth poppler-utils
  cups cups-client cups-ipp-utils printer-driver-cups-pdf libcups2-dev
  shared-mime-info libglib2.0-bin xdg-utils bash-completion help2man
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
