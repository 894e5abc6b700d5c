#include <gtest/gtest.h>

#include <memory>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTranslator>
#include <QTreeView>
#include <QTreeWidget>

#include "alarms/alarm_editor.h"
#include "alarms/alarm_list_window.h"
#include "alarms/alarm_settings_file.h"
#include "app/interface_language.h"
#include "clockface/options_dialog.h"
#include "helpers/clip_check.h"
#include "helpers/fake_services.h"
#include "helpers/modal.h"
#include "helpers/screenshot.h"
#include "helpers/temp_folder.h"
#include "helpers/wait_limit.h"
#include "media/player_settings.h"
#include "media/preview_window.h"
#include "media/run_play_window.h"
#include "platform/line_file.h"
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

/// A file dialog on the built-in sounds, checked once its folder has been read and it was fitted to it.
QStringList clippedInFileDialog(QDialog* dialog, const QString& name)
{
    auto& chooser = *qobject_cast<QFileDialog*>(dialog);
    chooser.setDirectory(QStringLiteral(BELVANE_ASSETS_DIR "/sounds"));
    chooser.show();
    auto* files = chooser.findChild<QTreeView*>("treeView");
    QStringList faults{name + ": no list of files"};
    const auto fitted = [&] {
        return files && files->model()->rowCount(files->rootIndex()) > 0 &&
               (faults = clippedIn(chooser, name)).isEmpty();
    };
    return QTest::qWaitFor(fitted, kWaitLimitMs) ? QStringList() : faults;
}

/// The ringing window with each of its notes, the late one at its longest.
QStringList clippedInRingingWindows(TempFolder& dir, FakeServices& fake, TFormRunPlay& player,
                                    const QString& language)
{
    struct Case {
        const char* name;
        qint64 lateSeconds;
        bool playSound, playMusic;
        int soundIndex;
        QStringList list;
        bool fallbackNote;
    };
    const Case cases[] = {
        {"plain", 0, true, false, 0, {}, false},
        {"late-empty-list", 3 * 3600 + 59 * 60, false, true, 0, {}, true},
        {"nothing-playable", 0, false, true, 0, {"gone.mp3", "gone.ogg"}, true},
        {"unknown-sound", 600, true, false, 11, {}, true},
    };
    QStringList faults;
    for (const Case& c : cases) {
        AlarmSettings s;
        s.playSound = c.playSound;
        s.playMusic = c.playMusic;
        s.soundIndex = c.soundIndex;
        s.reminderText = {"起床"};
        for (const QString& entry : c.list)
            s.playList << dir.file(entry);
        writeFileAtomically(dir.file("0.ini"), WriteAlarmSettings(s));
        RingRequest request;
        request.occurrence.row.alarmNumber = "0";
        request.occurrence.row.caption = "起床";
        request.occurrence.due = fake.clock.now().addSecs(-c.lateSeconds);
        request.lateSeconds = c.lateSeconds;
        request.dataFolder = dir.path();
        request.programFolder = QStringLiteral(BELVANE_ASSETS_DIR "/"); // the sounds it rings
        TAlarmRun ringing(request, fake.services, player);
        ringing.show();
        // A list whose files all fail says so once it has tried them.
        for (int i = 0; i < 5 && !c.list.isEmpty(); ++i) {
            fake.clock.advanceMs(200);
            ringing.TimerTimer();
        }
        // The notes are there to be measured.
        if (ringing.findChild<QLabel*>("LabelLate")->text().isEmpty() != (c.lateSeconds == 0) ||
            ringing.findChild<QLabel*>("LabelFallback")->isVisible() != c.fallbackNote)
            faults << QStringLiteral("alarm-run-%1: not the notes expected").arg(c.name);
        faults << clippedIn(ringing, QStringLiteral("alarm-run-%1-%2").arg(c.name, language));
        ringing.close();
    }
    return faults;
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
        answerNextModal([&](QDialog* chooser) {
            faults << clippedInFileDialog(chooser, "open-play-list-file-" + language);
            chooser->reject();
        });
        static_cast<TAlarmOptions*>(editor)->AddMusicClick();
        editor->reject();
    });
    QTest::mouseClick(list.findChild<QPushButton*>("ButtonAdd"), Qt::LeftButton);
    list.close();

    TFormOptions options({QStringLiteral(BELVANE_ASSETS_DIR "/"), dir.path()});
    options.FormCreate();
    faults << clippedIn(options, "options-" + language);
    options.runOpenDialog = [&](QFileDialog& chooser) {
        faults << clippedInFileDialog(&chooser, "open-chime-" + language);
        return QString();
    };
    options.Button3Click();
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
    faults << clippedInRingingWindows(dir, fake, player, language);
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
    // The toolkit's own texts in Chinese too, as the program shows them (the file dialogs' columns).
    QTranslator qtbase;
    ASSERT_TRUE(qtbase.load(QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China),
                            "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&qtbase);
    const QStringList faults = clippedInEveryWindow("chinese");
    QCoreApplication::removeTranslator(&qtbase);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

TEST(ClippedTexts, NoTextIsCutInEnglish)
{
    EnglishInterface english;
    ASSERT_TRUE(english.loaded());
    const QStringList faults = clippedInEveryWindow("english");
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}
