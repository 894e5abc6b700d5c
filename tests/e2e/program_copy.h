#pragma once

#include <functional>
#include <memory>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "helpers/temp_folder.h"

/// A copy of the built program in a fresh program folder, with its own runtime folder.
class ProgramCopy {
public:
    ProgramCopy()
    {
        QFile::copy(BELVANE_EXE, m_folder.file("belvane"));
        QFile::setPermissions(m_folder.file("belvane"), QFileDevice::ExeOwner | QFileDevice::ReadOwner);
        m_folder.write("al.ini", "0\r\n");
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("XDG_RUNTIME_DIR", m_runtime.path());
        m_env.insert("XDG_CONFIG_HOME", m_config.path()); // where the options' OK writes the autostart entry
        m_env.insert("QT_QPA_PLATFORM", "offscreen");
    }

    /// Starts the copy; `inChild`, when given, runs in the new process just before the program does.
    /// `channels`: what it writes is forwarded, or kept for the test to read.
    std::unique_ptr<QProcess>
    start(const std::function<void()>& inChild = {},
          QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel) const
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(m_env);
        p->setProcessChannelMode(channels);
        if (inChild)
            p->setChildProcessModifier(inChild);
        p->start(m_folder.file("belvane"), {});
        p->waitForStarted();
        return p;
    }

    /// Waits until the running copy listens, which is when a second start can find it.
    bool waitForListening(int ms) const
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            for (const QString& f : QDir(m_runtime.path()).entryList(QDir::System))
                if (f.endsWith(".socket"))
                    return true;
            QThread::msleep(20);
        }
        return false;
    }

    /// Name, size, time and hash of every file in the program folder.
    QStringList snapshot() const
    {
        QStringList out;
        QDirIterator it(m_folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            out << path + " " + it.fileInfo().lastModified().toString(Qt::ISODateWithMs) + " " +
                       QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex();
        }
        out.sort();
        return out;
    }

    QString runtime() const { return m_runtime.path(); }

private:
    TempFolder m_folder;
    QTemporaryDir m_runtime;
    QTemporaryDir m_config;
    QProcessEnvironment m_env;
};
