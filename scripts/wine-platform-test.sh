#!/usr/bin/env bash
# The Windows implementations of platform/ under Wine: the platform tests that apply to Windows
# (tests/platform, built with MinGW-w64 by scripts/build-windows.sh) run through CTest, which
# starts each test program with Wine's loader. Ends with CTest's summary, the count of test cases
# GoogleTest ran, and CTest's exit status.
#
#   scripts/wine-platform-test.sh [build-folder]      (default: build-win)
#
# Wine runs in a prefix of its own under the build folder (WINEPREFIX overrides it).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-win}"
jobs="${JOBS:-$(nproc)}"
started=$SECONDS

[ -f "$build/CMakeCache.txt" ] || "$root/scripts/build-windows.sh" "$build"
build="$(cd "$build" && pwd)"
export WINEPREFIX="${WINEPREFIX:-$build/wine-prefix}" WINEDEBUG=-all
cleanup() { wineserver -k 2>/dev/null || true; }
trap cleanup EXIT
wineserver -p </dev/null >/dev/null 2>&1 || true  # one server for every test program
# Starting the prefix starts its background services; they keep the standard streams of the
# program that started them, so a first program with none of CTest's pipes starts them.
/usr/lib/wine/wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1 || true

targets=()
for folder in "$root"/tests/platform/*/windows; do
  service="$(basename "$(dirname "$folder")")"
  targets+=("test_platform_$service")
done
targets+=(test_platform_ui)
cmake --build "$build" --target "${targets[@]}" -j "$jobs"
status=0
ctest --test-dir "$build" -L unit -j "$jobs" --output-on-failure || status=$?
# Each test program is one CTest test; GoogleTest's own counts tell the cases.
log="$build/Testing/Temporary/LastTest.log"
passed=$(awk '/^\[  PASSED  \] [0-9]+ test/ {s += $4} END {print s + 0}' "$log")
failed=$(awk '/^\[  FAILED  \] [0-9]+ test/ {s += $4} END {print s + 0}' "$log")
echo "Wine platform tier: $passed test cases passed, $failed failed, in $((SECONDS - started)) s"
exit "$status"
