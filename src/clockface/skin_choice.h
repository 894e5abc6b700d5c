#pragma once

#include <QString>

inline const QString kSkinDigital = QStringLiteral("Digital");
inline const QString kSkinSantaClaus = QStringLiteral("Santa Claus");

/// The skin named by "skinname.ini" in the program folder: "Digital" or "Santa Claus", matched
/// exactly (letter case included); anything else, a missing file included, is "Digital".
QString ReadSkinChoice(const QString& programFolder);

/// Stores the skin name in "skinname.ini": section "Skin Name", key "Skin Name", replacing the file.
void WriteSkinChoice(const QString& programFolder, const QString& skinName);

/// The value of `key` in `section` of INI text; empty when absent. Names are matched exactly after
/// trimming blanks, as INI files are read elsewhere.
QString iniValue(const QByteArray& text, const QString& section, const QString& key);
