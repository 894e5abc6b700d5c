#!/usr/bin/env python3
"""Reads the alarm list window over AT-SPI, as a screen reader does: one of its rows shows NAME.

    list_window_shows.py PID NAME

Exit 0 once a row shows it; gives up, listing the rows it read, after the wait limit.
"""
import sys

from accessible_names import children, program, waited


def cells(node):
    """The names of every row cell below node."""
    for child in children(node):
        if child.getRoleName() in {"table cell", "tree item", "list item"} and child.name:
            yield child.name
        yield from cells(child)


def main(pid, name):
    app = waited(f"program {pid} on the accessibility bus", lambda: program(pid))
    shown = []

    def row_shown():
        app.clearCache()
        shown[:] = [cell for window in children(app) for cell in cells(window)]
        return name in shown or None
    try:
        waited(f"a row that reads {name!r}", row_shown)
    except SystemExit as gave_up:
        sys.exit(f"{gave_up}; the rows read: {shown}")


if __name__ == "__main__":
    main(int(sys.argv[1]), sys.argv[2])
