#!/usr/bin/env python3
"""Files per second of tarvik's folder transfers next to lftp's mirror, on the same servers and
the same tree in the same run.

  bench/batch_bench.py [build-folder]      (default: build)

The tree: 1,000 files in 100 folders two levels deep (sizes 0..3 KB, one 0-byte file, one of
50 MiB), names with blanks and UTF-8, and empty folders. For vsftpd, pure-ftpd and pyftpdlib on
loopback: the tree up (tarvik Upload of the folder, `lftp -e 'mirror -R'`) and down (tarvik
Download of the folder, `lftp -e 'mirror'`), each copy compared with the source; the ratio is
tarvik's files per second over lftp's. Then the commands each client sent per file.
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

from transfer_bench import BUILD, Server, tarvik, timed

FILES = 1000


def ensure_lftp():
    if shutil.which("lftp"):
        return
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    subprocess.run(sudo + ["apt-get", "update", "-qq"], check=True)
    subprocess.run(sudo + ["apt-get", "install", "-y", "-qq", "lftp"], check=True,
                   env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


def build_tree(root):
    for i in range(FILES):
        top = "d \u00fc 9" if i % 10 == 9 else f"d{i % 10}"
        folder = os.path.join(root, top, f"s{i // 10 % 10}")
        os.makedirs(folder, exist_ok=True)
        name = {0: "with blank 0.txt", 1: "gr\u00fc\u00dfe 1.txt"}.get(i, f"f{i}.bin")
        size = {2: 0, 3: 50 << 20}.get(i, i * 37 % 3000)
        with open(os.path.join(folder, name), "wb") as out:
            out.write(os.urandom(size))
    os.makedirs(os.path.join(root, "empty"))
    os.makedirs(os.path.join(root, "d0", "empty inner", "deeper"))


def snapshot(root):
    entries = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs:
            entries[os.path.relpath(os.path.join(folder, name), root)] = "<dir>"
        for name in files:
            with open(os.path.join(folder, name), "rb") as f:
                entries[os.path.relpath(os.path.join(folder, name), root)] = \
                    hashlib.md5(f.read()).hexdigest()
    return entries


def lftp(server, script, log, debug=False):
    return ["lftp"] + ["-d"] * debug + [
        "-u", f"{server.user},{server.password}", "-p", str(server.port), "-e",
        "set ftp:passive-mode on; set ftp:prefer-epsv no; set net:max-retries 1; "
        f"set ftp:charset utf-8; {script}; quit", "127.0.0.1"]


def compare(expected, folder, what):
    if snapshot(folder) != expected:
        raise SystemExit(f"{what}: the tree at {folder} differs from the source")


def count_commands(command, marker, log):
    result = subprocess.run(command, capture_output=True, text=True, errors="replace")
    if result.returncode != 0:
        raise SystemExit(f"failed: {' '.join(command)}")
    text = result.stdout + result.stderr
    return sum(1 for line in text.splitlines() if line.startswith(marker))


def main():
    ensure_lftp()
    work = tempfile.mkdtemp(prefix="tarvik-batch-bench-")
    os.environ["TARVIK_ROOT"] = os.path.join(work, "root")
    subprocess.run([f"{BUILD}/platform/regsvr32/regsvr32", "/s", f"{BUILD}/lib/libtarvikftp.so"],
                   check=True)
    log = os.path.join(work, "bench.log")
    source = os.path.join(work, "A")
    build_tree(source)
    expected = snapshot(source)
    print(f"tree: {FILES} files, {len(expected) - FILES} folders; files per second (f/s)")
    print(f"{'server':10} {'up tarvik':>10} {'up lftp':>8} {'ratio':>6}"
          f" {'down tarvik':>12} {'down lftp':>10} {'ratio':>6}")
    counts = {}
    for name in ("vsftpd", "pureftpd", "pyftpdlib"):
        server = Server(name)
        for sub in ("t", "l"):
            shutil.rmtree(os.path.join(server.root, sub), ignore_errors=True)
        ut, _ = timed(tarvik(server, server.port, "UTF8=True", f"LocalPath={source}/",
                             "RemotePath=/t/", "Upload"), log)
        compare(expected, os.path.join(server.root, "t", "A"), f"{name} tarvik upload")
        ul, _ = timed(lftp(server, f"mirror -R '{source}' /l/A", log), log)
        compare(expected, os.path.join(server.root, "l", "A"), f"{name} lftp upload")
        down_t, down_l = os.path.join(work, "dt"), os.path.join(work, "dl")
        for folder in (down_t, down_l):
            shutil.rmtree(folder, ignore_errors=True)
        dt, _ = timed(tarvik(server, server.port, "UTF8=True", "RemotePath=/t/A/",
                             f"LocalPath={down_t}/", "Download"), log)
        compare(expected, os.path.join(down_t, "A"), f"{name} tarvik download")
        dl, _ = timed(lftp(server, f"mirror /t/A '{down_l}/A'", log), log)
        compare(expected, os.path.join(down_l, "A"), f"{name} lftp download")
        print(f"{name:10} {FILES / ut:8.0f}f/s {FILES / ul:6.0f}f/s {ul / ut:6.2f}"
              f" {FILES / dt:10.0f}f/s {FILES / dl:8.0f}f/s {dl / dt:6.2f}")
        if name == "vsftpd":
            shutil.rmtree(down_t)
            shutil.rmtree(down_l)
            counts = {
                "tarvik up": count_commands(
                    tarvik(server, server.port, "-v", "UTF8=True", f"LocalPath={source}/",
                           "RemotePath=/c/", "Upload"), "> ", log),
                "lftp up": count_commands(lftp(server, f"mirror -R '{source}' /d/A", log, True),
                                          "---> ", log),
                "tarvik down": count_commands(
                    tarvik(server, server.port, "-v", "UTF8=True", "RemotePath=/t/A/",
                           f"LocalPath={down_t}/", "Download"), "> ", log),
                "lftp down": count_commands(lftp(server, f"mirror /t/A '{down_l}/A'", log, True),
                                            "---> ", log),
            }
        server.stop()
    print("commands sent per file (vsftpd, first run into empty targets): " +
          ", ".join(f"{k} {v / FILES:.2f}" for k, v in counts.items()))
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
