#include "ringing/last_checked_file.h"

#include <QFile>

#include "platform/errors.h"
#include "platform/line_file.h"

LastCheckedFile::LastCheckedFile(const QString& folder) : m_path(folder + QStringLiteral("lastcheck.ini")) {}

std::optional<QDateTime> LastCheckedFile::read() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    LineReader in(file.read(64));
    bool ok = false;
    const qint64 seconds = in.readLine().toLongLong(&ok);
    if (!ok || seconds <= 0)
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(seconds);
}

void LastCheckedFile::write(const QDateTime& instant) const
{
    LineWriter out;
    out.line(QByteArray::number(instant.toSecsSinceEpoch()));
    writeFileAtomically(m_path, out.bytes());
}
