#!/usr/bin/env python3
"""Checks that every include between the folders of src/ points down the floors.

Usage: check_floors.py <src dir> <floors file>

The floors file is written by CMake from the floors' own library declarations
(cmake/Floors.cmake), one line per floor: "<floor>: <floors it links> [| no-host]". A file
of a floor may include its own floor and every floor reachable through those links; a
floor marked no-host includes no libobs header. Prints each include that breaks the rule
and exits 1 when there is any.
"""

import os
import re
import sys

PROJECT_INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"')
HOST_INCLUDE = re.compile(r'^\s*#\s*include\s+<(obs[^>]*|util/[^>]*|graphics/[^>]*|callback/[^>]*)>')


def read_floors(path):
    floors, no_host = {}, set()
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            if not line.strip():
                continue
            name, _, rest = line.partition(":")
            links, _, flags = rest.partition("|")
            floors[name.strip()] = set(links.split())
            if "no-host" in flags.split():
                no_host.add(name.strip())
    return floors, no_host


def reachable(floors, floor):
    seen, todo = set(), [floor]
    while todo:
        for below in floors.get(todo.pop(), ()):
            if below not in seen:
                seen.add(below)
                todo.append(below)
    return seen | {floor}


def violations(src, floors, no_host):
    for floor in sorted(floors):
        allowed = reachable(floors, floor)
        folder = os.path.join(src, floor)
        for name in sorted(os.listdir(folder)):
            if not name.endswith((".h", ".cpp")):
                continue
            with open(os.path.join(folder, name), encoding="utf-8") as lines:
                for number, line in enumerate(lines, 1):
                    where = "src/%s/%s:%d" % (floor, name, number)
                    target = PROJECT_INCLUDE.match(line)
                    if target and target.group(1) in floors and target.group(1) not in allowed:
                        yield "%s: %s includes %s, which is not below it" % (where, floor, target.group(1))
                    if floor in no_host and HOST_INCLUDE.match(line):
                        yield "%s: %s draws pictures only and includes no libobs header" % (where, floor)


def main(src, floors_file):
    floors, no_host = read_floors(floors_file)
    missing = [floor for floor in floors if not os.path.isdir(os.path.join(src, floor))]
    unknown = [entry for entry in os.listdir(src)
               if os.path.isdir(os.path.join(src, entry)) and entry not in floors]
    found = list(violations(src, floors, no_host))
    found += ["src/%s: a floor without a folder" % floor for floor in missing]
    found += ["src/%s: a folder that is no floor (declare it in its CMakeLists.txt)" % entry for entry in unknown]
    for line in found:
        print(line)
    print("floors: %d floors, %d includes pointing the wrong way" % (len(floors), len(found)))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
