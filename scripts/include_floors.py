#!/usr/bin/env python3
"""Checks that every include of the program's sources runs down the floors of the house.

A file may include files of its own floor and of the floors below it. The floors of
one level (the object kinds; the main window and the command-line tool) are rooms
side by side: none includes another. A portable file never includes a _win header.
Prints each include that breaks this and exits with 1 when there is any.
"""
import os
import re
import subprocess
import sys

# Lowest first: (level, folder). The longest folder that a path starts with names its
# floor.
FLOORS = [
    (0, "resources"),
    (1, "ui"),
    (2, "app"),
    (3, "stage"),
    (4, "sprites"),
    (4, "bananas"),
    (4, "cameras"),
    (4, "terrain"),
    (5, "stage/view"),
    (6, "tiled"),
    (7, "app/main"),
    (7, "cli"),
]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def floor_of(path):
    best = None
    for level, folder in FLOORS:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best[1])):
            best = (level, folder)
    return best


def is_win(path):
    return re.search(r"_win\.(h|cpp)$", path) is not None


def main():
    files = subprocess.run(["git", "ls-files", "*.cpp", "*.h"], capture_output=True, text=True,
                           check=True).stdout.split()
    faults = []
    for path in files:
        here = floor_of(path)
        if here is None:
            continue  # tests, tools, benchmarks and fuzzers stand above the house
        if not os.path.exists(path):
            continue  # deleted in the work tree, not yet in the index
        with open(path, encoding="utf-8") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = match.group(1)
                there = floor_of(target)
                if there is None:
                    faults.append(f"{path}:{number}: includes {target}, which is no part of the house")
                elif there[0] > here[0]:
                    faults.append(f"{path}:{number}: includes {target} of the floor above ({there[1]}/)")
                elif there[0] == here[0] and there[1] != here[1]:
                    faults.append(f"{path}:{number}: includes {target} of {there[1]}/, a room beside {here[1]}/")
                elif is_win(target) and not is_win(path):
                    faults.append(f"{path}:{number}: a portable file includes the Win32 header {target}")
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
