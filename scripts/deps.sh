#!/usr/bin/env bash
# Installs the Debian packages the project needs, skipping those already present.
# Both ./run and ./test call this; it is the only list of dependencies.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  clang libclang-rt-14-dev
  qt6-base-dev
  librtmidi-dev
  libsndfile1-dev librubberband-dev libaubio-dev
  libgtest-dev libgmock-dev
  libbenchmark-dev
  fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
