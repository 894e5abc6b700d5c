#pragma once

#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QString>

/// Makes a folder refuse new files for as long as it lives. Permission bits do not stop root, so as
/// root the folder is made immutable instead. `active()` tells whether a new file is really refused.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(QString path) : m_path(std::move(path))
    {
        if (geteuid() == 0)
            QProcess::execute("chattr", {"+i", m_path});
        else
            QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QFile probe(m_path + "/.probe");
        m_active = !probe.open(QIODevice::WriteOnly);
        if (!m_active)
            probe.remove();
    }
    ~ReadOnlyFolder()
    {
        if (geteuid() == 0)
            QProcess::execute("chattr", {"-i", m_path});
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    bool active() const { return m_active; }

private:
    QString m_path;
    bool m_active = false;
};
