#!/usr/bin/env bash
# Installs the Debian 12 packages Tavrin builds, runs and tests with.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libcups2-dev cups cups-daemon cups-client cups-bsd python3
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    fonts-dejavu-core xvfb xauth
    x11-utils at-spi2-core python3-dbus
    avahi-daemon dbus cups-ipp-utils file
    libpng-dev ghostscript hp2xx
    libsqlite3-dev sqlite3
    g++-mingw-w64-x86-64-posix wine wine64 dpkg-dev tcl unzip xdotool x11-apps netpbm
)
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${packages[@]}"
