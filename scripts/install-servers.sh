#!/usr/bin/env bash
# Installs the servers that the loopback tests start on 127.0.0.1: pyftpdlib and vsftpd as ordinary
# packages; pure-ftpd and proftpd unpacked privately under /opt/pure-ftpd and /opt/proftpd (the three
# FTP server packages conflict with each other, so only one can be installed the ordinary way), with
# their runtime libraries from the archive; nginx, tinyproxy and curl for the HTTP tests.
# Idempotent: when everything is in place it returns at once without touching the archive.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

packages=(python3 python3-pyftpdlib vsftpd nginx tinyproxy curl libpam-modules passwd)
# name of the private folder, package, and a file that shows it is unpacked
private=("pure-ftpd pure-ftpd usr/sbin/pure-ftpd"
         "proftpd proftpd-core usr/sbin/proftpd")

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      echo "$p"
    fi
  done
}

missing_private() {
  local entry dir pkg file
  for entry in "${private[@]}"; do
    read -r dir pkg file <<<"$entry"
    [ -e "/opt/$dir/$file" ] || echo "$entry"
  done
}

# The library packages among a .deb's dependencies (first choice of each alternative, no versions).
library_dependencies() {
  dpkg-deb -f "$1" Depends | tr ',' '\n' | sed -e 's/|.*//' -e 's/(.*)//' -e 's/[[:space:]]//g' |
    grep '^lib' || true
}

todo_packages="$(missing_packages)"
todo_private="$(missing_private)"
if [ -z "$todo_packages" ] && [ -z "$todo_private" ]; then
  exit 0
fi

$SUDO apt-get update -qq
if [ -n "$todo_packages" ]; then
  # shellcheck disable=SC2086
  $SUDO apt-get install -y -qq --no-install-recommends $todo_packages >/dev/null
fi

if [ -n "$todo_private" ]; then
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
  if [ -z "$SUDO" ] && id _apt >/dev/null 2>&1; then chown _apt "$work"; fi  # apt downloads as _apt
  libs=()
  while read -r dir pkg file; do
    [ -n "$dir" ] || continue
    (cd "$work" && apt-get download -qq "$pkg" >/dev/null)
    deb="$(ls "$work"/"${pkg}"_*.deb)"
    $SUDO mkdir -p "/opt/$dir"
    $SUDO dpkg-deb -x "$deb" "/opt/$dir"
    mapfile -t -O "${#libs[@]}" libs < <(library_dependencies "$deb")
    rm -f "$deb"
  done <<<"$todo_private"
  if [ "${#libs[@]}" -gt 0 ]; then
    $SUDO apt-get install -y -qq --no-install-recommends "${libs[@]}" >/dev/null
  fi
fi

# Fail here, not in the tests, when a server is still missing.
for entry in "${private[@]}"; do
  read -r dir pkg file <<<"$entry"
  test -x "/opt/$dir/$file" || { echo "install-servers: /opt/$dir/$file is missing" >&2; exit 1; }
done
test -x /usr/sbin/vsftpd || { echo "install-servers: vsftpd is missing" >&2; exit 1; }
/usr/bin/python3 -c 'import pyftpdlib' || { echo "install-servers: pyftpdlib is missing" >&2; exit 1; }
