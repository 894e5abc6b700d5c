#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QString>
#include <QWidget>

#include "helpers/wait_limit.h"

/// Skips the test unless it runs on a real X server.
#define SKIP_WITHOUT_X11()                                                                                   \
    do {                                                                                                     \
        if (QGuiApplication::platformName() != QLatin1String("xcb"))                                         \
            GTEST_SKIP() << "needs the X server named in BELVANE_TEST_DISPLAY";                              \
    } while (false)

/// Saves a picture of a window into BELVANE_SCREENSHOT_DIR when that is set, to look at by eye.
inline void keepScreenshot(QWidget& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("BELVANE_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
