#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

/// A fresh program folder for one test, with its trailing separator, removed afterwards.
class TempFolder {
public:
    QString path() const { return m_dir.path() + QLatin1Char('/'); }
    QString file(const QString& name) const { return path() + name; }

    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(file(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    QByteArray read(const QString& name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool exists(const QString& name) const { return QFile::exists(file(name)); }

    /// Copies the program's own skins into this folder, as a built program folder holds them.
    void installSkins() const
    {
        for (const QString skin : {"Digital", "Santa Claus"}) {
            const QDir from(QStringLiteral(BELVANE_ASSETS_DIR "/") + skin);
            QDir(path()).mkpath(skin);
            for (const QString& name : from.entryList(QDir::Files))
                QFile::copy(from.filePath(name), file(skin + QLatin1Char('/') + name));
        }
    }

private:
    QTemporaryDir m_dir;
};
