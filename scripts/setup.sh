#!/bin/bash
# Installs every Debian package the project needs, only when something is missing.
set -eu
packages=(
    cmake ninja-build g++ libgtest-dev googletest python3
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth fonts-liberation
    wixl msitools
    imagemagick icoutils libxml2-utils w3c-sgml-lib
    chromium
    locales
    osslsigncode openssl
    qemu-user-static mmdebstrap arch-test
)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: every package is installed"
else
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
fi

# Wine maps file names through the Unix locale: a Japanese (code page 932) process sees
# non-ASCII names only when ja_JP.UTF-8 is generated.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    echo "setup: generating the locale ja_JP.UTF-8"
    sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi

# The 32-bit test bed: Debian's wine32 in a private i386 root under qemu-i386.
"$(dirname "$0")/setup-wine32.sh"
