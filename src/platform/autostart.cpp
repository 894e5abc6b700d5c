#include "platform/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/errors.h"
#include "platform/line_file.h"

QString XdgAutostart::entryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(config + QStringLiteral("/autostart/Belvane.desktop"));
}

QString XdgAutostart::execArgument(const QString& programPath)
{
    // Desktop entries quote an argument holding a reserved character, escaping ", `, $ and \ inside
    // the quotes; the key's value is then a string in which \ itself is written twice. "%" starts a
    // field code, so a literal one is doubled.
    static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = programPath;
    arg.replace(QLatin1Char('%'), QStringLiteral("%%"));
    bool quote = false;
    for (QChar c : arg)
        quote = quote || kReserved.contains(c);
    if (quote) {
        QString quoted;
        for (QChar c : arg) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        arg = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    arg.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    arg.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    arg.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    return arg;
}

QByteArray XdgAutostart::entryText(bool enabled, const QString& programPath, const QStringList& arguments)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Belvane\n"
                                  "Comment=闹钟\n"
                                  "Icon=belvane\n"
                                  "Terminal=false\n");
    // A desktop skips an entry whose TryExec is gone, so a clock removed with its package is not
    // started at every login. The value is a plain string: only \, newlines and tabs are escaped.
    QString tryExec = programPath;
    tryExec.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    tryExec.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    tryExec.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    text += QStringLiteral("TryExec=") + tryExec + QLatin1Char('\n');
    text += QStringLiteral("Exec=") + execArgument(programPath);
    for (const QString& argument : arguments)
        text += QLatin1Char(' ') + execArgument(argument);
    text += QLatin1Char('\n');
    text += QStringLiteral("Hidden=") + (enabled ? QStringLiteral("false") : QStringLiteral("true")) +
            QLatin1Char('\n');
    text += QStringLiteral("X-GNOME-Autostart-enabled=") +
            (enabled ? QStringLiteral("true") : QStringLiteral("false")) + QLatin1Char('\n');
    return text.toUtf8();
}

bool XdgAutostart::isEnabled() const
{
    QFile entry(entryPath());
    if (!entry.open(QIODevice::ReadOnly))
        return false;
    bool inEntryGroup = false;
    while (!entry.atEnd()) {
        QByteArray line = entry.readLine().trimmed();
        if (line.startsWith('[')) {
            inEntryGroup = line == "[Desktop Entry]";
            continue;
        }
        line.replace(' ', QByteArray()); // "Key = value" is allowed too
        if (inEntryGroup && (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false"))
            return false;
    }
    return true;
}

void XdgAutostart::setEnabled(bool enabled, const QString& programPath)
{
    const QString path = entryPath();
    if (!enabled) {
        // Removed rather than hidden, so the box reads clear, and the desktop's own list shows nothing
        // of a program the user turned off.
        QFile::remove(path);
        return;
    }
    const QByteArray text = entryText(true, programPath, m_arguments);
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        writeFileAtomically(path, text);
    } catch (const IoError&) {
        // As with a registry key the user may not write: nothing written, nothing said.
    }
}
