#include <gtest/gtest.h>

#include <QApplication>

// These tests meet a real X server: the one the test script starts, named in BELVANE_TEST_DISPLAY.
// Without it (test discovery at build time) the binary runs offscreen and the tests skip.
int main(int argc, char** argv)
{
    const QByteArray display = qgetenv("BELVANE_TEST_DISPLAY");
    if (display.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else {
        qputenv("DISPLAY", display);
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
