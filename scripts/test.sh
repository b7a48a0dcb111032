#!/usr/bin/env bash
# Installs what the build and tests need, configures, builds and runs every test.
# Usage: scripts/test.sh [build-folder]      (default: build)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600

# The control on Windows (MinGW-w64), under Wine: the platform tests, then the script tier
# against real servers (both take their servers from the native build). Without a display the
# control's dialogs give their headless answers instead of waiting for a click.
unset DISPLAY
"$root/scripts/build-windows.sh" "$build-win"
TARVIK_NATIVE_BUILD="$build" "$root/scripts/wine-platform-test.sh" "$build-win"
TARVIK_NATIVE_BUILD="$build" "$root/scripts/wine-script-test.sh" "$build-win"
# The 32-bit control is built; its script tier needs Debian's wine32, which the archive cannot
# install beside this system's 64-bit libraries yet.
WINDOWS_ARCH=i686 TARVIK_NATIVE_BUILD="$build" "$root/scripts/build-windows.sh" "$build-win32"

# The Debian package, installed and used by a new user.
"$root/scripts/package-test.sh" "$build"

# The same tiers again under the sanitizers.
"$root/scripts/sanitize-test.sh" "$build-sanitize"
