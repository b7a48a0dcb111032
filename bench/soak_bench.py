#!/usr/bin/env python3
"""Memory and descriptors of one control over thousands of consecutive transfers.

  bench/soak_bench.py [build-folder] [server ...]   (default: build; pyftpdlib vsftpd pureftpd
                                                    proftpd; SOAK_TRANSFERS sets the count, 2000)

For each server, build/bench/bench_soak_transfers starts the fixture's server on loopback, creates
one control through the registry (as tarvik does), connects once and runs the transfers: downloads
and uploads alternating, new files, overwrites and resumes, 0 B to 3 MiB, each result and each
target's whole contents checked. It samples its own VmRSS, VmHWM and open descriptors before the
first transfer and after every 100th. The table shows them; the verdict compares every sample after
the first hundred with the one at 100: both memory figures may rise by at most TOLERANCE_KIB, the
descriptors not at all. Exits with 1 when a transfer fails or either grows beyond that.
"""
import os
import subprocess
import sys
import tempfile
import time

BUILD = sys.argv[1] if len(sys.argv) > 1 else "build"
SERVERS = sys.argv[2:] or ["pyftpdlib", "vsftpd", "pureftpd", "proftpd"]
TRANSFERS = int(os.environ.get("SOAK_TRANSFERS", "2000"))
SOAK = f"{BUILD}/bench/bench_soak_transfers"
BASELINE = 100          # transfers before the reference sample (warm-up: buffers, caches)
TOLERANCE_KIB = 1024    # growth of VmRSS or VmHWM after the baseline that still counts as flat


def soak(server, work):
    """The samples of one run: (transfers, rss, hwm, fds) tuples; exits when the run fails."""
    result = subprocess.run([SOAK, server, str(TRANSFERS), os.path.join(work, server)],
                            capture_output=True, text=True)
    samples = [tuple(int(v) for v in line.split()[1:])
               for line in result.stdout.splitlines() if line.startswith("sample ")]
    if result.returncode != 0:
        sys.stderr.write(result.stderr)
        raise SystemExit(f"{server}: the soak failed ({result.returncode})")
    return samples


def growth(samples):
    """The largest rise of VmRSS, VmHWM and descriptors after the baseline sample."""
    base = next(s for s in samples if s[0] == BASELINE)
    later = [s for s in samples if s[0] > BASELINE]
    return tuple(max(s[i] for s in later) - base[i] for i in (1, 2, 3))


def main():
    if TRANSFERS < 2 * BASELINE:
        raise SystemExit(f"SOAK_TRANSFERS: at least {2 * BASELINE}")
    work = tempfile.mkdtemp(prefix="tarvik-soak-")
    os.environ["TARVIK_ROOT"] = os.path.join(work, "root")
    subprocess.run([f"{BUILD}/platform/regsvr32/regsvr32", "/s", f"{BUILD}/lib/libtarvikftp.so"],
                   check=True)
    print(f"{TRANSFERS} transfers on one control per server; memory in KiB; flat: VmRSS and VmHWM"
          f" at most {TOLERANCE_KIB} KiB above their value at {BASELINE} transfers, descriptors"
          f" unchanged")
    flat = True
    for server in SERVERS:
        start = time.monotonic()
        samples = soak(server, work)
        seconds = time.monotonic() - start
        print(f"\n{server} ({seconds:.0f} s)")
        print(f"{'transfers':>9} {'VmRSS':>7} {'VmHWM':>7} {'fds':>4}")
        for transfers, rss, hwm, fds in samples:
            print(f"{transfers:9} {rss:7} {hwm:7} {fds:4}")
        rss_up, hwm_up, fds_up = growth(samples)
        ok = rss_up <= TOLERANCE_KIB and hwm_up <= TOLERANCE_KIB and fds_up <= 0
        flat = flat and ok
        print(f"{server}: after {BASELINE} transfers VmRSS {rss_up:+} KiB, VmHWM {hwm_up:+} KiB,"
              f" descriptors {fds_up:+}: {'flat' if ok else 'GROWS'}")
    subprocess.run(["rm", "-rf", work])
    if not flat:
        raise SystemExit("memory or descriptors grow")


if __name__ == "__main__":
    main()
