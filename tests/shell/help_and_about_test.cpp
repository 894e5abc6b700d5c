#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

#include "helpers/screenshot.h"
#include "helpers/temp_folder.h"
#include "platform/errors.h"
#include "shell/about_box.h"
#include "shell/help_book.h"
#include "shell/help_viewer.h"
#include "ui/error_report.h"

namespace {

/// Receives the links the program hands to the desktop, through Qt's own URL handler hook.
class DesktopRecorder : public QObject {
    Q_OBJECT
public:
    DesktopRecorder()
    {
        for (const char* scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~DesktopRecorder() override
    {
        for (const char* scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

/// A small book: a first page with links of every kind, and a second page.
struct Book {
    TempFolder folder;
    Book()
    {
        QDir(folder.path()).mkpath(QStringLiteral("help"));
        folder.write(
            QStringLiteral("help/index.htm"),
            QStringLiteral("<html><head><meta charset=\"utf-8\"><title>目录</title></head><body>"
                           "<a href=\"alarms.htm\">闹钟</a> <a href=\"#end\">末尾</a> "
                           "<a href=\"https://belvane.example.org/more\">主页</a> "
                           "<a href=\"../al.ini\">al.ini</a>"
                           "<p style=\"margin-top:3000px\"><a name=\"end\">end</a></p></body></html>")
                .toUtf8());
        folder.write(QStringLiteral("help/alarms.htm"),
                     QStringLiteral("<html><head><meta charset=\"utf-8\"><title>闹钟列表</title></head>"
                                    "<body>列表</body></html>")
                         .toUtf8());
    }
    QString topic() const { return helpTopicPath(folder.path()); }
};

/// Clicks the link whose text is given, as the browser reports a click.
void clickLink(HelpViewer* viewer, const QString& href)
{
    emit viewer->browser()->anchorClicked(QUrl(href));
}

} // namespace

TEST(Help, OpenedTwiceReusesOneViewerAndReturnsToTheTopic)
{
    Book book;
    HelpViewer* first = ShowHelp(nullptr, book.topic());
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("目录"));
    clickLink(first, QStringLiteral("alarms.htm"));
    EXPECT_EQ(first->windowTitle(), QStringLiteral("闹钟列表"));
    first->hide();

    HelpViewer* second = ShowHelp(nullptr, book.topic());
    EXPECT_EQ(second, first);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->browser()->source(), QUrl::fromLocalFile(book.topic()));
    int viewers = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        viewers += qobject_cast<HelpViewer*>(w) != nullptr;
    EXPECT_EQ(viewers, 1);
    second->hide();
}

TEST(Help, BookLinksAreFollowedAndOthersGoToTheDesktop)
{
    Book book;
    DesktopRecorder desktop;
    HelpViewer* viewer = ShowHelp(nullptr, book.topic());
    QTextBrowser* browser = viewer->browser();

    clickLink(viewer, QStringLiteral("#end"));
    EXPECT_EQ(browser->source().fragment(), QStringLiteral("end"));
    EXPECT_GT(browser->verticalScrollBar()->value(), 0);

    clickLink(viewer, QStringLiteral("alarms.htm"));
    EXPECT_EQ(browser->source(), QUrl::fromLocalFile(book.folder.file(QStringLiteral("help/alarms.htm"))));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("列表")));
    EXPECT_TRUE(browser->isBackwardAvailable());
    QTest::mouseClick(viewer->findChild<QWidget*>(QStringLiteral("ButtonBack")), Qt::LeftButton);
    EXPECT_EQ(browser->source().path(), QUrl::fromLocalFile(book.topic()).path());

    clickLink(viewer, QStringLiteral("https://belvane.example.org/more"));
    clickLink(viewer, QStringLiteral("../al.ini"));
    EXPECT_EQ(desktop.opened, (QList<QUrl>{QUrl(QStringLiteral("https://belvane.example.org/more")),
                                           QUrl::fromLocalFile(book.folder.file(QStringLiteral("al.ini")))}));
    EXPECT_EQ(browser->source().path(), QUrl::fromLocalFile(book.topic()).path());
    viewer->hide();
}

TEST(Help, AMissingBookIsReportedByName)
{
    TempFolder empty;
    QStringList reported;
    setErrorSink([&](const QString& text) { reported << text; });
    guarded([&] { ShowHelp(nullptr, helpTopicPath(empty.path())); });
    setErrorSink({});
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported[0].contains(empty.path() + QStringLiteral("help/index.htm")))
        << reported[0].toStdString();
}

TEST(About, HoldsItsSixLabelsTheWakeLineAndTheButton)
{
    TFormAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于..."));
    EXPECT_EQ(about.size(), QSize(319, 257));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());

    struct Expected {
        const char* name;
        QString text;
        QRect geometry;
    };
    const Expected labels[] = {
        {"Label1", QStringLiteral("Belvane 汉化版"), {8, 16, 305, 25}},
        {"Label2", QStringLiteral("版本 2.01"), {8, 48, 305, 17}},
        {"Label3", QStringLiteral("帮助"), {6, 67, 305, 17}},
        {"Label4", QStringLiteral("使用手册（本机）"), {6, 85, 305, 17}},
        {"Label5", QString(), {6, 108, 305, 17}},
        {"Label6", QString(), {6, 128, 301, 39}},
    };
    const QList<QLabel*> found = about.findChildren<QLabel*>();
    ASSERT_EQ(found.size(), 7) << "the six labels and the wake line";
    // The wake line sits in the free space between the last label and the button.
    auto* wakeLine = about.findChild<QLabel*>(QStringLiteral("LabelWake"));
    ASSERT_NE(wakeLine, nullptr);
    EXPECT_GE(wakeLine->geometry().top(), QRect(6, 128, 301, 39).bottom());
    EXPECT_LT(wakeLine->geometry().bottom(), 216);
    for (const Expected& e : labels) {
        SCOPED_TRACE(e.name);
        auto* label = about.findChild<QLabel*>(QLatin1String(e.name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), e.text);
        EXPECT_EQ(label->geometry(), e.geometry);
        EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
        EXPECT_EQ(label->font().pixelSize(), e.name == std::string("Label1") ? 20 : 12);
    }
    EXPECT_TRUE(about.findChild<QLabel*>(QStringLiteral("Label1"))->font().bold());
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("Label4"))->palette().color(QPalette::WindowText),
              QColor(Qt::blue));

    const QList<QPushButton*> buttons = about.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->objectName(), QStringLiteral("ButtonOK"));
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("确定"));
    EXPECT_EQ(buttons[0]->geometry(), QRect(128, 216, 75, 25));
}

TEST(About, SaysAtEveryShowingWhetherTheMachineCanBeWoken)
{
    TFormAbout about;
    QString status = QStringLiteral("不能唤醒电脑：唤醒程序没有 cap_wake_alarm 权限");
    about.wakeStatus = [&] { return status; };
    auto* wakeLine = about.findChild<QLabel*>(QStringLiteral("LabelWake"));
    ASSERT_NE(wakeLine, nullptr);
    about.show();
    EXPECT_EQ(wakeLine->text(), status);
    EXPECT_LE(wakeLine->heightForWidth(wakeLine->width()), wakeLine->height()) << "the reason is cut off";
    saveScreenshot(about, "about-cannot-wake");
    about.accept();
    status = QStringLiteral("能唤醒电脑"); // the helper became ready meanwhile
    about.show();
    EXPECT_EQ(wakeLine->text(), QStringLiteral("能唤醒电脑"));
}

TEST(About, BookLinkAsksForTheHelpAndNothingGoesToTheDesktopAndOkCloses)
{
    DesktopRecorder desktop;
    TFormAbout about;
    int helpAsked = 0;
    QObject::connect(&about, &TFormAbout::helpRequested, [&] { ++helpAsked; });
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    saveScreenshot(about, "about");
    QTest::mouseClick(about.findChild<QLabel*>(QStringLiteral("Label4")), Qt::LeftButton);
    QTest::mouseClick(about.findChild<QLabel*>(QStringLiteral("Label6")), Qt::LeftButton);
    QTest::mouseClick(about.findChild<QLabel*>(QStringLiteral("Label5")), Qt::LeftButton);
    EXPECT_EQ(helpAsked, 1);
    EXPECT_TRUE(desktop.opened.isEmpty());

    QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("ButtonOK")), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
    about.show(); // hidden between uses, shown again as it was
    EXPECT_TRUE(about.isVisible());
}

#include "help_and_about_test.moc"
