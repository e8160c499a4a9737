#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the
# workbench needs. Idempotent: prints nothing when everything is present.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libegl-mesa0
  libjpeg62-turbo-dev libpng-dev
  qt6-base-dev libqt6opengl6-dev qt6-qpa-plugins
  xvfb xauth
  # checks of the installed desktop entry and file types
  desktop-file-utils libxml2-utils
  # fuzzing (scripts/fuzz.sh): clang and its libFuzzer runtime
  # (libclang_rt.fuzzer-x86_64.a ships in libclang-rt-14-dev on Debian 12)
  clang libclang-rt-14-dev
  # the EPS export's pictures drawn back by the tests
  ghostscript
  # the Python module orvexbox and its tests
  pybind11-dev python3-dev python3-numpy python3-pytest
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
