#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what building, testing and running the demo need on Debian 12,
# and only what is missing. Extra package names may be given.
set -euo pipefail

packages=(
    cmake g++ make
    qtbase5-dev qttools5-dev qttools5-dev-tools
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-5compat-dev
    xvfb xauth fonts-noto-cjk locales python3
)
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
