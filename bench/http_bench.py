#!/usr/bin/env python3
"""Throughput of tarvik's HTTP downloads next to curl, on the same servers in the same run.

  bench/http_bench.py [build-folder]      (default: build; BENCH_MIB sets the file's size)

A file of random bytes (1 GiB by default) served by the test fixture's nginx on loopback, fetched
to the same file system by `tarvik DownloadHttpFile` and by curl: directly over HTTP and HTTPS, and
through the fixture's tinyproxy over HTTP (absolute form) and HTTPS (CONNECT). Best of three for
each, runs of the two programs taken in turn; every copy is compared with the original.
"""
import os
import subprocess
import sys
import tempfile
import time

BUILD = sys.argv[1] if len(sys.argv) > 1 else "build"
TARVIK = f"{BUILD}/bin/tarvik"
SERVE = f"{BUILD}/bench/bench_serve_http"
SIZE = int(os.environ.get("BENCH_MIB", "1024")) << 20
RUNS = 3


def timed(command, log):
    with open(log, "ab") as err:
        start = time.monotonic()
        status = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=err).returncode
        seconds = time.monotonic() - start
    if status != 0:
        raise SystemExit(f"failed ({status}): {' '.join(command)}; see {log}")
    return seconds


def same(a, b):
    return subprocess.run(["cmp", "-s", a, b]).returncode == 0


def main():
    server = subprocess.Popen([SERVE], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    http_port, https_port, proxy_port, ca_file, root = server.stdout.readline().split()[:5]
    work = tempfile.mkdtemp(prefix="tarvik-http-bench-")
    log = os.path.join(work, "log.txt")
    os.environ["TARVIK_ROOT"] = os.path.join(work, "root")
    os.environ["SSL_CERT_FILE"] = ca_file
    subprocess.run([f"{BUILD}/platform/regsvr32/regsvr32", "/s", f"{BUILD}/lib/libtarvikftp.so"],
                   check=True)
    source = os.path.join(root, "big.bin")
    with open(source, "wb") as out:
        for _ in range(SIZE >> 20):
            out.write(os.urandom(1 << 20))
    target = os.path.join(work, "copy.bin")
    routes = [
        ("HTTP", f"http://127.0.0.1:{http_port}/big.bin", None),
        ("HTTPS", f"https://127.0.0.1:{https_port}/big.bin", None),
        ("HTTP via tinyproxy", f"http://127.0.0.1:{http_port}/big.bin", proxy_port),
        ("HTTPS via tinyproxy", f"https://127.0.0.1:{https_port}/big.bin", proxy_port),
    ]
    print(f"{SIZE >> 20} MiB, best of {RUNS}, MB/s (10^6 bytes per second)")
    print(f"{'route':22} {'tarvik':>8} {'curl':>8} {'ratio':>6}")
    try:
        for name, url, proxy in routes:
            best = {"tarvik": None, "curl": None}
            for _ in range(RUNS):
                for program in ("tarvik", "curl"):
                    if os.path.exists(target):
                        os.remove(target)
                    if program == "tarvik":
                        command = [TARVIK, f"RemotePath={url}", f"LocalPath={target}",
                                   "Overwrite=True", "DownloadHttpFile"]
                        if proxy:
                            command[1:1] = ["ProxyHost=127.0.0.1", f"ProxyPort={proxy}"]
                    else:
                        command = ["curl", "-s", "-f", "--cacert", ca_file, "-o", target, url]
                        if proxy:
                            command[1:1] = ["-x", f"http://127.0.0.1:{proxy}"]
                    seconds = timed(command, log)
                    if not same(source, target):
                        raise SystemExit(f"{program} {name}: the copy differs")
                    if best[program] is None or seconds < best[program]:
                        best[program] = seconds
            t = SIZE / best["tarvik"] / 1e6
            c = SIZE / best["curl"] / 1e6
            print(f"{name:22} {t:8.0f} {c:8.0f} {t / c:6.2f}", flush=True)
    finally:
        if os.path.exists(target):
            os.remove(target)
        os.remove(source)
        server.stdin.close()
        server.wait()
        subprocess.run(["rm", "-rf", work])


if __name__ == "__main__":
    main()
