#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the
# virtual display need and is not there yet; generates the Japanese locale.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-dev googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xauth xdotool x11-utils
  python3 python3-fonttools unzip locales fonts-ipafont-gothic fonts-ipafont-mincho fonts-liberation
  fonts-noto-cjk fonts-wine imagemagick)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
