#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian/Ubuntu.
# Idempotent: when everything is present it says so and does nothing.
set -euo pipefail

packages=(cmake g++ make googletest g++-mingw-w64-i686 wine wine32:i386 wine64
          xvfb xauth x11-utils imagemagick espeak-ng sox fonts-wqy-microhei fonts-wine
          libcpp-httplib-dev pkg-config xdotool nsis python3)
# Machines that run no 32-bit code test a 64-bit build (scripts/lib/wine.sh).
packages+=(g++-mingw-w64-x86-64 file)
# The local mail server of the end-to-end tests (tools/smtpd/smtpd.py).
packages+=(python3-aiosmtpd python3-cryptography)
# The fuzz targets (scripts/fuzz.sh): clang with its libFuzzer and sanitizer runtimes.
packages+=(clang libclang-rt-dev)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "bootstrap: all packages present"
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

echo "bootstrap: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "bootstrap: done"
