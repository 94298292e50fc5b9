#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Lumenfold. Safe to run again.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix cmake ninja-build
  wine64 wine64-tools xvfb xauth libgl1-mesa-dri fonts-dejavu-core
  googletest osslsigncode openssl imagemagick libimage-exiftool-perl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
