#!/usr/bin/env bash
# Demonstration: builds the control library and the tarvik host, starts a local FTP server on
# 127.0.0.1 with a few sample files, registers the library into a private registry, and drives a
# real session through tarvik by the members' published names. Everything it creates lives in a
# temporary folder that is removed at the end; the server is stopped on any exit.
#
# Usage: scripts/demo.sh [build-folder]      (default: build)
# JOBS sets the build's parallelism (default: the number of processors).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
jobs="${JOBS:-$(nproc)}"

say() { printf '\n\033[1m== %s\033[0m\n' "$*"; }

say "Installing what the build and the demonstration need"
"$root/scripts/install-deps.sh"

say "Building libtarvikftp.so, the tarvik host and regsvr32"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tarvikftp tarvik regsvr32 -j "$jobs"
library="$build/lib/libtarvikftp.so"
tarvik="$build/bin/tarvik"
regsvr32="$build/platform/regsvr32/regsvr32"

work="$(mktemp -d "${TMPDIR:-/tmp}/tarvik-demo-XXXXXX")"
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The control's registry, log and drives live here, apart from the user's own.
export TARVIK_ROOT="$work/root"
mkdir -p "$TARVIK_ROOT" "$work/ftp/pub/docs" "$work/downloads"

say "Sample files for the server in $work/ftp"
printf 'Welcome to the Tarvik FTP demonstration.\r\n' >"$work/ftp/pub/readme.txt"
printf 'Second file.\r\n' >"$work/ftp/pub/docs/notes.txt"
head -c 3000000 /dev/urandom >"$work/ftp/pub/sample.bin"
ls -lR "$work/ftp"

say "Starting an FTP server on 127.0.0.1 (user demo, password demo)"
# Debian's own interpreter carries the pyftpdlib package. Port 0 lets the system choose a free
# port, which the server writes to a file once it listens.
/usr/bin/python3 - "$work/ftp" "$work/port" <<'PYTHON' &
import logging, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
logging.basicConfig(level=logging.WARNING)
authorizer = DummyAuthorizer()
authorizer.add_user("demo", "demo", sys.argv[1], perm="elradfmwMT")
handler = FTPHandler
handler.authorizer = authorizer
server = FTPServer(("127.0.0.1", 0), handler)
with open(sys.argv[2] + ".tmp", "w") as out:
    out.write(str(server.address[1]))
import os
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

say "Registering the library: regsvr32 $library"
"$regsvr32" "$library"

say "The members this build offers (tarvik --members)"
members="$("$tarvik" --members)"
sed -n 1,12p <<<"$members"
echo "   ..."
tail -n 7 <<<"$members"
offers() { grep -q " $1(" <<<"$members"; }

# The session: only members this build really has.
steps=(-v "ServerName=127.0.0.1" "Port=$port" "Username=demo" "Password=demo"
       Connect Connected 'SendCommand(SYST, "")' GetCurrentDirectory)
if offers GetFileList; then steps+=('GetFileList(/pub/)'); fi
if offers GetFtpDirectoryInfo; then steps+=('GetFtpDirectoryInfo(/pub/)'); fi
if offers CreateDirectory && offers RemoveDirectory; then
  steps+=('CreateDirectory(/pub/new-folder)')
  if offers ExistDirectory; then steps+=('ExistDirectory(/pub/new-folder)'); fi
  steps+=('RemoveDirectory(/pub/new-folder)')
fi
downloaded=""
if offers Download; then
  steps+=("RemotePath=/pub/sample.bin" "LocalPath=$work/downloads/" Download)
  downloaded="$work/downloads/sample.bin"
fi
uploaded=""
if offers Upload; then
  steps+=("LocalPath=$work/ftp/pub/readme.txt" "RemotePath=/pub/uploaded/" Upload)
  uploaded="$work/ftp/pub/uploaded/readme.txt"
fi
steps+=(Disconnect Connected)

say "A session: tarvik ${steps[*]}"
"$tarvik" "${steps[@]}"

if [ -n "$downloaded" ]; then
  say "Checking the download"
  cmp "$work/ftp/pub/sample.bin" "$downloaded" && echo "sample.bin arrived intact"
fi
if [ -n "$uploaded" ]; then
  say "Checking the upload"
  cmp "$work/ftp/pub/readme.txt" "$uploaded" && echo "readme.txt arrived intact"
fi

say "A failed call: connecting to a port where nothing listens"
set +e
"$tarvik" "ServerName=127.0.0.1" "Port=1" Connect
status=$?
set -e
echo "(tarvik exited with status $status)"

say "Unregistering: regsvr32 /u $library"
"$regsvr32" /u "$library"
set +e
"$tarvik" Connected
echo "(tarvik exited with status $?)"
set -e

say "Stopping the FTP server"
