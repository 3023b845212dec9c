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

# Wine maps file names through the Unix locale: a process sees non-ASCII names only in a
# generated UTF-8 locale; ja_JP.UTF-8 gives code page 932, en_US.UTF-8 gives 1252.
generate=()
for name in ja_JP en_US; do
    locale -a 2>/dev/null | grep -qix "$name.utf8" || generate+=("$name")
done
if [ ${#generate[@]} -gt 0 ]; then
    for name in "${generate[@]}"; do
        echo "setup: generating the locale $name.UTF-8"
        sed -i "s/^# *\($name.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -qx "$name.UTF-8 UTF-8" /etc/locale.gen || echo "$name.UTF-8 UTF-8" >> /etc/locale.gen
    done
    locale-gen >/dev/null
fi

# The 32-bit test bed: Debian's wine32 in a private i386 root under qemu-i386.
"$(dirname "$0")/setup-wine32.sh"
