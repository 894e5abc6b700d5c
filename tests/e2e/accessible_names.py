#!/usr/bin/env python3
"""Reads the program's windows over AT-SPI, as a screen reader does, and checks what the alarm
editor's fields and the clock face are called.

    accessible_names.py PID CLOCK_START STARTED_AT [zh|en]

PID is the program's process; its clock read CLOCK_START ("hh:mm:ss") at the moment STARTED_AT
(seconds since the epoch) and runs on in real time; the last argument is the interface's language
(Chinese when not given). Exit 0 when every name is right, 1 with the
wrong ones listed.
"""
import collections
import datetime
import os
import sys
import time

import pyatspi

LIMIT = float(os.environ.get("BELVANE_WAIT_LIMIT", "30"))
# What the editor and its volume page are called, in each language of the interface.
EDITOR_TITLE = {"zh": "闹钟设置", "en": "Alarm settings"}
VOLUME_GROUP = {"zh": "音量控制", "en": "Volume"}

# Every field of the editor by what a screen reader calls its kind and its caption, in Chinese and in
# English: the program names the fields itself, check boxes and radio buttons by their captions, and
# lists (combo boxes) by the labels they belong to.
EDITOR_FIELDS = [
    ("text", "提醒文本", "Reminder text"),
    ("combo box", "频率：", "Frequency:"),
    ("spin button", "时间（小时，分钟，秒）", "Time (hour, minute, second)"),
    ("spin button", "日期（年，月，日）", "Date (year, month, day)"),
    *(("check box", zh, en) for zh, en in (("星期天", "Sun"), ("星期一", "Mon"), ("星期二", "Tue"), ("星期三", "Wed"),
                                           ("星期四", "Thu"), ("星期五", "Fri"), ("星期六", "Sat"))),
    ("radio button", "播放音频和视频：", "Play audio and video:"),
    ("tree", "播放列表", "Play list"),
    ("radio button", "播放闹铃声音", "Play an alarm sound"),
    ("combo box", "播放", "Play"),
    ("spin button", "持续（分钟）", "Lasting (minutes)"),
    ("check box", "开头      分钟进行淡入处理", "                 minutes of fade-in at the start"),
    ("spin button", "开头进行淡入处理（分钟）", "Fade in over the first (minutes)"),
    ("check box", "播放       分钟后开始进行淡出处理", "                      minutes of playing, then fade out"),
    ("spin button", "播放后开始进行淡出处理（分钟）", "Fade out after playing (minutes)"),
    ("check box", "播放音乐      分钟后自动开始打盹儿", "                        minutes of ringing, then snooze"),
    ("spin button", "播放音乐后自动开始打盹儿（分钟）", "Snooze by itself after playing (minutes)"),
    ("spin button", "默认打盹儿时间（分钟）", "Default snooze time (minutes)"),
    ("slider", "闹铃音量（百分比）", "Alarm volume (percent)"),
    ("radio button", "不自动关闭闹铃窗口。", "Do not close the alarm window by itself."),
    ("radio button", "播放声音或音乐文件完毕后自动关闭窗口。", "Close the window when the sound has finished."),
    ("radio button", "自动关闭于        分钟后。", "Close after          minutes."),
    ("spin button", "自动关闭于（分钟）", "Close by itself after (minutes)"),
    ("combo box", "节电", "Power saving"),
]
FIELD_KINDS = {kind for kind, _, _ in EDITOR_FIELDS} | {"entry", "password text"}


def waited(what, find):
    """What find() returns once it returns something, polled for up to LIMIT seconds."""
    end = time.monotonic() + LIMIT
    while True:
        found = find()
        if found is not None:
            return found
        if time.monotonic() > end:
            sys.exit(f"gave up waiting for {what} after {LIMIT:g} s")
        time.sleep(0.2)


def children(node):
    return [c for c in (node.getChildAtIndex(i) for i in range(node.childCount)) if c is not None]


def program(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    desktop.clearCache()  # programs that registered since the last look
    return next((app for app in children(desktop) if app.get_process_id() == pid), None)


def window(app, is_it):
    app.clearCache()
    return next((w for w in children(app) if is_it(w.name)), None)


def caption(field, kind):
    """What a screen reader calls a field: its name, but a combo box's name is its chosen item, and it
    is called by what it is labelled by."""
    if kind != "combo box":
        return field.name
    return " ".join(relation.getTarget(i).name for relation in field.getRelationSet()
                    if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
                    for i in range(relation.getNTargets()))


def fields(node, groups=()):
    """(kind, caption, titles of the groups around it) of every field below node."""
    for child in children(node):
        kind = child.getRoleName()
        if kind in FIELD_KINDS:
            yield kind, caption(child, kind), groups
        yield from fields(child, groups + ((child.name,) if kind == "panel" else ()))


def main(pid, clock_start, started_at, language):
    title = EDITOR_TITLE[language]
    app = waited(f"program {pid} on the accessibility bus", lambda: program(pid))
    editor = waited(f"the window {title}", lambda: window(app, lambda n: n == title))
    found = list(fields(editor))
    faults = [f"a {kind} has no name (in {' / '.join(groups) or 'no group'})"
              for kind, name, groups in found if not name]

    column = 1 if language == "zh" else 2
    wanted = collections.Counter((field[0], field[column]) for field in EDITOR_FIELDS)
    read = collections.Counter((kind, name) for kind, name, _ in found)
    faults += [f"no {kind} named \"{name}\"" for kind, name in (wanted - read).elements()]
    faults += [f"unexpected {kind} named \"{name}\"" for kind, name in (read - wanted).elements()]

    volume = [name for kind, name, groups in found if kind == "spin button" and VOLUME_GROUP[language] in groups]
    if len(set(volume)) != 4:
        faults.append(f"the volume page's four pickers read {volume}")
    # A picker called by its group's title reads the same as the other pickers of the group.
    faults += [f"a picker reads as its group's title \"{name}\"" for kind, name, groups in found
               if kind == "spin button" and name in groups]

    # The face reads the time it shows: hh:mm on the 24-hour face. The program's clock is known to
    # within a second or so, and the face redraws each second: either minute is right near a turn.
    def clock(at):
        start = datetime.datetime.combine(datetime.date.today(), datetime.time.fromisoformat(clock_start))
        return (start + datetime.timedelta(seconds=at - started_at)).strftime("%H:%M")
    before = clock(time.time() - 2)
    face = window(app, lambda n: n in (before, clock(time.time() + 2)))
    if face is None:
        names = [w.name for w in children(app)]
        faults.append(f"no window reads the time {before}; the windows read {names}")

    for fault in faults:
        print(fault, file=sys.stderr)
    print(f"{len(found)} fields of the editor read, {len(faults)} wrong")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(int(sys.argv[1]), sys.argv[2], float(sys.argv[3]), sys.argv[4] if len(sys.argv) > 4 else "zh"))
