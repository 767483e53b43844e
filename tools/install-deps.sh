#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and benchmarks with. Idempotent.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libenet-dev
  libmd-dev libfreetype-dev fonts-dejavu-core
  xvfb xauth libgl1-mesa-dri mesa-utils
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 netpbm sox espeak-ng
  zlib1g-dev libbullet-dev libmimalloc-dev libboost-graph-dev re2c clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
