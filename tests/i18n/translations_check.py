#!/usr/bin/env python3
"""Fails when the English translation is behind the sources, or a text a user can see is not marked.

usage: translations_check.py LUPDATE SOURCE_FOLDER TS_FILE

1. lupdate reads the sources into a copy of the .ts file; every message must then be translated,
   and none may have vanished from the sources (a translation nobody uses any more).
2. Every literal a user can see must be the text of tr(), translate(), QT_TRANSLATE_NOOP() or
   QT_TR_NOOP(): one (adjacent literals are one) that holds a Chinese character, two English words in
   a row, or a word given to a call that shows it or carries it to the user (SHOWN_BY, below); not
   file names and paths, texts for the developer's log (qDebug, ...) nor those listed below.
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# Literals never shown as they are, wherever they stand: the program's name (the same in every
# language), font family names (fonts are found by them), a skin folder's name and format patterns.
NEVER_SHOWN = {"Belvane", "宋体", "Noto Serif CJK SC", "Noto Sans CJK SC", "Santa Claus",
               "hh:nn:ss AM/PM", "yyyy-MM-dd HH:mm:ss", "h:mm AP", "ddd, mmmm,dd, yyyy"}
# Other literals that look like interface texts but are never shown as they are, each with why. None
# for the literal: the whole file.
NOT_SHOWN = {
    ("alarms/alarm_list_window.cpp", "2027年12月24日 07:00"): "a width sample, never shown",
    ("ringing/alarm_run_window.cpp", "闹铃打盹儿确定 0123456789:"): "a sample that opens the fonts, never shown",
    ("alarms/alarm_display.cpp", " 每小时"): "the stored form of a row added in this run",
    ("alarms/alarm_display.cpp", " 每月"): "the stored form of a row added in this run",
    ("alarms/alarm_display.cpp", " of every hour"): "the stored form of a row added in this run",
    ("alarms/alarm_settings_file.cpp", None): "the marker lines of the settings file format",
    ("clockface/options_file.cpp", "***Hourly Chimes***"): "a marker line of the options file",
    ("clockface/skin_choice.cpp", "Skin Name"): "a section name in skinname.ini",
    ("shell/sys_tray.h", "SysTray Component."): "the icon's first hint, replaced before the icon is shown",
    ("platform/autostart.cpp", None): "the autostart entry's file text",
    ("shell/alarm_bus.h", "D-Bus Interface"): "the key of Qt's D-Bus interface name",
    ("wake/belvane_wake.cpp", None): "the wake helper has no interface: its error output is the log",
}

CJK = re.compile(r"[\u3000-\u303f\u4e00-\u9fff\uff00-\uffef]")
ENGLISH_WORDS = re.compile(r"[A-Za-z]{2,}'?[a-z]*\s+[A-Za-z]{2,}")
A_WORD = re.compile(r"[A-Za-z]{2,}")
LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
# Adjacent literals are one literal to the compiler.
LITERAL_RUN = re.compile(r'"(?:[^"\\\n]|\\.)*"(?:\s*"(?:[^"\\\n]|\\.)*")*')
MARKED = re.compile(r'(?:\btr|\btranslate|\bQT_TRANSLATE_NOOP|\bQT_TR_NOOP)\(\s*(?:"(?:[^"\\\n]|\\.)*"\s*,\s*)?$')
SHOWN_BY = re.compile(
    r"(?:\b(?:setText|setWindowTitle|setToolTip|setStatusTip|setWhatsThis|setPlaceholderText|setAccessibleName"
    r"|setAccessibleDescription|addAction|addMenu|addItem|addItems|insertItem|setItemText|setTabText|addTab"
    r"|setTitle|setLabelText|setHint|showMessage|reportError|reportNotice|QMessageBox)"
    r"|\b[A-Z]\w*(?:Error|Exception))\s*\(")
LOGGED = re.compile(r"\bq(?:Debug|Info|Warning|Critical|Fatal)\s*\(")
# A file name or a path ("Background.bmp", ":/icons/x.png", "sounds/"): shown only as a file's name.
FILE_NAME = re.compile(r"^(?::?/)?(?:[\w%.-]+/)*[\w%-]*(?:\.\w+|/)$")
STATEMENT_END = re.compile(r"[;{}]")


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


def user_visible(literal, statement):
    """Whether a literal, in the statement that holds it up to the literal, is a text a user sees."""
    if literal in NEVER_SHOWN or FILE_NAME.match(literal) or LOGGED.search(statement):
        return False
    if CJK.search(literal) or ENGLISH_WORDS.search(literal):
        return True
    return bool(A_WORD.search(literal) and SHOWN_BY.search(statement))


def unmarked_literals(source_folder):
    faults = []
    for path in sorted(source_folder.rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        relative = path.relative_to(source_folder).as_posix()
        text = strip_comments(path.read_text(encoding="utf-8"))
        for m in LITERAL_RUN.finditer(text):
            literal = "".join(part.group(1) for part in LITERAL.finditer(m.group(0)))
            if text[max(0, m.start() - 1) : m.start()] == "<":
                continue  # #include <...> never holds a quote, but "<" before one is an include path
            before = text[max(0, m.start() - 400) : m.start()]
            if MARKED.search(before[-200:]):
                continue
            ends = [e.end() for e in STATEMENT_END.finditer(before)]
            statement = before[ends[-1] :] if ends else before
            if text[: m.start()].rstrip().endswith("#include") or not user_visible(literal, statement):
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
