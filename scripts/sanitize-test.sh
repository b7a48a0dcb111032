#!/usr/bin/env bash
# Builds the suite with AddressSanitizer and UndefinedBehaviorSanitizer (clang) and runs the unit
# and loopback tiers there, then every fuzz target for FUZZ_SECONDS (default 30) on its seeds.
# Usage: scripts/sanitize-test.sh [build-folder]      (default: build-sanitize)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-sanitize}"

# Line tables are all a sanitizer's stack trace needs, and quicker to build than full debug data.
optimised="-O2 -gline-tables-only -DNDEBUG"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$optimised" -DCMAKE_C_FLAGS_RELWITHDEBINFO="$optimised" \
  -DTARVIK_SANITIZE=ON -DTARVIK_FUZZ=ON -DTARVIK_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"

# Leaks are reported too; any report fails the test that meets it.
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$build" && ctest --output-on-failure -j "$(nproc)" --timeout 600 -L "unit|loopback")

# The fuzz targets, built in the same tree, each for a while on a copy of its seed corpus.
"$root/scripts/fuzz.sh" "$build" "${FUZZ_SECONDS:-30}"
