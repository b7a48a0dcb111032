#!/usr/bin/env bash
# Builds the control for 64-bit Windows with MinGW-w64: build-win/bin/tarvikftp.ocx and
# build-win/bin/tarvik.exe. Installs the Debian packages the cross build and Wine need when one is
# missing (g++-mingw-w64-x86-64-posix, mingw-w64-tools, wine, wine64, and googletest, whose
# sources the Windows tests are built from).
#
#   scripts/build-windows.sh [build-folder]      (default: build-win)
#
# JOBS sets the build's parallelism (default: the number of processors). Test discovery runs the
# Windows test programs under Wine, in the prefix WINEPREFIX names (default: <build>/wine-prefix).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-win}"
jobs="${JOBS:-$(nproc)}"
packages=(cmake g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 googletest)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "Installing ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
mkdir -p "$build"
export WINEPREFIX="${WINEPREFIX:-$(cd "$build" && pwd)/wine-prefix}" WINEDEBUG="${WINEDEBUG:--all}"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" --target tarvikftp tarvik -j "$jobs"
echo "Built $build/bin/tarvikftp.ocx and $build/bin/tarvik.exe"
