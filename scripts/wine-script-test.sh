#!/usr/bin/env bash
# The Windows tier: the control (tarvikftp.ocx) as Windows' own script host, an early-bound
# client and a form host use it, under Wine, against pyftpdlib and vsftpd on 127.0.0.1; the
# setup program installs and the system's regsvr32 uninstalls it. A 32-bit build folder
# (build-win32) runs with Wine's 32-bit loader.
#
#   scripts/wine-script-test.sh [windows-build-folder]     (default: build-win)
#
# It registers the control and the suite's test container with regsvr32 in a Wine prefix of its
# own (under the build folder), runs each script of tests/windows/scripts with cscript, reads the
# script's closing "N passed, N failed" line (cscript exits 0 even when a script fails or stops
# early), compares every transferred file byte for byte, runs the early-bound client and the
# form-host check (tests/windows/form_host), unregisters the control and checks that it can no
# longer be created; then runs tarvinst.exe from a kit folder, creates the installed control by
# its ProgID through tarvik.exe, and uninstalls it. Ends with a summary line and a non-zero exit
# status on any failure. The FTP servers are the test fixture's (bench_serve_ftp of the
# native build, TARVIK_NATIVE_BUILD, default build/).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build-win}" && pwd)"
native="${TARVIK_NATIVE_BUILD:-$root/build}"
started=$SECONDS

say() { printf '\n== %s\n' "$*"; }

wine=/usr/lib/wine/wine64
if grep -q '^CMAKE_TOOLCHAIN_FILE.*mingw-w64-i686' "$build/CMakeCache.txt"; then
  wine=/usr/lib/wine/wine  # Debian's wine32
  [ -x "$wine" ] || { echo "a 32-bit build needs Wine's 32-bit loader (wine32)" >&2; exit 1; }
fi

say "Building the control, the test programs, the tarvik host and the setup program"
cmake --build "$build" --target tarvikftp tarviktest_container early_binding_client \
  form_host_check tarvik tarvinst >/dev/null
cmake --build "$native" --target bench_serve_ftp >/dev/null
ocx="$build/bin/tarvikftp.ocx"
container="$build/bin/tarviktest_container.dll"
client="$build/bin/early_binding_client.exe"
host="$build/bin/tarvik.exe"
serve="$native/bench/bench_serve_ftp"

export WINEPREFIX="$build/wine-tier" WINEDEBUG=-all
work="$(mktemp -d "${TMPDIR:-/tmp}/tarvik-wine-XXXXXX")"
chmod 755 "$work"
server_pids=()
cleanup() {
  for pid in "${server_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

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

# tarvik.exe downloads a file on a terminal of its own (script's) and draws its progress bar on
# OnTransfer, which the control raises only when the host's site gave it the host's window.
host_progress() {  # host_progress <port> <user> <password> <remote file> <local folder>
  local run
  run="$(printf '%q ' "$wine" "$host" ServerName=127.0.0.1 "Port=$1" "Username=$2" \
    "Password=$3" Connect "RemotePath=$4" "LocalPath=$(windows_path "$5")\\" Download)"
  script -qec "$run" /dev/null </dev/null | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' | grep -a '] 100%'
}

say "Wine prefix $WINEPREFIX"
[ -d "$WINEPREFIX" ] || "$wine" wineboot -i >/dev/null 2>&1 || true  # its status says nothing
wineserver -p || true

# Starts a fixture server; sets port, user, password and server_root.
start_server() {  # start_server <name>
  local fifo="$work/$1.in"
  mkfifo "$fifo"
  "$serve" "$1" <"$fifo" >"$work/$1.out" 2>"$work/$1.err" &
  server_pids+=($!)
  exec {keep}>"$fifo"  # holds the server's standard input open: it runs until the end
  for _ in $(seq 300); do
    [ -s "$work/$1.out" ] && break
    sleep 0.1
  done
  read -r port user password server_root <"$work/$1.out" || {
    echo "the $1 server did not start: $(cat "$work/$1.err")" >&2
    exit 1
  }
}

# The files of one server's run: remote ones in the server's root, local ones in the work folder.
prepare_files() {  # prepare_files <server root> <local folder>
  local remote="$1/down" local="$2"
  rm -rf "$remote" "$1/up" "$local"
  mkdir -p "$remote/tree/sub" "$local/up/tree/deep" "$local/dl" "$local/resume"
  head -c 300000 /dev/urandom >"$remote/file.bin"
  printf 'first file of the tree\r\n' >"$remote/tree/a.txt"
  head -c 70000 /dev/urandom >"$remote/tree/sub/b.bin"
  head -c 3000000 /dev/urandom >"$remote/big.bin"
  head -c 1000000 "$remote/big.bin" >"$local/resume/big.bin"
  head -c 200000 /dev/urandom >"$local/up/file.bin"
  printf 'uploaded tree\r\n' >"$local/up/tree/x.txt"
  head -c 90000 /dev/urandom >"$local/up/tree/deep/y.bin"
  chmod -R a+rX "$remote"
  chmod a+w "$remote"  # the example uploads into it
}

say "Registering the control and the test container"
check "regsvr32 tarvikftp.ocx" "$wine" regsvr32 /s "$(windows_path "$ocx")"
check "regsvr32 tarviktest_container.dll" "$wine" regsvr32 /s "$(windows_path "$container")"
check "the type library is registered" "$wine" reg query \
  'HKCR\TypeLib\{5B587FA8-1CC2-4FBC-B6AE-BCD95333E4B2}'

for server in pyftpdlib vsftpd; do
  say "FTP suite against $server"
  start_server "$server"
  local_dir="$work/local-$server"
  prepare_files "$server_root" "$local_dir"
  run_counted "$server" cscript "$root/tests/windows/scripts/ftp_suite.vbs" 127.0.0.1 "$port" \
    "$user" "$password" "$(windows_path "$local_dir")"
  check "[$server] downloaded file byte for byte" cmp "$server_root/down/file.bin" \
    "$local_dir/dl/file.bin"
  check "[$server] downloaded folder tree byte for byte" diff -r "$server_root/down/tree" \
    "$local_dir/dl/tree"
  check "[$server] uploaded file byte for byte" cmp "$local_dir/up/file.bin" \
    "$server_root/up/file.bin"
  check "[$server] uploaded folder tree byte for byte" diff -r "$local_dir/up/tree" \
    "$server_root/up/tree"
  check "[$server] resumed file byte for byte" cmp "$server_root/down/big.bin" \
    "$local_dir/resume/big.bin"
  if [ "$server" = pyftpdlib ]; then
    say "JScript smoke test and early-bound client against $server"
    run_counted jscript cscript "$root/tests/windows/scripts/smoke.js" 127.0.0.1 "$port" "$user" \
      "$password"
    run_counted early-binding "$wine" "$client" 127.0.0.1 "$port" "$user" "$password"
    check "[tarvik.exe] OnTransfer draws the progress bar of a download" host_progress "$port" \
      "$user" "$password" /down/big.bin "$local_dir/dl"
    say "The README's VBScript example against $server"
    printf 'uploaded by the example\r\n' >"$local_dir/upload.txt"
    cscript "$root/tests/windows/scripts/example.vbs" 127.0.0.1 "$port" "$user" "$password" \
      /down "$(windows_path "$local_dir")" 2>&1 | tr -d '\r' | tee "$work/example.out"
    check "[example] prints the listing" grep -qF '  file.bin  ' "$work/example.out"
    check "[example] runs to its end" grep -qx 'Done.' "$work/example.out"
    check "[example] downloaded the folder byte for byte" diff -r -x uploaded "$server_root/down" \
      "$local_dir/downloaded/down"
    check "[example] uploaded its file byte for byte" cmp "$local_dir/upload.txt" \
      "$server_root/down/uploaded/upload.txt"
  fi
done

say "Registry methods against the real registry"
run_counted registry cscript "$root/tests/windows/scripts/registry.vbs"

say "A form host sites the control"
run_counted form-host "$wine" "$build/bin/form_host_check.exe"

say "Unregistering the control"
check "regsvr32 /u tarvikftp.ocx" "$wine" regsvr32 /s /u "$(windows_path "$ocx")"
run_counted unregistered cscript "$root/tests/windows/scripts/unregistered.vbs"
check "no CLSID key is left" absent 'HKCR\CLSID\{31AE647D-11D1-4E6A-BE2D-90157640019A}'
check "no type library key is left" absent 'HKCR\TypeLib\{5B587FA8-1CC2-4FBC-B6AE-BCD95333E4B2}'
check "no ProgID key is left" absent 'HKCR\TarvikFtp.FtpLibrary'
"$wine" regsvr32 /s /u "$(windows_path "$container")" || true

say "The setup program"
kit="$work/kit"
installed="$WINEPREFIX/drive_c/Program Files/TarvikFtp"
zones='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Zones'
stats='HKCU\Software\Microsoft\Windows\CurrentVersion\Ext\Stats'
mkdir -p "$kit/bare"
cp "$build/bin/tarvinst.exe" "$ocx" "$kit/"
cp "$build/bin/tarvinst.exe" "$kit/bare/"
printf 'uninstaller\r\n' >"$kit/uninst.exe"
copied() {
  cmp "$ocx" "$installed/tarvikftp.ocx" && [ -f "$installed/uninst.exe" ] &&
    [ ! -e "$installed/uninst_cn.exe" ]
}
registered_at_copy() {
  "$wine" reg query "HKCR\CLSID\{31AE647D-11D1-4E6A-BE2D-90157640019A}\InprocServer32" /ve |
    grep -qF 'C:\Program Files\TarvikFtp\tarvikftp.ocx'
}
browser_keys() {  # browser_keys <clsid>: safe for scripting and initialisation, on every site
  local category="HKCR\\CLSID\\$1\\Implemented Categories"
  "$wine" reg query "$category\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}" &&
    "$wine" reg query "$category\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}" &&
    "$wine" reg query "$stats\\$1\\iexplore\\AllowedDomains\\*"
}
zone_values() {  # zone 3 allows the control; the missing zone 2 stays missing
  "$wine" reg query "$zones\3" /v 1208 | grep -q 0x0 &&
    "$wine" reg query "$zones\3" /v 2201 | grep -q 0x0 && absent "$zones\2"
}
created() { "$wine" "$host" ServerName=setup.example ServerName | grep -q setup.example; }
bare_fails() {
  ! "$wine" "$kit/bare/tarvinst.exe" >"$work/bare.out" 2>&1 &&
    grep -q 'ActiveX not found' "$work/bare.out"
}
"$wine" reg add "$zones\3" /v 1208 /t REG_DWORD /d 3 /f >/dev/null 2>&1
"$wine" reg delete "$zones\2" /f >/dev/null 2>&1 || true
check "[tarvinst] installs and completes" "$wine" "$kit/tarvinst.exe"
check "[tarvinst] copies the control and the uninstaller beside it" copied
check "[tarvinst] registers the installed copy" registered_at_copy
for id in '{31AE647D-11D1-4E6A-BE2D-90157640019A}' '{127698e4-e730-4e5c-a2b1-21490a70c8a1}'; do
  check "[tarvinst] browser keys of $id" browser_keys "$id"
done
check "[tarvinst] zone values" zone_values
check "[tarvinst] the installed control is created by its ProgID" created
check "[tarvinst] installs over itself" "$wine" "$kit/tarvinst.exe"
check "[tarvinst] fails without the control beside it" bare_fails
check "regsvr32 /u uninstalls the installed control" "$wine" regsvr32 /s /u \
  'C:\Program Files\TarvikFtp\tarvikftp.ocx'
run_counted uninstalled cscript "$root/tests/windows/scripts/unregistered.vbs"
rm -rf "$installed"

echo
echo "Wine script tier: $passed passed, $failed failed ($((SECONDS - started)) s)"
[ "$failed" -eq 0 ]
