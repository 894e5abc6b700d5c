#!/usr/bin/env python3
"""Fails when the English translation is behind the sources, or a shown Chinese text is not marked.

usage: translations_check.py LUPDATE SOURCE_FOLDER TS_FILE

1. lupdate reads the sources into a copy of the .ts file; every message must then be translated,
   and none may have vanished from the sources (a translation nobody uses any more).
2. Every Chinese string literal in the sources must be the text of tr(), translate() or
   QT_TRANSLATE_NOOP(), unless it is one of the few that are never shown as they are (below).
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# Chinese literals that are not interface texts, each with why.
NOT_SHOWN = {
    ("app/fonts.h", "宋体"): "a font family's name",
    ("media/player_font.h", "宋体"): "a font family's name",
    ("shell/about_box.cpp", "宋体"): "a font family's name",
    ("shell/help_viewer.cpp", "宋体"): "a font family's name",
    ("ringing/alarm_run_window.cpp", "宋体"): "a font family's name",
    ("clockface/options_dialog.cpp", "宋体"): "a font family's name",
    ("alarms/alarm_editor.cpp", "宋体"): "a font family's name",
    ("alarms/alarm_list_window.cpp", "宋体"): "a font family's name",
    ("alarms/alarm_list_window.cpp", "2027年12月24日 07:00"): "a width sample, never shown",
    ("ringing/alarm_run_window.cpp", "闹铃打盹儿确定 0123456789:"): "a sample that opens the fonts, never shown",
    ("alarms/alarm_display.cpp", " 每小时"): "the stored form of a row added in this run",
    ("alarms/alarm_display.cpp", " 每月"): "the stored form of a row added in this run",
    ("platform/autostart.cpp", None): "the autostart entry's file text",
}

CJK = re.compile(r"[\u3000-\u303f\u4e00-\u9fff\uff00-\uffef]")
LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
MARKED = re.compile(r'(?:\btr|\btranslate|\bQT_TRANSLATE_NOOP|\bQT_TR_NOOP)\(\s*(?:"(?:[^"\\\n]|\\.)*"\s*,\s*)?$')


def strip_comments(text):
    """Comments and character literals become blanks (newlines kept), so line numbers and string
    literals stay where they are."""
    out = []
    i = 0
    while i < len(text):
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = len(text) if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = len(text) if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif text[i] == '"':
            m = LITERAL.match(text, i)
            j = m.end() if m else i + 1
            out.append(text[i:j])
            i = j
        elif text[i] == "'" and re.match(r"'(?:[^'\\\n]|\\.)'", text[i:]):
            m = re.match(r"'(?:[^'\\\n]|\\.)'", text[i:])
            out.append(" " * m.end())  # a '"' would otherwise open a string
            i += m.end()
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def unmarked_literals(source_folder):
    faults = []
    for path in sorted(source_folder.rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        relative = path.relative_to(source_folder).as_posix()
        text = strip_comments(path.read_text(encoding="utf-8"))
        for m in LITERAL.finditer(text):
            literal = m.group(1)
            if not CJK.search(literal) or MARKED.search(text[max(0, m.start() - 200) : m.start()]):
                continue
            if (relative, literal) in NOT_SHOWN or (relative, None) in NOT_SHOWN:
                continue
            line = text.count("\n", 0, m.start()) + 1
            faults.append(f'{relative}:{line}: "{literal}" is shown untranslated: mark it with tr()')
    return faults


def translation_faults(lupdate, source_folder, ts_file):
    faults = []
    with tempfile.TemporaryDirectory() as folder:
        copy = pathlib.Path(folder) / ts_file.name
        shutil.copy(ts_file, copy)
        subprocess.run([lupdate, "-silent", "-locations", "none", str(source_folder), "-ts", str(copy)], check=True)
        for context in ET.parse(copy).getroot().iter("context"):
            name = context.findtext("name")
            for message in context.iter("message"):
                source = message.findtext("source")
                translation = message.find("translation")
                kind = translation.get("type") if translation is not None else "unfinished"
                if kind in ("vanished", "obsolete"):
                    faults.append(f'{ts_file.name}: {name}: "{source}" is no longer in the sources')
                elif kind == "unfinished" or not (translation.text or "").strip():
                    faults.append(f'{ts_file.name}: {name}: "{source}" has no English translation')
    return faults


def main():
    lupdate, source_folder, ts_file = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    faults = translation_faults(lupdate, source_folder, ts_file) + unmarked_literals(source_folder)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
