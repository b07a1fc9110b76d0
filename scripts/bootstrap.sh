#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian/Ubuntu.
# Idempotent: when everything is present it says so and does nothing.
# A mirror that is syncing must not stop a first run: a failed index is named and the
# install goes on, which then decides; a failed install names its packages and apt's reason.
set -uo pipefail

say() { echo "bootstrap: $*"; }

# Whether this kernel runs 32-bit x86 programs: a 96-byte i386 program that exits with 42.
# Some kernels are built without that support, and there Wine's 32-bit loader never runs.
runs_32bit() {
    local probe rc
    probe="$(mktemp "${TMPDIR:-/tmp}/pipwarden-i386.XXXXXX")" || return 1
    # ELF header, one loadable segment at 0x08048000, then: mov eax,1; mov ebx,42; int 0x80
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00'\
'\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    rc=$?
    rm -f "$probe"
    [ "$rc" -eq 42 ]
}

packages=(cmake g++ make googletest g++-mingw-w64-i686 wine wine64
          xvfb xauth x11-utils imagemagick espeak-ng sox fonts-wqy-microhei fonts-wine
          libcpp-httplib-dev pkg-config xdotool nsis python3)
# Machines that run no 32-bit code test a 64-bit build (scripts/lib/wine.sh).
packages+=(g++-mingw-w64-x86-64 file)
# The local mail server of the end-to-end tests (tools/smtpd/smtpd.py).
packages+=(python3-aiosmtpd python3-cryptography openssl)
# The fuzz targets (scripts/fuzz.sh): clang with its libFuzzer and sanitizer runtimes.
packages+=(clang libclang-rt-dev)

i386=0
if runs_32bit; then
    i386=1
    packages+=(wine32:i386)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    say "all packages present"
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

say "installing ${missing[*]}"
# Only where 32-bit programs run; an architecture added earlier stays as it is.
if [ "$i386" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386 || say "could not add the i386 architecture"
fi

log="$(mktemp "${TMPDIR:-/tmp}/pipwarden-apt.XXXXXX")"
trap 'rm -f "$log"' EXIT
updated=0
for try in 1 2 3; do
    if $SUDO apt-get update -q >"$log" 2>&1 && ! grep -qE '^(W|E): Failed to fetch' "$log"; then
        updated=1
        break
    fi
    [ "$try" -lt 3 ] && sleep $((try * 5))
done
if [ "$updated" -eq 0 ]; then
    failed_indexes="$(grep -oE '^(W|E): Failed to fetch [^ ]+' "$log" | sed 's/.*Failed to fetch //' | tr '\n' ' ')"
    say "package index update incomplete after 3 tries: ${failed_indexes:-$(grep -E '^(E|W):' "$log" | tail -1)}; installing anyway"
fi

if ! $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" >"$log" 2>&1; then
    reason="$(grep -E '^E:' "$log" | tr '\n' ' ')"
    say "installing failed for ${missing[*]}: ${reason:-$(tail -1 "$log")}"
    exit 1
fi
say "done"
