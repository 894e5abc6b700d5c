#include <gtest/gtest.h>

#include <memory>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "alarms/alarm_editor.h"
#include "alarms/alarm_list_window.h"
#include "app/interface_language.h"
#include "clockface/options_dialog.h"
#include "helpers/clip_check.h"
#include "helpers/fake_services.h"
#include "helpers/screenshot.h"
#include "helpers/temp_folder.h"
#include "media/player_settings.h"
#include "media/preview_window.h"
#include "media/run_play_window.h"
#include "ringing/alarm_run_window.h"
#include "shell/about_box.h"
#include "shell/help_viewer.h"

// Windows made while the interface spoke Chinese read English once the English translation is
// installed, as every open window does when the language changes, and fit their new texts.

namespace {

bool hasChinese(const QString& text)
{
    for (QChar c : text)
        if ((c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) ||
            (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E))
            return true;
    return false;
}

/// Every text of `window` a user can meet (captions, titles, tabs, column headers, menu entries,
/// accessible names) that is still Chinese, and every text that no longer fits, each named.
QStringList notTurnedEnglish(QWidget& window, const QString& name)
{
    QStringList faults;
    const auto check = [&](const QObject* where, const QString& text) {
        if (hasChinese(text))
            faults << QStringLiteral("%1 › %2: \"%3\"").arg(name, where->objectName(), text);
    };
    const auto checkPage = [&] {
        check(&window, window.windowTitle());
        for (QWidget* w : window.findChildren<QWidget*>()) {
            if (!w->isVisibleTo(&window))
                continue;
            check(w, w->accessibleName());
            if (auto* label = qobject_cast<QLabel*>(w))
                check(w, label->text());
            else if (auto* button = qobject_cast<QAbstractButton*>(w))
                check(w, button->text());
            else if (auto* box = qobject_cast<QGroupBox*>(w))
                check(w, box->title());
            else if (auto* tabs = qobject_cast<QTabBar*>(w))
                for (int i = 0; i < tabs->count(); ++i)
                    check(w, tabs->tabText(i));
            else if (auto* tree = qobject_cast<QTreeWidget*>(w))
                for (int i = 0; i < tree->columnCount(); ++i)
                    check(w, tree->headerItem()->text(i));
        }
        for (QAction* action : window.findChildren<QAction*>())
            check(action, action->text());
        ClipCheck clipped(name);
        clipped.check(&window);
        faults << clipped.faults;
    };
    QString picture = name;
    picture.replace(' ', '-');
    const auto tabs = window.findChildren<QTabWidget*>();
    if (tabs.isEmpty()) {
        checkPage();
        saveScreenshot(window, picture + "-turned-english");
    }
    for (QTabWidget* tab : tabs)
        for (int i = 0; i < tab->count(); ++i) {
            tab->setCurrentIndex(i);
            checkPage();
            saveScreenshot(window, QStringLiteral("%1-turned-english-page%2").arg(picture).arg(i + 1));
        }
    faults.removeDuplicates();
    return faults;
}

/// Installs the English translation while the windows are open.
std::unique_ptr<EnglishInterface> turnEnglish()
{
    auto english = std::make_unique<EnglishInterface>();
    QCoreApplication::processEvents();
    return english;
}

} // namespace

TEST(Retranslation, OpenWindowsTurnEnglishAndBackToChinese)
{
    TempFolder dir;
    FakeServices fake;
    AlarmListStore store{dir.path()};
    store.rows.append(
        makeAlarmEntry({"Run", int(Frequency::Daily), QDate(2026, 12, 7), QTime(7, 0), "1111111"}, 0,
                       RowOrigin::Add, DateTimeLocale::neutral()));
    TFormAlarmList list{fake.services, store, dir.path()};
    list.FormCreate();
    TFormOptions options(dir.path());
    options.FormCreate();
    TFormAbout about;
    TFormRunPlay player{defaultPlayerSettings()};
    TFormPlay preview;
    RingRequest request;
    request.occurrence.row.alarmNumber = "0";
    request.occurrence.row.caption = "Run";
    request.dataFolder = dir.path();
    request.programFolder = QStringLiteral(BELVANE_ASSETS_DIR "/");
    TAlarmRun ringing(request, fake.services, player);
    HelpViewer help;
    const std::vector<std::pair<QWidget*, QString>> windows{
        {&list, "alarm list"}, {&options, "options"},       {&about, "about"}, {&player, "alarm video"},
        {&preview, "preview"}, {&ringing, "alarm ringing"}, {&help, "help"}};
    for (const auto& [window, name] : windows)
        window->show();
    ASSERT_EQ(list.findChild<QPushButton*>("ButtonAdd")->text(), "添加");

    auto english = turnEnglish();
    ASSERT_TRUE(english->loaded());
    QStringList faults;
    for (const auto& [window, name] : windows)
        faults << notTurnedEnglish(*window, name);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
    // The row's frequency is shown in the interface's language; the stored text stays Chinese.
    EXPECT_EQ(list.findChild<QTreeWidget*>("AlarmList")->topLevelItem(0)->text(1), "Daily");
    EXPECT_EQ(store.rows[0].frequencyText, frequencyBytes(int(Frequency::Daily)));

    english.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(list.findChild<QPushButton*>("ButtonAdd")->text(), "添加");
    EXPECT_EQ(options.findChild<QTabWidget*>()->tabText(1), "整点闹铃声");
    EXPECT_EQ(ringing.findChild<QPushButton*>("ButtonSnooze")->text(), "打盹儿");
    EXPECT_EQ(help.windowTitle(), "Belvane 帮助");
}

TEST(Retranslation, TheOpenEditorTurnsEnglish)
{
    TempFolder dir;
    FakeServices fake;
    TAlarmOptions editor(AlarmEditorParts{fake.services, dir.path(), dir.path()}, AlarmEditorStart::NewAlarm);
    editor.show();
    ASSERT_EQ(editor.windowTitle(), "闹钟设置");
    const auto english = turnEnglish();
    const QStringList faults = notTurnedEnglish(editor, "alarm editor");
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}
