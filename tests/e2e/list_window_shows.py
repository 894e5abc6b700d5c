#!/usr/bin/env python3
"""Reads the alarm list window over AT-SPI, as a screen reader does: one of its rows shows NAME.

    list_window_shows.py PID NAME

Exit 0 once a row shows it, 1 when none does within the limit.
"""
import sys
import time

from accessible_names import LIMIT, children, program, waited

ROW_ROLES = {"table cell", "tree item", "list item"}


def cells(node):
    """The names of every row cell below node."""
    for child in children(node):
        if child.getRoleName() in ROW_ROLES and child.name:
            yield child.name
        yield from cells(child)


def main(pid, name):
    app = waited(f"program {pid} on the accessibility bus", lambda: program(pid))
    end = time.monotonic() + LIMIT
    shown = []
    while time.monotonic() < end:
        app.clearCache()
        shown = [cell for window in children(app) for cell in cells(window)]
        if name in shown:
            return 0
        time.sleep(0.2)
    print(f"no row reads {name!r}; the rows read: {shown}", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(int(sys.argv[1]), sys.argv[2]))
