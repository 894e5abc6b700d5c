#include <gtest/gtest.h>

#include "shell/help_book.h"
#include "shell/tray_dispatch.h"

using namespace Tray;

TEST(TrayHint, CutToSixtyThreeCharacters)
{
    struct Case {
        QString hint;
        QString expected;
    };
    const QString sixtyThree(63, QLatin1Char('a'));
    const QString chinese = QString(70, QChar(0x949F));    // 钟
    const QString wide = QString::fromUcs4(U"\U0001F514"); // a bell outside the basic plane
    for (const Case& c : {
             Case{QString(), QString()},
             Case{QStringLiteral("Belvane"), QStringLiteral("Belvane")},
             Case{sixtyThree, sixtyThree},
             Case{sixtyThree + QStringLiteral("bcd"), sixtyThree},
             Case{chinese, chinese.left(63)},
             // 62 plain characters and a bell make 63 characters in 64 UTF-16 units: kept whole.
             Case{QString(62, QLatin1Char('x')) + wide + QStringLiteral("yz"),
                  QString(62, QLatin1Char('x')) + wide},
         })
        EXPECT_EQ(cutHint(c.hint), c.expected) << c.hint.toStdString();
}

TEST(TrayMenu, PlacedAgainstTheClickPointAndWholeInsideTheAvailableArea)
{
    struct Case {
        const char* situation;
        QPoint click;
        TPopupAlign align;
        QRect area;
        QPoint expected;
    };
    const QSize menu(120, 160);
    const QRect screen(0, 0, 1280, 1024);
    const QRect aboveBottomPanel(0, 0, 1280, 1000); // a 24-pixel panel along the bottom edge
    const QRect belowTopPanel(0, 32, 1280, 992);    // a 32-pixel panel along the top edge
    const QRect secondScreen(1280, 0, 1920, 1080);
    const Case cases[] = {
        {"room everywhere, right-aligned", {500, 300}, TPopupAlign::paRight, screen, {380, 300}},
        {"room everywhere, left-aligned", {500, 300}, TPopupAlign::paLeft, screen, {500, 300}},
        {"room everywhere, centred", {500, 300}, TPopupAlign::paCenter, screen, {440, 300}},
        {"exactly room below", {500, 864}, TPopupAlign::paRight, screen, {380, 864}},
        {"one pixel short below: opens above the click",
         {500, 865},
         TPopupAlign::paRight,
         screen,
         {380, 705}},
        {"icon in a bottom panel: above the click, clear of the panel",
         {1270, 1012},
         TPopupAlign::paRight,
         aboveBottomPanel,
         {1150, 840}},
        {"icon in a top panel: below the panel", {1270, 16}, TPopupAlign::paRight, belowTopPanel, {1150, 32}},
        {"icon at the left edge, right-aligned: pushed right",
         {5, 500},
         TPopupAlign::paRight,
         screen,
         {0, 500}},
        {"icon at the right edge, left-aligned: pushed left",
         {1275, 500},
         TPopupAlign::paLeft,
         screen,
         {1160, 500}},
        {"centred at the right edge", {1250, 500}, TPopupAlign::paCenter, screen, {1160, 500}},
        {"second screen's bottom left corner", {1290, 1070}, TPopupAlign::paRight, secondScreen, {1280, 910}},
        {"an area lower than the menu: its top entries show",
         {500, 100},
         TPopupAlign::paLeft,
         QRect(0, 50, 1280, 100),
         {500, 50}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(menuTopLeft(c.click, menu, c.align, c.area), c.expected) << c.situation;
}

TEST(HelpBook, OnlyPagesInsideTheBookStayInTheViewer)
{
    const QString book = QStringLiteral("/opt/belvane/help");
    struct Case {
        QUrl link;
        HelpLinkTarget target;
    };
    for (const Case& c : {
             Case{QUrl::fromLocalFile(book + QStringLiteral("/index.htm")), HelpLinkTarget::Book},
             Case{QUrl(QStringLiteral("file:///opt/belvane/help/index.htm#snooze")), HelpLinkTarget::Book},
             Case{QUrl::fromLocalFile(book + QStringLiteral("/pages/Editor.HTML")), HelpLinkTarget::Book},
             Case{QUrl::fromLocalFile(book + QStringLiteral("/../al.ini")), HelpLinkTarget::Desktop},
             Case{QUrl::fromLocalFile(book + QStringLiteral("/../other.htm")), HelpLinkTarget::Desktop},
             Case{QUrl::fromLocalFile(QStringLiteral("/opt/belvane/helpers/x.htm")), HelpLinkTarget::Desktop},
             Case{QUrl::fromLocalFile(book + QStringLiteral("/face.png")), HelpLinkTarget::Desktop},
             Case{QUrl(QStringLiteral("https://belvane.example.org/index.htm")), HelpLinkTarget::Desktop},
             Case{QUrl(QStringLiteral("mailto:support@belvane.example.org")), HelpLinkTarget::Desktop},
         })
        EXPECT_EQ(helpLinkTarget(c.link, book), c.target) << c.link.toString().toStdString();
}
