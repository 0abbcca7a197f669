#!/usr/bin/env bash
# Installs, as root on Debian 12, the packages that building and testing Tavrolo need.
# Installs nothing when everything is already there.
set -euo pipefail
packages=(build-essential cmake ninja-build ccache pkg-config
          qtbase5-dev qtbase5-dev-tools libqt5svg5-dev qttools5-dev-tools libpng-dev zlib1g-dev
          libgl-dev xvfb xauth clang-14 libclang-rt-14-dev clang-format
          fonts-dejavu-core desktop-file-utils shared-mime-info xdg-utils
          libxml2-utils libfile-mimeinfo-perl)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
