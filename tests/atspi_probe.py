#!/usr/bin/python3
"""Reads the focused editor of a running Yomikaki through the accessibility
bus, as a screen reader does, and checks what it tells.

usage: atspi_probe.py CARET_OFFSET LINE_AT_CARET CHAR_BEFORE_CARET
Exits 0 when the focused text object says so within 15 seconds, else 1.
"""
import sys
import time

import pyatspi


def focused_text(node, depth=0):
    for child in node:
        if child is None:
            continue
        if child.getState().contains(pyatspi.STATE_FOCUSED) and "Text" in pyatspi.listInterfaces(child):
            return child
        if depth < 12:
            found = focused_text(child, depth + 1)
            if found is not None:
                return found
    return None


def look():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "yomikaki":
            editor = focused_text(app)
            if editor is None:
                return "no focused text object"
            text = editor.queryText()
            caret = text.caretOffset
            line = text.getTextAtOffset(max(caret - 1, 0), pyatspi.TEXT_BOUNDARY_LINE_START)
            before = text.getTextAtOffset(max(caret - 1, 0), pyatspi.TEXT_BOUNDARY_CHAR)
            return (editor.getRoleName(), caret, line[0], before[0])
    return "no application"


def main():
    want = ("text", int(sys.argv[1]), sys.argv[2], sys.argv[3])
    end = time.monotonic() + 15
    seen = None
    while time.monotonic() < end:
        seen = look()
        if seen == want:
            print("ok: role %s, caret %d, line %r, before the caret %r" % seen)
            return 0
        time.sleep(0.3)
    print("FAIL: wanted %r, saw %r" % (want, seen), file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
