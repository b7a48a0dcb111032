#!/usr/bin/env bash
# Runs every fuzz target to at least FUZZ_RUNS executions (default 10 million) and prints each
# target's executions, seconds and findings. The targets are built in their own folder with clang,
# libFuzzer and UndefinedBehaviorSanitizer, optimised and without AddressSanitizer, so that the
# runs take minutes rather than hours, one target a core; the test run (scripts/sanitize-test.sh)
# fuzzes each target under AddressSanitizer as well, for a shorter time.
# Usage: bench/fuzz_bench.sh [build-folder]      (default: build-fuzz-bench)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-fuzz-bench}"
export FUZZ_RUNS="${FUZZ_RUNS:-10000000}"

ubsan="-fsanitize=undefined -fno-sanitize-recover=all"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DTARVIK_FUZZ=ON -DTARVIK_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="$ubsan" -DCMAKE_CXX_FLAGS="$ubsan" \
  -DCMAKE_EXE_LINKER_FLAGS="$ubsan" -DCMAKE_SHARED_LINKER_FLAGS="$ubsan" >/dev/null
targets=(fuzz_listing fuzz_reply fuzz_http_response fuzz_scrambled fuzz_path)
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >/dev/null

echo "fuzzing each target to $FUZZ_RUNS executions ($(nproc) cores, $(date -u +%F))"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
"$root/scripts/fuzz.sh" "$build" 0
