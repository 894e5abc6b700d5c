#include "platform/process_age.h"

#include <unistd.h>

#include <algorithm>

#include <QByteArray>
#include <QFile>
#include <QList>

namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

qint64 processAgeMs(qint64 pid)
{
    // The command name in parentheses may hold blanks: the fields are counted after its ')'. The
    // start time is the 22nd field, the 20th after the name.
    const QByteArray stat =
        readAll(pid ? QStringLiteral("/proc/%1/stat").arg(pid) : QStringLiteral("/proc/self/stat"));
    const qsizetype nameEnd = stat.lastIndexOf(')');
    const QList<QByteArray> fields = stat.mid(nameEnd + 2).split(' ');
    const QList<QByteArray> uptime = readAll(QStringLiteral("/proc/uptime")).split(' ');
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    if (nameEnd < 0 || fields.size() < 20 || uptime.isEmpty() || ticksPerSecond <= 0)
        return 0;
    bool startRead = false, uptimeRead = false;
    const qint64 startTicks = fields[19].toLongLong(&startRead);
    const double uptimeSeconds = uptime[0].toDouble(&uptimeRead);
    if (!startRead || !uptimeRead)
        return 0;
    return std::max<qint64>(0, qint64(uptimeSeconds * 1000) - startTicks * 1000 / ticksPerSecond);
}
