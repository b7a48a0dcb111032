#!/usr/bin/env bash
# Builds the suite with AddressSanitizer and UndefinedBehaviorSanitizer (clang, with the fuzz
# targets), runs the unit and loopback tiers there, then runs each fuzz target for a while.
# Usage: scripts/sanitize-test.sh [build-folder] [fuzz-seconds-per-target]
#        (defaults: build-sanitize, 30)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-sanitize}"
fuzz_seconds="${2:-30}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVIK_SANITIZE=ON -DTARVIK_FUZZ=ON -DTARVIK_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"

# Leaks are reported too; any report fails the test that meets it.
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$build" && ctest --output-on-failure -j "$(nproc)" --timeout 600 -L "unit|loopback")

if [ -x "$root/scripts/fuzz.sh" ]; then
  "$root/scripts/fuzz.sh" "$build" "$fuzz_seconds"
fi
