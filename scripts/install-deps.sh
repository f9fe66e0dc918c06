#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing melodrop need,
# only those that are missing. As root it runs apt-get; otherwise it prints the command.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config make
    qt6-base-dev qt6-base-dev-tools libqt6network6 libqt6widgets6 libqt6test6
    libmpg123-dev libsdl2-dev libssl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    python3 lame mpg123 xvfb xauth xdotool trayer imagemagick
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64
    dbus-daemon dbus-bin desktop-file-utils appstream playerctl libicu-dev
    clang libclang-rt-14-dev clang-format
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

cmd="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "melodrop needs these packages: ${missing[*]}"
    echo "Run as root:  apt-get update && $cmd"
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
$cmd
