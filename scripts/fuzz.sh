#!/usr/bin/env bash
# Runs every fuzz target of a build (configured with -DTARVIK_FUZZ=ON) for the given seconds, each
# on a temporary copy of its seed corpus (tests/fuzz/corpus/<target>), with memory limits; with
# FUZZ_RUNS set, each runs that many executions instead (the seconds are then ignored). FUZZ_TARGETS
# names the targets to run (blank-separated, e.g. "listing reply"); all by default. FUZZ_JOBS targets
# run at a time (default: the number of cores).
# Prints each target's executions, seconds and findings. Exits non-zero on any finding and prints
# the path of the input that caused it; the temporary folder of a run with findings is kept, else
# removed.
# Usage: [FUZZ_RUNS=n] [FUZZ_TARGETS=names] [FUZZ_JOBS=n] scripts/fuzz.sh <build-folder> <seconds>
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

# Fuzzes one target; prints its line of results and fails on a finding.
fuzz_target() {
  local binary="$1" name="$2"
  local corpus="$work/$name/corpus" findings="$work/$name/findings" limit status=0
  mkdir -p "$corpus" "$findings"
  cp -r "$root/tests/fuzz/corpus/$name/." "$corpus/"
  if [ -n "${FUZZ_RUNS:-}" ]; then limit=(-runs="$FUZZ_RUNS"); else limit=(-max_total_time="$seconds"); fi
  local started=$SECONDS
  "$binary" "${limit[@]}" -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >"$work/$name/log" 2>&1 ||
    status=$?
  local stats
  stats="$(grep -E '^stat::number_of_executed_units' "$work/$name/log" | awk '{print $2}')" || true
  if [ "$status" -eq 0 ]; then
    echo "$name: ${stats:-?} executions in $((SECONDS - started)) s, no finding"
    return 0
  fi
  # One write, so that the lines of targets running side by side do not interleave.
  local report
  report="$name: FINDING (exit status $status), log $work/$name/log"$'\n'
  local pattern='invariant broken|ERROR: |SUMMARY: |runtime error'
  report+="$(grep -E "$pattern" "$work/$name/log" | head -5)" || true
  for input in "$findings"/*; do report+=$'\n'"  input: $input"; done
  echo "$report"
  return 1
}

# Up to FUZZ_JOBS targets at a time.
jobs_at_once="${FUZZ_JOBS:-$(nproc)}"
found=0
running=0
for binary in "${binaries[@]}"; do
  [ -x "$binary" ] && [ -f "$binary" ] || continue
  name="${binary##*/fuzz_}"
  if [ -n "${FUZZ_TARGETS:-}" ] && [[ " $FUZZ_TARGETS " != *" $name "* ]]; then continue; fi
  if [ "$running" -ge "$jobs_at_once" ]; then
    wait -n || found=1
    running=$((running - 1))
  fi
  fuzz_target "$binary" "$name" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || found=1
  running=$((running - 1))
done

if [ "$found" -ne 0 ]; then
  echo "findings kept in $work" >&2
  exit 1
fi
rm -rf "$work"
