#!/usr/bin/env bash
# Demonstration of the control on Windows, under Wine: builds tarvikftp.ocx with MinGW-w64
# (scripts/build-windows.sh installs the packages it needs), starts a local FTP server on
# 127.0.0.1 with a few sample files, registers the control with regsvr32 in a Wine prefix of its
# own and runs the VBScript example tests/windows/scripts/example.vbs with Windows' script host:
# a listing printed, a folder downloaded, a file uploaded. Everything it creates at run time lives
# in a temporary folder that is removed at the end; the server is stopped on any exit.
#
# Usage: scripts/windows-demo.sh [windows-build-folder]      (default: build-win)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-win}"

say() { printf '\n\033[1m== %s\033[0m\n' "$*"; }

say "Building the Windows control (scripts/build-windows.sh $build)"
"$root/scripts/build-windows.sh" "$build"
ocx="$(cd "$build" && pwd)/bin/tarvikftp.ocx"
[ -f "$ocx" ] || { echo "the build made no $ocx" >&2; exit 1; }
if ! /usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null; then
  say "Installing the FTP server of the demonstration (python3-pyftpdlib)"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq python3-pyftpdlib >/dev/null
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/tarvik-windows-demo-XXXXXX")"
server_pid=""
export WINEPREFIX="$work/wine" WINEDEBUG=-all
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

say "Sample files for the server in $work/ftp"
mkdir -p "$work/ftp/pub/docs" "$work/local"
printf 'Welcome to the Tarvik FTP demonstration.\r\n' >"$work/ftp/pub/readme.txt"
printf 'Second file.\r\n' >"$work/ftp/pub/docs/notes.txt"
head -c 3000000 /dev/urandom >"$work/ftp/pub/sample.bin"
printf 'Uploaded from VBScript under Wine.\r\n' >"$work/local/upload.txt"
ls -lR "$work/ftp"

say "Starting an FTP server on 127.0.0.1 (user demo, password demo)"
/usr/bin/python3 - "$work/ftp" "$work/port" <<'PYTHON' &
import logging, os, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
logging.basicConfig(level=logging.WARNING)
authorizer = DummyAuthorizer()
authorizer.add_user("demo", "demo", sys.argv[1], perm="elradfmwMT")
FTPHandler.authorizer = authorizer
server = FTPServer(("127.0.0.1", 0), FTPHandler)
with open(sys.argv[2] + ".tmp", "w") as out:
    out.write(str(server.address[1]))
os.rename(sys.argv[2] + ".tmp", sys.argv[2])
server.serve_forever()
PYTHON
server_pid=$!
for _ in $(seq 100); do
  [ -s "$work/port" ] && break
  kill -0 "$server_pid" 2>/dev/null || { echo "the FTP server did not start" >&2; exit 1; }
  sleep 0.1
done
port="$(cat "$work/port")"
echo "listening on 127.0.0.1:$port"

say "A Wine prefix of its own ($WINEPREFIX), and regsvr32 tarvikftp.ocx"
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
/usr/lib/wine/wine64 regsvr32 /s "$(windows_path "$ocx")"
echo "registered: TarvikFtp.FtpLibrary"

say "cscript example.vbs (tests/windows/scripts/example.vbs)"
sed -n '1,2p' "$root/tests/windows/scripts/example.vbs"
/usr/lib/wine/wine64 cscript //nologo "$(windows_path "$root/tests/windows/scripts/example.vbs")" \
  127.0.0.1 "$port" demo demo /pub "$(windows_path "$work/local")" | tr -d '\r'

say "Checking what was transferred"
diff -r -x uploaded "$work/ftp/pub" "$work/local/downloaded/pub" && echo "the folder /pub arrived intact"
cmp "$work/local/upload.txt" "$work/ftp/pub/uploaded/upload.txt" && echo "upload.txt arrived intact"
