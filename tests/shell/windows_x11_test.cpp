#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRawFont>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

#include "shell/about_box.h"
#include "shell/help_book.h"
#include "shell/help_viewer.h"
#include "x11_support.h"

namespace {

/// Every character of a text has a glyph in the font the label really uses, and the text fits.
void expectReadable(const QLabel* label)
{
    SCOPED_TRACE(label->objectName().toStdString());
    const QRawFont raw = QRawFont::fromFont(label->font());
    ASSERT_TRUE(raw.isValid());
    for (QChar c : label->text())
        EXPECT_TRUE(raw.supportsCharacter(c))
            << "no glyph for U+" << std::hex << int(c.unicode()) << " in " << raw.familyName().toStdString();
    // Drawn from the top: nothing of the glyphs may fall below the label's bottom edge.
    const QFontMetrics metrics = label->fontMetrics();
    EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width());
    EXPECT_LE(metrics.ascent() + metrics.tightBoundingRect(label->text()).bottom(), label->height());
}

} // namespace

TEST(AboutOnX11, EveryLabelIsReadableInItsBand)
{
    SKIP_WITHOUT_X11();
    TFormAbout about;
    // The longest wake line there is: the reason a user install gives.
    about.wakeStatus = [] { return QStringLiteral("不能唤醒电脑：唤醒程序没有 cap_wake_alarm 权限"); };
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about, kWaitLimitMs));
    const QList<QLabel*> labels = about.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 7) << "six labels and the wake line";
    for (const QLabel* label : labels)
        expectReadable(label);
    // Centred on the screen.
    const QPoint screenCentre = about.screen()->availableGeometry().center();
    EXPECT_LE((about.geometry().center() - screenCentre).manhattanLength(), 40);
    keepScreenshot(about, QStringLiteral("about"));
    QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("ButtonOK")), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

TEST(HelpOnX11, TheBookOpensAndItsContentsLeadToItsSections)
{
    SKIP_WITHOUT_X11();
    const QString topic = helpTopicPath(QStringLiteral(BELVANE_PROGRAM_FOLDER "/"));
    ASSERT_TRUE(QFile::exists(topic)) << topic.toStdString();
    HelpViewer* viewer = ShowHelp(nullptr, topic);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer, kWaitLimitMs));
    const QTextDocument* page = viewer->browser()->document();
    EXPECT_FALSE(viewer->browser()->documentTitle().isEmpty());

    // Every link of the book leads somewhere (a section of this page or a file beside it), and every
    // picture is there.
    const QStringList names = [&] {
        QStringList all;
        for (QTextBlock b = page->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                all += it.fragment().charFormat().anchorNames();
        return all;
    }();
    int links = 0;
    int pictures = 0;
    for (QTextBlock b = page->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                const QUrl picture =
                    viewer->browser()->source().resolved(QUrl(format.toImageFormat().name()));
                EXPECT_TRUE(QFile::exists(picture.toLocalFile())) << picture.toString().toStdString();
                ++pictures;
            }
            const QString href = format.anchorHref();
            if (href.isEmpty())
                continue;
            ++links;
            const QUrl target = viewer->browser()->source().resolved(QUrl(href));
            if (href.startsWith(QLatin1Char('#'))) {
                EXPECT_TRUE(names.contains(target.fragment())) << href.toStdString();
            } else if (target.isLocalFile()) {
                EXPECT_TRUE(QFile::exists(target.toLocalFile())) << href.toStdString();
            }
        }
    }
    EXPECT_GT(links, 10);
    EXPECT_GE(pictures, 4);

    // The book names the windows' own captions, so a reader finds what they see.
    const QString text = page->toPlainText();
    for (const char* caption :
         {"闹钟设置", "基本设置", "声音和音乐", "音量控制", "其他", "打盹儿", "整点闹铃声", "基本选项",
          "电子表", "圣诞老人", "播放列表", "关闭方式", "节电", "Options.ini", "al.ini", "skinname.ini"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(caption))) << caption;

    keepScreenshot(*viewer, QStringLiteral("help"));
    for (const char* section : {"face", "frequency", "skins"}) {
        viewer->browser()->scrollToAnchor(QLatin1String(section));
        keepScreenshot(*viewer, QStringLiteral("help-") + QLatin1String(section));
    }
    viewer->hide();
}
