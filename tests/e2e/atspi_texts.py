#!/usr/bin/python3
"""Prints every name and description that the program exposes to assistive
technologies (AT-SPI), one per line: what a screen reader can read."""
import sys
import time

import pyatspi


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    try:
        for text in (node.name, node.description):
            if text:
                print(text)
        for i in range(node.childCount):
            walk(node.getChildAtIndex(i), depth + 1)
    except Exception:  # an object that went away while being read
        pass


def main():
    wanted = sys.argv[1].lower() if len(sys.argv) > 1 else "kelvra"
    deadline = time.time() + 20
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name and app.name.lower() == wanted:
                walk(app)
                return 0
        time.sleep(0.5)
    print("no application named " + wanted, file=sys.stderr)
    return 1


sys.exit(main())
