#pragma once

#include <QString>
#include <QStringList>

/// One play-list entry as the editor's list shows it: the file name, and the folder with its trailing
/// separator. The full path is the folder followed directly by the file name.
struct PlayListEntry {
    QString fileName;
    QString folder;
    QString path() const { return folder + fileName; }
    bool operator==(const PlayListEntry&) const = default;
};

/// Splits a path after its last "/": the folder keeps the separator, a path without one is all file name.
PlayListEntry splitPlayListPath(const QString& path);

/// The output device value for an alarm volume in per cent: both channels at level × 256, where the
/// level is percent × 255 / 100 truncated, so 100 % gives 0xFF00FF00.
quint32 alarmVolumeValue(int percent);

/// The reminder text as stored: the memo's lines, none when it is empty.
QStringList reminderLinesFromMemo(const QString& memoText);
/// The memo's text for stored lines: every line followed by a line break, so that the text is the
/// same through any number of saves and loads once it has been loaded once.
QString memoTextFromReminder(const QStringList& lines);
