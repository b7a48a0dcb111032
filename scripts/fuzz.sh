#!/usr/bin/env bash
# Runs every fuzz target of a build (configured with -DTARVIK_FUZZ=ON) for the given seconds, each
# on a temporary copy of its seed corpus (tests/fuzz/corpus/<target>), with memory limits; with
# FUZZ_RUNS set, each runs that many executions instead (the seconds are then ignored). FUZZ_TARGETS
# names the targets to run (blank-separated, e.g. "listing reply"); all by default.
# Prints each target's executions, seconds and findings. Exits non-zero on any finding and prints
# the path of the input that caused it; the temporary folder of a run with findings is kept, else
# removed.
# Usage: [FUZZ_RUNS=n] [FUZZ_TARGETS=names] scripts/fuzz.sh <build-folder> <seconds-per-target>
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 <build-folder> <seconds-per-target>" >&2
  exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
targets="$1/tests/fuzz"
seconds="$2"
shopt -s nullglob
binaries=("$targets"/fuzz_*)
if [ ${#binaries[@]} -eq 0 ]; then
  echo "no fuzz targets in $targets (configure with -DTARVIK_FUZZ=ON and build them)" >&2
  exit 2
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/tarvik-fuzz.XXXXXX")"
found=0
for binary in "${binaries[@]}"; do
  [ -x "$binary" ] && [ -f "$binary" ] || continue
  name="${binary##*/fuzz_}"
  if [ -n "${FUZZ_TARGETS:-}" ] && [[ " $FUZZ_TARGETS " != *" $name "* ]]; then continue; fi
  corpus="$work/$name/corpus"
  findings="$work/$name/findings"
  mkdir -p "$corpus" "$findings"
  cp -r "$root/tests/fuzz/corpus/$name/." "$corpus/"
  if [ -n "${FUZZ_RUNS:-}" ]; then limit=(-runs="$FUZZ_RUNS"); else limit=(-max_total_time="$seconds"); fi
  status=0
  started=$SECONDS
  "$binary" "${limit[@]}" -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >"$work/$name/log" 2>&1 ||
    status=$?
  stats="$(grep -E '^stat::number_of_executed_units' "$work/$name/log" | awk '{print $2}')"
  if [ "$status" -eq 0 ]; then
    echo "$name: ${stats:-?} executions in $((SECONDS - started)) s, no finding"
    continue
  fi
  found=1
  echo "$name: FINDING (exit status $status), log $work/$name/log"
  grep -E 'invariant broken|ERROR: |SUMMARY: |runtime error' "$work/$name/log" | head -5 || true
  for input in "$findings"/*; do echo "  input: $input"; done
done

if [ "$found" -ne 0 ]; then
  echo "findings kept in $work" >&2
  exit 1
fi
rm -rf "$work"
