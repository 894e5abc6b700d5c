#include "clockface/skin_choice.h"

#include <QFile>

#include "platform/line_file.h"
#include "platform/text_codec.h"

namespace {
const QString kSection = QStringLiteral("Skin Name");
const QString kFileName = QStringLiteral("skinname.ini");
} // namespace

QString iniValue(const QByteArray& text, const QString& section, const QString& key)
{
    // Written by hand rather than through QSettings: QSettings percent-encodes the blank in
    // "Skin Name" and would neither write nor read the plain section and key.
    LineReader in(text);
    bool inSection = false;
    while (!in.atEnd()) {
        const QString line = decodeText(in.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inSection = line.mid(1, line.size() - 2).trimmed() == section;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inSection && eq > 0 && line.left(eq).trimmed() == key)
            return line.mid(eq + 1).trimmed();
    }
    return {};
}

QString ReadSkinChoice(const QString& programFolder)
{
    QFile file(programFolder + kFileName);
    const QString name = file.open(QIODevice::ReadOnly) ? iniValue(file.readAll(), kSection, kSection) : QString();
    return name == kSkinSantaClaus ? kSkinSantaClaus : kSkinDigital;
}

void WriteSkinChoice(const QString& programFolder, const QString& skinName)
{
    LineWriter out;
    out.line(QStringLiteral("[%1]").arg(kSection));
    out.line(QStringLiteral("%1=%2").arg(kSection, skinName));
    writeFileAtomically(programFolder + kFileName, out.bytes());
}
