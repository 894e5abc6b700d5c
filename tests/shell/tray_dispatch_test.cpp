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

TEST(TrayMenu, PlacedAgainstTheClickPointByAlignment)
{
    const QPoint click(500, 300);
    const QSize menu(120, 200);
    EXPECT_EQ(menuTopLeft(click, menu, TPopupAlign::paLeft), QPoint(500, 300));
    EXPECT_EQ(menuTopLeft(click, menu, TPopupAlign::paRight), QPoint(380, 300));
    EXPECT_EQ(menuTopLeft(click, menu, TPopupAlign::paCenter), QPoint(440, 300));
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
