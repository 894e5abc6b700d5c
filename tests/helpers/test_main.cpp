#include <gtest/gtest.h>

#include <QApplication>

#include "app/fonts.h"

int main(int argc, char** argv)
{
    // Test discovery runs this binary without the tests' environment: never reach for a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
