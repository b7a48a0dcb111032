#!/usr/bin/env bash
# Builds the Debian package, installs it, and checks that a user created for the purpose can run
# tarvinst and then tarvik --members with no other step. The package and the user are removed
# again at the end.
# Usage: scripts/package-test.sh [build-folder]      (default: build, already configured)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

cmake --build "$build" -j "$(nproc)" --target tarvik regsvr32 tarvikftp tarvinst
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package" >/dev/null)
deb="$(ls "$build"/package/tarvik-ftp_*.deb)"

user="tarvikcheck$$"
cleanup() {
  $SUDO apt-get purge -y -qq tarvik-ftp >/dev/null 2>&1 || true
  $SUDO userdel --remove "$user" >/dev/null 2>&1 || true
}
trap cleanup EXIT

$SUDO apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
$SUDO useradd --create-home --shell /bin/bash "$user"

# A login shell of the new user: nothing of this build's environment reaches it.
if ! $SUDO runuser -l "$user" -c 'tarvinst' 2>"$build/package/tarvinst.txt"; then
  echo "package-test: tarvinst failed:" >&2
  cat "$build/package/tarvinst.txt" >&2
  exit 1
fi
grep -q "Install Completed" "$build/package/tarvinst.txt"
members="$($SUDO runuser -l "$user" -c 'tarvik --members')"
grep -q "^_FtpLibrary {2CB8B2CC-DF09-43A6-8C13-0A8A6692FD02}" <<<"$members"
echo "package-test: $(basename "$deb") installed; tarvinst then tarvik --members as a new user:" \
  "$(grep 'members available' <<<"$members" | sed 's/^ *//')"
