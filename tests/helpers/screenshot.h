#pragma once

#include <QDir>
#include <QWidget>

/// Saves what a window shows as build/tests/screenshots/NAME.png, for people to look at.
inline void saveScreenshot(QWidget& window, const QString& name)
{
    const QString folder = QStringLiteral(QT_TESTCASE_BUILDDIR) + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    window.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}
