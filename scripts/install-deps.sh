#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test the program;
# does nothing when they are all present.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev
    libx11-dev xvfb xauth x11-utils xdotool trayer openbox
    dbus-daemon dbus-session-bus-common at-spi2-core
    libbenchmark-dev
    poppler-utils qt6-translations-l10n
    pxlib-dev
    g++-mingw-w64-x86-64
    libsqlite3-dev
    libfreexl-dev libshp-dev mdbtools-dev
    libzip-dev libpugixml-dev libxml2-dev libxlsxwriter-dev
    postgresql libqt6sql6-psql
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
