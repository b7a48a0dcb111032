#!/usr/bin/env python3
"""Fails when a source file includes a header of a higher layer, or of another folder of its own
layer. The layers, lowest first: the calls go from a higher layer to a lower one, never back."""
import pathlib
import re
import sys

LAYERS = [
    ["platform"],
    ["include", "core"],
    ["local", "net"],
    ["ftp", "http"],
    ["control"],
    ["host", "setup"],
]
LAYER_OF = {folder: level for level, folders in enumerate(LAYERS) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def folder_of(path: str) -> str:
    return path.split("/", 1)[0]


def violations(root: pathlib.Path):
    for folder in LAYER_OF:
        for source in sorted((root / folder).rglob("*")):
            if source.suffix not in (".h", ".cpp", ".idl", ".rc") or not source.is_file():
                continue
            relative = source.relative_to(root).as_posix()
            for header in INCLUDE.findall(source.read_text(errors="replace")):
                target = folder_of(header)
                if target not in LAYER_OF or target == folder:
                    continue
                if LAYER_OF[target] >= LAYER_OF[folder]:
                    yield f"{relative} includes {header}"


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    found = list(violations(root))
    for line in found:
        print(line)
    print(f"{len(found)} include(s) against the layer order")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
