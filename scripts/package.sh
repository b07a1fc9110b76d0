#!/usr/bin/env bash
# Makes what a Windows user downloads: a per-user installer and a portable zip, both laid
# out as an installation (the launcher at the top, the main program and its voice clips in
# "file", a licence and a read-me).
#
#   scripts/package.sh [-- CMAKE_OPTIONS...]
#       installs what is missing, builds the programs in a Release build of its own
#       ($PIPWARDEN_BUILD_DIR or build/, folder "release") and writes both files to dist/;
#       options after "--" reach that build, e.g. -DPIPWARDEN_SERVICE=host:port
#   scripts/package.sh --from BUILD_DIR [--out DIR]
#       packages the programs of an existing Windows build (the test run does this)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PIPWARDEN_BUILD_DIR:-$ROOT/build}"
JOBS="${PIPWARDEN_JOBS:-$(nproc 2>/dev/null || echo 2)}"

from=""
out="$ROOT/dist"
cmake_options=()
while [ $# -gt 0 ]; do
    case "$1" in
    --from) from="${2:?--from BUILD_DIR}"; shift 2 ;;
    --out) out="${2:?--out DIR}"; shift 2 ;;
    --) shift; cmake_options=("$@"); break ;;
    *) echo "package.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done

fail() {
    echo "package.sh: $*" >&2
    exit 1
}

if [ -z "$from" ]; then
    "$ROOT/scripts/bootstrap.sh"
    from="$BUILD/release"
    mkdir -p "$from"
    echo "== build (i686 Windows, Release) in $from"
    cmake -S "$ROOT" -B "$from" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DPIPWARDEN_NEWS=OFF \
        -DPIPWARDEN_EDITION_LANGUAGE=-1 \
        "${cmake_options[@]}" >"$from/package-configure.log" 2>&1 ||
        { cat "$from/package-configure.log"; fail "configure failed"; }
    cmake --build "$from" -j"$JOBS" --target launcher pipwarden voice_clips \
        >"$from/package-build.log" 2>&1 ||
        { tail -50 "$from/package-build.log"; fail "build failed"; }
fi
from="$(cd "$from" && pwd)"
bin="$from/bin"

# The one version number is the CMake project's; a build configured before it changed
# would ship another.
project_version="$(sed -n 's/^project(PipWarden VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")"
version="$(sed -n 's/^#define PW_VERSION_TEXT "\(.*\)"$/\1/p' "$from/generated/version.h" 2>/dev/null)"
[ -n "$project_version" ] || fail "no version in CMakeLists.txt"
[ "$version" = "$project_version" ] ||
    fail "the build in $from has version '$version', the project $project_version: configure it again"
# The version resources and the installer's own take four numbers.
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "version $version is not four numbers"

work="$from/package"
stage="$work/Pip Warden"
rm -rf "$work"
mkdir -p "$stage/file/data"
cp "$bin/Pip Warden.exe" "$stage/" || fail "the launcher is not built"
cp "$bin/Pipwarden.exe" "$stage/file/" || fail "the main program is not built"
# A test build for a machine that runs no 32-bit code is x86-64 (scripts/lib/wine.sh); its
# installer must be one too.
nsis_target=()
strip=i686-w64-mingw32-strip
if file -b "$bin/Pipwarden.exe" | grep -q 'x86-64'; then
    nsis_target=(-DAMD64)
    strip=x86_64-w64-mingw32-strip
fi
"$strip" "$stage/Pip Warden.exe" "$stage/file/Pipwarden.exe"
for language in enf cnf; do
    mkdir -p "$stage/file/data/$language"
    compgen -G "$bin/data/$language/*.MTQ" >/dev/null || fail "no voice clips in $bin/data/$language"
    cp "$bin/data/$language/"*.MTQ "$stage/file/data/$language/"
done
# For Notepad on any Windows: a byte-order mark and CR LF line ends.
for text in License.txt ReadMe.txt; do
    { printf '\xef\xbb\xbf'; sed 's/$/\r/' "$ROOT/installer/$text"; } >"$stage/$text"
done

mkdir -p "$out"
out="$(cd "$out" && pwd)"
installer="$out/PipWarden-$version-setup.exe"
zip="$out/PipWarden-$version-portable.zip"
rm -f "$installer" "$zip"

# A voice clip has a Chinese name: both tools must read the file names as UTF-8.
LC_ALL=C.UTF-8 makensis -V2 -WX -INPUTCHARSET UTF8 "${nsis_target[@]}" -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$installer" \
    "$ROOT/installer/pipwarden.nsi" >"$work/makensis.log" 2>&1 ||
    { cat "$work/makensis.log"; fail "makensis failed"; }
# Python's zipfile marks such names as UTF-8, which Windows honours; Info-ZIP's zip does not.
LC_ALL=C.UTF-8 python3 - "$work" "Pip Warden" "$zip" <<'PY' || fail "the zip could not be written"
import os, sys, zipfile
work, top, target = sys.argv[1:]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for folder, subfolders, files in os.walk(os.path.join(work, top)):
        subfolders.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            archive.write(path, os.path.relpath(path, work))
PY

for file in "$installer" "$zip"; do
    echo "$(basename "$file")  $(du -k "$file" | cut -f1) KB"
done
echo "package.sh: version $version, written to $out"
