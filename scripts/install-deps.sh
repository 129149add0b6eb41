#!/usr/bin/env bash
# Installs the Debian packages that the game, its tools and its tests need; does nothing when all are there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libglfw3-dev libglew-dev libbullet-dev libassimp-dev libstb-dev libglm-dev libinih-dev
  libpng-dev zlib1g-dev fonts-dejavu-core
  libopenal-dev libsndfile1-dev libasound2-dev
  libgtest-dev googletest
  xvfb xauth xdotool imagemagick libgl1-mesa-dri mesa-utils
  dpkg-dev file sox
  clang libclang-rt-14-dev
  help2man lintian appstream desktop-file-utils man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
