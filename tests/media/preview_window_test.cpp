#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "media/filter_graph.h"
#include "media/preview_window.h"
#include "media/track_bar.h"
#include "media_test.h"
#include "ui/error_report.h"

namespace {

class PreviewTest : public MediaTest {
protected:
    void SetUp() override
    {
        MediaTest::SetUp();
        setErrorSink([this](const QString& text) { errors.append(text); });
        bar = preview.findChild<TDSTrackBar*>(QStringLiteral("DSTrackBar"));
        ASSERT_NE(bar, nullptr);
    }
    void TearDown() override { setErrorSink({}); }

    /// Runs `steps` once the preview window is open, then closes it; false when it never opened.
    bool whileOpen(const QString& file, const std::function<void()>& steps)
    {
        bool opened = false;
        QTimer::singleShot(0, &preview, [&] {
            opened = preview.isVisible();
            steps();
            preview.close();
        });
        preview.PreviewFile(file);
        return opened;
    }

    TFormPlay preview;
    TDSTrackBar* bar = nullptr;
    QStringList errors;
};

TEST_F(PreviewTest, AFileThatCannotPlayOpensNothingAndSaysNothing)
{
    for (const QString& file : {files->missing(), files->garbage()}) {
        bool stepsRan = false;
        EXPECT_FALSE(whileOpen(file, [&] { stepsRan = true; }));
        QTest::qWait(0); // let the queued steps run, now that nothing blocks
        EXPECT_TRUE(stepsRan);
        EXPECT_FALSE(preview.isVisible());
        EXPECT_FALSE(preview.FilterGraph().Active());
    }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(PreviewTest, LoopsAtTheEndPausesAndResumes)
{
    QList<int> positions;
    QObject::connect(bar, &TDSTrackBar::OnTimer, [&] { positions.append(bar->Position()); });
    const bool opened = whileOpen(files->wav400ms(), [&] {
        EXPECT_EQ(preview.size(), QSize(292, 263));
        EXPECT_EQ(bar->geometry(), QRect(72, 232, 214, 25));
        EXPECT_EQ(preview.findChild<QPushButton*>("BitBtn1")->geometry(), QRect(8, 232, 25, 25));
        EXPECT_EQ(preview.findChild<QPushButton*>("BitBtn2")->geometry(), QRect(38, 232, 25, 25));
        // A 0.4 s file ends at every tick and starts again from its beginning.
        ASSERT_TRUE(QTest::qWaitFor([&] { return positions.size() >= 3; }, 20000));
        EXPECT_TRUE(preview.FilterGraph().positionMs().value_or(-1) < 1000);

        QTest::mouseClick(preview.findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
        EXPECT_FALSE(bar->timerRunning());
        QTest::mouseClick(preview.findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
        EXPECT_TRUE(bar->timerRunning());
    });
    EXPECT_TRUE(opened);
    EXPECT_EQ(positions.first(), 0);
    EXPECT_FALSE(preview.isVisible());
    EXPECT_FALSE(preview.FilterGraph().Active());
    EXPECT_FALSE(bar->timerRunning()); // closed while playing: the position readings end with it
    EXPECT_TRUE(errors.isEmpty());
}

} // namespace
