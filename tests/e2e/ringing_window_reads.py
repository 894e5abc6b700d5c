#!/usr/bin/env python3
"""Reads the program's ringing window over AT-SPI, as a screen reader does: it shows the line NOTE,
and its clock goes on (the time it shows changes).

    ringing_window_reads.py PID NOTE

Exit 0 when both hold, 1 saying which does not.
"""
import re
import sys
import time

from accessible_names import LIMIT, children, program, waited, window

RINGING_TITLE = "闹铃"
TIME = re.compile(r"\d{1,2}:\d{2}:\d{2}")


def texts(node):
    """The names of every label below node, in the window's order."""
    for child in children(node):
        if child.getRoleName() == "label" and child.name:
            yield child.name
        yield from texts(child)


def shown_time(ringing):
    ringing.clearCache()
    return next((name for name in texts(ringing) if TIME.search(name)), None)


def main(pid, note):
    app = waited(f"program {pid} on the accessibility bus", lambda: program(pid))
    ringing = waited(f"the window {RINGING_TITLE}", lambda: window(app, lambda n: n == RINGING_TITLE))
    faults = []
    end = time.monotonic() + LIMIT
    while note not in texts(ringing) and time.monotonic() < end:
        time.sleep(0.2)
        ringing.clearCache()
    read = list(texts(ringing))
    if note not in read:
        faults.append(f"no line \"{note}\"; the window's labels read {read}")

    first = waited("the ringing window's time", lambda: shown_time(ringing))

    def changed():
        now = shown_time(ringing)
        return now if now and now != first else None
    later = waited(f"the ringing window's time to move on from {first}", changed)
    print(f"the ringing window's clock went from {first} to {later}")

    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(int(sys.argv[1]), sys.argv[2]))
