#!/usr/bin/env bash
# Builds the control for Windows with MinGW-w64: <build>/bin/tarvikftp.ocx, tarvik.exe and
# tarvinst.exe. Installs the Debian packages the cross build and Wine need when one is missing
# (the architecture's g++-mingw-w64-*-posix, mingw-w64-tools, wine, wine64, and googletest, whose
# sources the Windows tests are built from).
#
#   scripts/build-windows.sh [build-folder]                    64-bit (default folder: build-win)
#   WINDOWS_ARCH=i686 scripts/build-windows.sh [build-folder]  32-bit (default: build-win32)
#
# JOBS sets the build's parallelism (default: the number of processors). Test discovery runs the
# Windows test programs under Wine, in the prefix WINEPREFIX names (default: <build>/wine-prefix).
# A 32-bit build runs its programs with Wine's 32-bit loader (Debian's wine32, for the i386
# architecture). Without it, the type library generator it would run at build time is the build
# machine's own, built in the native build folder (TARVIK_NATIVE_BUILD, default build/).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
arch="${WINDOWS_ARCH:-x86_64}"
case "$arch" in
  x86_64) default_build="$root/build-win" compiler=g++-mingw-w64-x86-64-posix ;;
  i686) default_build="$root/build-win32" compiler=g++-mingw-w64-i686-posix ;;
  *)
    echo "WINDOWS_ARCH is x86_64 or i686, not $arch" >&2
    exit 2
    ;;
esac
build="${1:-$default_build}"
jobs="${JOBS:-$(nproc)}"
packages=(cmake "$compiler" mingw-w64-tools wine wine64 googletest)

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

generator=()
if [ "$arch" = i686 ] && [ ! -x /usr/lib/wine/wine ]; then
  native="${TARVIK_NATIVE_BUILD:-$root/build}"
  [ -f "$native/CMakeCache.txt" ] ||
    cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
  cmake --build "$native" --target type_library_generator -j "$jobs" >/dev/null
  native="$(cd "$native" && pwd)"
  generator=(-DTARVIK_TYPE_LIBRARY_GENERATOR="$native/control/automation/type_library_generator")
fi

mkdir -p "$build"
export WINEPREFIX="${WINEPREFIX:-$(cd "$build" && pwd)/wine-prefix}" WINEDEBUG="${WINEDEBUG:--all}"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "${generator[@]}" >/dev/null
cmake --build "$build" --target tarvikftp tarvik tarvinst -j "$jobs"
echo "Built $build/bin/tarvikftp.ocx, $build/bin/tarvik.exe and $build/bin/tarvinst.exe ($arch)"
