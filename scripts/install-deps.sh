#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the tests and the demonstration need.
# Idempotent: packages already present are skipped by apt-get.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake pkg-config \
  clang libclang-rt-14-dev \
  libgtest-dev libgmock-dev googletest libbenchmark-dev \
  libsqlite3-dev \
  libssl-dev openssl \
  python3 python3-pyftpdlib \
  tmux \
  >/dev/null

# The FTP servers the loopback tests run against (one installed, the others unpacked privately,
# because they conflict with each other as packages).
"$(dirname "$0")/install-servers.sh"
