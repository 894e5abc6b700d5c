#include "ringing/last_checked_file.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>

#include "platform/errors.h"
#include "platform/line_file.h"

LastCheckedFile::LastCheckedFile(const QString& folder) : m_path(folder + QStringLiteral("lastcheck.ini")) {}

std::optional<QDateTime> LastCheckedFile::read(const QDateTime& now) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Whatever the file holds, the program was running when it was written: what fell due since
    // then is rung or listed, never dropped.
    const QDateTime written = QFileInfo(file).lastModified();
    LineReader in(file.read(64));
    bool ok = false;
    const qint64 seconds = in.readLine().toLongLong(&ok);
    if (!ok || seconds <= 0)
        return written.isValid() ? std::optional(std::min(written, now)) : std::nullopt;
    const QDateTime stored = QDateTime::fromSecsSinceEpoch(seconds);
    if (stored > now)
        return written.isValid() ? std::min(written, now) : now;
    return stored;
}

void LastCheckedFile::write(const QDateTime& instant) const
{
    LineWriter out;
    out.line(QByteArray::number(instant.toSecsSinceEpoch()));
    writeFileAtomically(m_path, out.bytes());
}
