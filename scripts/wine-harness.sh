# What the Wine tiers share (sourced by scripts/wine-script-test.sh and wine-setup-test.sh):
# Wine's loader for the build's architecture, the Windows form of a path, and the counting of
# cases. The sourcing script sets `build` (the Windows build folder) first.

# The loader: 64-bit, or the 32-bit one (Debian's wine32) for a 32-bit build.
wine=/usr/lib/wine/wine64
if grep -q '^CMAKE_TOOLCHAIN_FILE.*mingw-w64-i686' "$build/CMakeCache.txt"; then
  wine=/usr/lib/wine/wine
  if [ ! -x "$wine" ]; then
    echo "$build is a 32-bit build: its programs need Wine's 32-bit loader (wine32)" >&2
    exit 1
  fi
fi

passed=0
failed=0
record() {  # record <passed> <failed>
  passed=$((passed + $1))
  failed=$((failed + $2))
}
check() {  # check <name> <command...>: one case run by the harness itself
  local name="$1"
  shift
  if "$@" >/dev/null 2>&1; then
    echo "ok - $name"
    record 1 0
  else
    echo "FAIL - $name"
    record 0 1
  fi
}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
absent() { ! "$wine" reg query "$1"; }  # absent <registry key>

# Runs a script (or program) under Wine and counts its closing "N passed, N failed" line.
run_counted() {  # run_counted <label> <command...>
  local label="$1" output summary
  shift
  output="$("$@" 2>&1 | tr -d '\r')" || true
  printf '%s\n' "$output" | sed "s/^/[$label] /"
  summary="$(printf '%s\n' "$output" | grep -E '^[0-9]+ passed, [0-9]+ failed$' | tail -n 1 || true)"
  if [ -z "$summary" ]; then
    echo "FAIL - [$label] ended without its summary line"
    record 0 1
    return
  fi
  record "${summary%% passed*}" "$(sed -E 's/.* ([0-9]+) failed/\1/' <<<"$summary")"
}
cscript() { "$wine" cscript //nologo "$(windows_path "$1")" "${@:2}"; }
