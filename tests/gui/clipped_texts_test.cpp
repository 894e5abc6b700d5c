#include <gtest/gtest.h>

#include <memory>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "alarms/alarm_list_window.h"
#include "app/interface_language.h"
#include "clockface/options_dialog.h"
#include "helpers/clip_check.h"
#include "helpers/fake_services.h"
#include "helpers/modal.h"
#include "helpers/screenshot.h"
#include "helpers/temp_folder.h"
#include "media/player_settings.h"
#include "media/preview_window.h"
#include "media/run_play_window.h"
#include "ringing/alarm_run_window.h"
#include "shell/about_box.h"
#include "shell/help_viewer.h"

namespace {

/// Checks a window (each page of its tabs in turn) and takes its screenshots.
QStringList clippedIn(QWidget& window, const QString& name)
{
    window.show();
    QTest::qWait(0);
    ClipCheck check(name);
    const auto tabs = window.findChildren<QTabWidget*>();
    if (tabs.isEmpty()) {
        check.check(&window);
        saveScreenshot(window, name);
    }
    for (QTabWidget* tab : tabs)
        for (int i = 0; i < tab->count(); ++i) {
            tab->setCurrentIndex(i);
            ClipCheck page(name + QStringLiteral(" › ") + tab->tabText(i));
            page.check(&window);
            check.faults << page.faults;
            saveScreenshot(window, name + QStringLiteral("-page%1").arg(i + 1));
        }
    check.faults.removeDuplicates();
    return check.faults;
}

QStringList clippedInEveryWindow(const QString& language)
{
    QStringList faults;
    TempFolder dir;
    FakeServices fake;
    AlarmListStore store{dir.path()};
    TFormAlarmList list{fake.services, store, dir.path()};
    list.FormCreate();
    faults << clippedIn(list, "alarm-list-" + language);
    answerNextModal([&](QDialog* editor) {
        faults << clippedIn(*editor, "alarm-editor-" + language);
        editor->reject();
    });
    QTest::mouseClick(list.findChild<QPushButton*>("ButtonAdd"), Qt::LeftButton);
    list.close();

    TFormOptions options(dir.path());
    options.FormCreate();
    faults << clippedIn(options, "options-" + language);
    options.close();
    TFormAbout about;
    faults << clippedIn(about, "about-" + language);
    about.close();

    TFormRunPlay player{defaultPlayerSettings()};
    faults << clippedIn(player, "alarm-video-" + language);
    player.close();
    TFormPlay preview;
    faults << clippedIn(preview, "preview-" + language);
    preview.close();
    RingRequest request;
    request.occurrence.row.alarmNumber = "0";
    request.occurrence.row.caption = "起床";
    request.dataFolder = dir.path();
    request.programFolder = QStringLiteral(BELVANE_ASSETS_DIR "/"); // the sounds it rings
    TAlarmRun ringing(request, fake.services, player);
    faults << clippedIn(ringing, "alarm-run-" + language);
    ringing.close();
    HelpViewer help;
    faults << clippedIn(help, "help-" + language);
    help.close();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            faults << "left open: " + box->text();
    return faults;
}

} // namespace

TEST(ClippedTexts, NoTextIsCutInChinese)
{
    const QStringList faults = clippedInEveryWindow("chinese");
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

TEST(ClippedTexts, NoTextIsCutInEnglish)
{
    EnglishInterface english;
    ASSERT_TRUE(english.loaded());
    const QStringList faults = clippedInEveryWindow("english");
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}
