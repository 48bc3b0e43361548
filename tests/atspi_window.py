#!/usr/bin/python3
"""Looks at the main window of a running Yomikaki through the accessibility
bus: where its tool bar's search box is, and what its status bar says.

usage: atspi_window.py box            prints the centre of the search box
                                      ("X Y", screen pixels)
       atspi_window.py label REGEX    waits until a label's text matches
                                      REGEX from its start
Exits 0 once found within 15 seconds, else 1.
"""
import re
import sys
import time

import pyatspi


def walk(node, depth=0):
    for child in node:
        if child is None:
            continue
        yield child
        if depth < 12:
            yield from walk(child, depth + 1)


def app():
    for a in pyatspi.Registry.getDesktop(0):
        if a is not None and a.name == "yomikaki":
            return a
    return None


def search_box():
    a = app()
    if a is None:
        return None
    for node in walk(a):
        if node.getRole() == pyatspi.ROLE_COMBO_BOX and node.getState().contains(pyatspi.STATE_SHOWING):
            box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            if box.width > 0 and box.height > 0:
                return "%d %d" % (box.x + box.width // 3, box.y + box.height // 2)
    return None


def labels():
    a = app()
    return [] if a is None else [n.name for n in walk(a) if n.getRole() == pyatspi.ROLE_LABEL]


def main():
    end = time.monotonic() + 15
    seen = None
    while time.monotonic() < end:
        if sys.argv[1] == "box":
            seen = search_box()
            if seen is not None:
                print(seen)
                return 0
        else:
            seen = labels()
            if any(re.match(sys.argv[2], name) for name in seen):
                return 0
        time.sleep(0.3)
    print("FAIL: wanted %r, saw %r" % (sys.argv[1:], seen), file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
