#!/usr/bin/env python3
"""Lists the data files the shipped programs (vantor, vantor-capture) read, one path a line,
relative to the repository root: every "./data/..." path in their sources, every track
under a track base path ("./data/science/sync" gives data/science/sync_*.track), every
file a listed shader includes, and every part mesh a listed animation (.nwa) names on its
first line (beside the animation). Timelines are left out: the build compiles them into tracks,
and only vantor-studio, which is not shipped, reads them.

  release-data.py [ROOT]      (ROOT: the repository, default .)

Exit status 1, naming the files, when a path the programs read is missing.
"""
import pathlib
import re
import sys

SHIPPED_SOURCES = ("src", "show", "tools/capture", "tools/registry")
DATA_PATH = re.compile(r'"\./(data/[^"]*)"')
INCLUDE = re.compile(r'^\s*#include\s+"([^"]+)"', re.MULTILINE)
SHADER_SUFFIXES = (".fs", ".vs", ".glsl")


def referenced(root):
    paths = set()
    for folder in SHIPPED_SOURCES:
        for source in sorted((root / folder).rglob("*")):
            if source.suffix in (".cpp", ".h"):
                paths.update(DATA_PATH.findall(source.read_text(errors="replace")))
    return {p for p in paths if "..." not in p and not p.endswith("timeline.txt")}


def main(argv):
    root = pathlib.Path(argv[1] if len(argv) > 1 else ".").resolve()
    files, missing = set(), []
    for path in sorted(referenced(root)):
        full = root / path
        if full.name == "sync" or full.name.endswith("/sync"):
            tracks = sorted(full.parent.glob(full.name + "_*.track"))
            if not tracks:
                missing.append(path + "_*.track")
            files.update(tracks)
        elif full.is_file():
            files.add(full)
        else:
            missing.append(path)
    for animation in [f for f in files if f.suffix == ".nwa"]:
        with open(animation, errors="replace") as text:
            for name in text.readline().split():
                part = (animation.parent / name).resolve()
                if part.is_file():
                    files.add(part)
                else:
                    missing.append(str(part.relative_to(root)))
    pending = [f for f in files if f.suffix in SHADER_SUFFIXES]
    while pending:
        shader = pending.pop()
        for name in INCLUDE.findall(shader.read_text(errors="replace")):
            included = (shader.parent / name).resolve()
            if not included.is_file():
                missing.append(str(included.relative_to(root)))
            elif included not in files:
                files.add(included)
                pending.append(included)
    if missing:
        print("release-data: read by the programs but missing: " + ", ".join(sorted(set(missing))), file=sys.stderr)
        return 1
    for f in sorted(files):
        print(f.relative_to(root))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
