#!/usr/bin/env bash
# Installs what building and testing tarnftp needs on Debian, and nothing when all of it
# is there already. Run as root.
set -euo pipefail

packages=(cmake g++ make python3 googletest libgtest-dev g++-mingw-w64-x86-64-posix
          wine64 xvfb openssl iproute2 util-linux clang-format clang-14 libclang-rt-14-dev
          git osslsigncode unzip libcurl4-openssl-dev)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
