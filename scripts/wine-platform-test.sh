#!/usr/bin/env bash
# The Windows implementations of platform/ under Wine: the platform tests that apply to Windows
# (tests/platform, built with MinGW-w64 by scripts/build-windows.sh) run through CTest, which
# starts each test program with Wine's loader. Ends with CTest's summary, the count of test cases
# GoogleTest ran, and CTest's exit status.
#
#   scripts/wine-platform-test.sh [build-folder]      (default: build-win)
#
# Wine runs in a prefix of its own under the build folder (WINEPREFIX overrides it). The TLS
# sessions talk to the test fixture's nginx, started here by bench_serve_http of the native build
# (TARVIK_NATIVE_BUILD, default build/); their test trusts the fixture's private CA in the prefix.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-win}"
jobs="${JOBS:-$(nproc)}"
started=$SECONDS

[ -f "$build/CMakeCache.txt" ] || "$root/scripts/build-windows.sh" "$build"
build="$(cd "$build" && pwd)"
native="${TARVIK_NATIVE_BUILD:-$root/build}"
export WINEPREFIX="${WINEPREFIX:-$build/wine-prefix}" WINEDEBUG=-all
# Without a display no window opens, so the dialogs' tests see their headless answers instead of
# waiting for a user.
unset DISPLAY WAYLAND_DISPLAY
work="$(mktemp -d "${TMPDIR:-/tmp}/tarvik-wine-platform-XXXXXX")"
web_pid=""
cleanup() {
  # The Wine server and its services, started by this script, hold the web servers' input open
  # too: they go first.
  wineserver -k 2>/dev/null || true
  if [ -n "$web_pid" ]; then  # closing their input stops the web servers, which tidy up
    exec {web_in}>&-
    wait "$web_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# The web servers, running until their standard input closes with this script.
cmake --build "$native" --target bench_serve_http >/dev/null
mkfifo "$work/web-in"
"$native/bench/bench_serve_http" <"$work/web-in" >"$work/web.out" 2>"$work/web.err" &
web_pid=$!
exec {web_in}>"$work/web-in"
for _ in $(seq 300); do
  [ -s "$work/web.out" ] && break
  sleep 0.1
done
read -r _ https_port _ ca_file web_root wrong_name_port self_signed_port unknown_issuer_port \
  <"$work/web.out" || {
  echo "the web servers did not start: $(cat "$work/web.err")" >&2
  exit 1
}
head -c 3000000 /dev/urandom >"$web_root/tls-download.bin"
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
export TARVIK_HTTPS_PORTS="$https_port $wrong_name_port $self_signed_port $unknown_issuer_port"
export TARVIK_HTTPS_CA="$(windows_path "$ca_file")"
export TARVIK_HTTPS_FILE="$(windows_path "$web_root/tls-download.bin")"
wineserver -p </dev/null >/dev/null 2>&1 {web_in}>&- || true  # one server for every test program
# Starting the prefix starts its background services; they keep the standard streams of the
# program that started them, so a first program with none of CTest's pipes starts them.
/usr/lib/wine/wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1 || true

targets=()
for folder in "$root"/tests/platform/*/windows; do
  service="$(basename "$(dirname "$folder")")"
  targets+=("test_platform_$service")
done
cmake --build "$build" --target "${targets[@]}" tarvikftp tarvik -j "$jobs"
status=0
ctest --test-dir "$build" -L 'unit|loopback' -j "$jobs" --output-on-failure || status=$?
# Each test program is one CTest test; GoogleTest's own counts tell the cases.
log="$build/Testing/Temporary/LastTest.log"
passed=$(awk '/^\[  PASSED  \] [0-9]+ test/ {s += $4} END {print s + 0}' "$log")
failed=$(awk '/^\[  FAILED  \] [0-9]+ test/ {s += $4} END {print s + 0}' "$log")

# The control over HTTPS: tarvik.exe downloads through Schannel, trusting the private CA that
# test_platform_tls put into this prefix's Root store, and a self-signed server is refused with
# the HTTP layer's TLS error.
wine=/usr/lib/wine/wine64
tarvik() { "$wine" "$build/bin/tarvik.exe" "$@" 2>&1 | tr -d '\r'; }
check() {  # check <name> <command...>
  if "${@:2}" >/dev/null 2>&1; then
    echo "ok - $1"
    passed=$((passed + 1))
  else
    echo "FAIL - $1"
    failed=$((failed + 1))
    status=1
  fi
}
downloaded() {
  tarvik "RemotePath=https://127.0.0.1:$https_port/tls-download.bin" \
    "LocalPath=$(windows_path "$work/tls-download.bin")" DownloadHttpFile &&
    cmp "$web_root/tls-download.bin" "$work/tls-download.bin"
}
refused() {  # refused <port> <expected error text>
  local output
  output="$(tarvik "RemotePath=https://127.0.0.1:$1/tls-download.bin" \
    "LocalPath=$(windows_path "$work/refused.bin")" DownloadHttpFile)" && return 1
  grep -qx "ErrorNumber: 18005" <<<"$output" && grep -qxF "ErrorInfo: $2" <<<"$output"
}
check "regsvr32 tarvikftp.ocx" "$wine" regsvr32 /s "$(windows_path "$build/bin/tarvikftp.ocx")"
check "[tarvik.exe] HTTPS download byte for byte" downloaded
check "[tarvik.exe] a self-signed certificate is refused" refused "$self_signed_port" \
  "TLS with 127.0.0.1 failed: certificate verify failed (self-signed certificate)"
"$wine" regsvr32 /s /u "$(windows_path "$build/bin/tarvikftp.ocx")" >/dev/null 2>&1 || true

echo "Wine platform tier: $passed test cases passed, $failed failed, in $((SECONDS - started)) s"
exit "$status"
