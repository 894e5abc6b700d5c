#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>

#include "alarms/alarm_editor.h"
#include "alarms/alarm_list_window.h"
#include "alarms/alarm_settings_file.h"
#include "app/interface_language.h"
#include "clockface/options_dialog.h"
#include "helpers/fake_services.h"
#include "helpers/modal.h"
#include "helpers/screenshot.h"
#include "helpers/temp_folder.h"
#include "media/player_settings.h"
#include "media/run_play_window.h"
#include "platform/errors.h"
#include "platform/file_filter.h"
#include "platform/line_file.h"
#include "ringing/alarm_run_window.h"
#include "ringing/next_ring_text.h"
#include "shell/about_box.h"
#include "shell/help_book.h"
#include "ui/error_report.h"

TEST(InterfaceLanguage, ChosenByTheOptionThenTheUsersLanguage)
{
    struct Case {
        const char* situation;
        QStringList arguments;
        QHash<QString, QString> env;
        UiLanguage expected;
    };
    const Case cases[] = {
        {"nothing set", {"belvane"}, {}, UiLanguage::Chinese},
        {"a C locale", {"belvane"}, {{"LANG", "C.UTF-8"}}, UiLanguage::Chinese},
        {"Chinese", {"belvane"}, {{"LANG", "zh_CN.UTF-8"}}, UiLanguage::Chinese},
        {"American", {"belvane"}, {{"LANG", "en_US.UTF-8"}}, UiLanguage::English},
        {"German", {"belvane"}, {{"LANG", "de_DE.UTF-8"}}, UiLanguage::English},
        {"LC_ALL over LANG",
         {"belvane"},
         {{"LC_ALL", "zh_TW.UTF-8"}, {"LANG", "en_US.UTF-8"}},
         UiLanguage::Chinese},
        {"LC_MESSAGES over LANG",
         {"belvane"},
         {{"LC_MESSAGES", "fr_FR"}, {"LANG", "zh_CN"}},
         UiLanguage::English},
        {"LC_ALL over LC_MESSAGES",
         {"belvane"},
         {{"LC_ALL", "zh_CN.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}},
         UiLanguage::Chinese},
        {"LANGUAGE first, its first entry",
         {"belvane"},
         {{"LANGUAGE", "en_GB:zh_CN"}, {"LC_ALL", "zh_CN"}},
         UiLanguage::English},
        {"--lang zh over the environment",
         {"belvane", "--lang", "zh"},
         {{"LANG", "en_US.UTF-8"}},
         UiLanguage::Chinese},
        {"--lang=en over the environment",
         {"belvane", "--lang=en"},
         {{"LANG", "zh_CN.UTF-8"}},
         UiLanguage::English},
    };
    for (const Case& c : cases) {
        const auto env = [&](const char* name) { return c.env.value(QString::fromLatin1(name)); };
        EXPECT_EQ(chooseUiLanguage(c.arguments, env), c.expected) << c.situation;
    }
    EXPECT_THROW(chooseUiLanguage({"belvane", "--lang", "fr"}, [](const char*) { return QString(); }),
                 ConversionError);
}

namespace {

/// Adds one daily alarm through the list window and returns the bytes of "al.ini".
QByteArray addThroughTheList(bool english)
{
    TempFolder dir;
    FakeServices fake(QDateTime(QDate(2026, 12, 7), QTime(6, 0)));
    AlarmListStore store{dir.path()};
    TFormAlarmList list{fake.services, store, dir.path()};
    list.FormCreate();
    list.show();
    answerNextModal([](QDialog* editor) {
        editor->findChild<QPlainTextEdit*>("Memo")->setPlainText("起床");
        editor->findChild<QComboBox*>("Frequency")->setCurrentIndex(2);
        editor->findChild<QTimeEdit*>("TimePicker")->setTime(QTime(7, 0));
        QTest::mouseClick(editor->findChild<QPushButton*>("OK"), Qt::LeftButton);
    });
    QTest::mouseClick(list.findChild<QPushButton*>("ButtonAdd"), Qt::LeftButton);
    if (english)
        saveScreenshot(list, "alarm-list-english");
    return dir.read("al.ini");
}

} // namespace

TEST(InterfaceLanguage, EnglishWindowsStoreTheSameFiles)
{
    const QByteArray chinese = addThroughTheList(false);
    EnglishInterface english;
    ASSERT_TRUE(english.loaded()) << "the English translation is built into the program";
    const QByteArray inEnglish = addThroughTheList(true);
    EXPECT_EQ(inEnglish, chinese) << "the frequency text stays Chinese in al.ini";
    EXPECT_TRUE(inEnglish.contains(QByteArray("\r\n") + QByteArray::fromHex("c3bfccec20") + "\r\n"))
        << "每天 in GB18030";

    TempFolder dir;
    FakeServices fake;
    AlarmListStore store{dir.path()};
    TFormAlarmList list{fake.services, store, dir.path()};
    list.show();
    QStringList headers;
    auto* tree = list.findChild<QTreeWidget*>("AlarmList");
    for (int c = 0; c < tree->columnCount(); ++c)
        headers << tree->headerItem()->text(c);
    EXPECT_EQ(headers, (QStringList{"Alarms", "Repeats", "Time", "Date", "Next"}));
    EXPECT_EQ(list.findChild<QPushButton*>("ButtonAdd")->text(), "Add");

    bool editorSeen = false;
    answerNextModal([&](QDialog* editor) {
        editorSeen = true;
        EXPECT_EQ(editor->windowTitle(), "Alarm settings");
        auto* tabs = editor->findChild<QTabWidget*>("Table");
        EXPECT_EQ(tabs->tabText(1), "Sound and music");
        EXPECT_EQ(editor->findChild<QPushButton*>("TryAlarm")->text(), "Try");
        EXPECT_EQ(editor->findChild<QComboBox*>("PowerComboBox")->itemText(3), "Shut down");
        editor->findChild<QComboBox*>("Frequency")->setCurrentIndex(5);
        EXPECT_EQ(editor->findChild<QGroupBox*>("GroupBoxTDD")->title(), "Time, month and day")
            << "a caption set after the window opened";
        tabs->setCurrentIndex(1);
        saveScreenshot(*editor, "alarm-editor-sound-music-english");
        tabs->setCurrentIndex(2);
        // Both captions start with the picker's blanks, which are as wide as the picker however
        // many the translation has: the pickers line up, each right before its words.
        EXPECT_EQ(editor->findChild<QWidget*>("AutoSnoozeTimePicker")->x(),
                  editor->findChild<QWidget*>("FadeInTimePicker")->x());
        saveScreenshot(*editor, "alarm-editor-volume-english");
        QTest::mouseClick(editor->findChild<QPushButton*>("Cancel"), Qt::LeftButton);
    });
    QTest::mouseClick(list.findChild<QPushButton*>("ButtonAdd"), Qt::LeftButton);
    EXPECT_TRUE(editorSeen);

    TFormRunPlay player{defaultPlayerSettings()};
    RingRequest request;
    request.occurrence.row.alarmNumber = "0";
    request.dataFolder = dir.path();
    request.programFolder = dir.path();
    TAlarmRun ringing(request, fake.services, player);
    ringing.show();
    EXPECT_EQ(ringing.windowTitle(), "Alarm");
    EXPECT_EQ(ringing.findChild<QPushButton*>("ButtonSnooze")->text(), "Snooze");
    EXPECT_EQ(ringing.findChild<QLabel*>("Label1")->text(), "Reminder:");
    saveScreenshot(ringing, "alarm-run-english");
    ringing.close();

    // A line set after the window opened, in English too, and whole in its place.
    AlarmSettings emptyList;
    emptyList.playMusic = true;
    emptyList.volume = 100;
    writeFileAtomically(dir.file("0.ini"), WriteAlarmSettings(emptyList));
    TAlarmRun silentList(request, fake.services, player);
    silentList.show();
    auto* note = silentList.findChild<QLabel*>("LabelFallback");
    EXPECT_EQ(note->text(), "The play list is empty: ringing the alarm sound");
    EXPECT_LE(note->fontMetrics().horizontalAdvance(soundFallbackNote(SoundFallback::NothingPlayable)),
              note->width());
    saveScreenshot(silentList, "alarm-run-fallback-english");
    silentList.close();

    EXPECT_TRUE(helpTopicPath(dir.path()).endsWith("help/index.en.htm"));
    EXPECT_TRUE(QFile::exists(QStringLiteral(BELVANE_ASSETS_DIR "/help/index.en.htm"))) << "the English book";

    TFormOptions options(dir.path());
    options.FormCreate();
    options.show();
    EXPECT_TRUE(options.findChild<QTabWidget*>()->tabText(1) == "Chimes");
    saveScreenshot(options, "options-english");
    options.close();
    TFormAbout about;
    about.show();
    saveScreenshot(about, "about-english");
    about.close();
    EXPECT_EQ(lateRingingNote([] {
                  RingRequest late;
                  late.occurrence.due = QDateTime(QDate(2026, 12, 7), QTime(7, 0));
                  late.lateSeconds = 180;
                  return late;
              }()),
              "Due at 07:00:00 (3 min late)");

    const QDateTime monday(QDate(2026, 12, 7), QTime(8, 0));
    EXPECT_EQ(nextRingText(monday.addDays(1), monday), "Tomorrow 08:00");
    EXPECT_EQ(nextRingText(monday.addDays(3), monday), "Thu 08:00");
    EXPECT_EQ(nextRingHint("Today 13:30", "Nap"), "Belvane · next Today 13:30 Nap");
}

TEST(InterfaceLanguage, NextRingTextsFollowTheLanguageAndTheHourMode)
{
    struct Case {
        bool english;
        bool twelveHour;
        int daysAhead;
        QTime at;
        const char* text;
        const char* hint;
        const char* snoozed;
    };
    const Case cases[] = {
        {false, false, 0, QTime(13, 30), "今天 13:30", "Belvane · 下次 今天 13:30 起床",
         "Belvane · 打盹至 13:30 起床"},
        {false, true, 0, QTime(13, 30), "今天 1:30 PM", "Belvane · 下次 今天 1:30 PM 起床",
         "Belvane · 打盹至 1:30 PM 起床"},
        {false, true, 1, QTime(0, 5), "明天 12:05 AM", "Belvane · 下次 明天 12:05 AM 起床",
         "Belvane · 打盹至 12:05 AM 起床"},
        {true, false, 1, QTime(7, 0), "Tomorrow 07:00", "Belvane · next Tomorrow 07:00 起床",
         "Belvane · snoozed until 07:00 起床"},
        {true, true, 3, QTime(19, 45), "Thu 7:45 PM", "Belvane · next Thu 7:45 PM 起床",
         "Belvane · snoozed until 7:45 PM 起床"},
        {true, true, 0, QTime(12, 0), "Today 12:00 PM", "Belvane · next Today 12:00 PM 起床",
         "Belvane · snoozed until 12:00 PM 起床"},
    };
    const QDateTime monday(QDate(2026, 12, 7), QTime(8, 0));
    for (const Case& c : cases) {
        std::unique_ptr<EnglishInterface> english;
        if (c.english)
            english = std::make_unique<EnglishInterface>();
        const QDateTime next(monday.date().addDays(c.daysAhead), c.at);
        const QString text = nextRingText(next, monday, c.twelveHour);
        EXPECT_EQ(text, QString::fromUtf8(c.text));
        EXPECT_EQ(nextRingHint(text, "起床"), QString::fromUtf8(c.hint));
        EXPECT_EQ(snoozeHint(next, "起床", c.twelveHour), QString::fromUtf8(c.snoozed));
    }
}

TEST(InterfaceLanguage, TextsOutsideTheWindowsReadEnglish)
{
    EnglishInterface english;
    ASSERT_TRUE(english.loaded());
    EXPECT_EQ(defaultReminderText(), "It's time for what you planned!");
    EXPECT_EQ(mediaNameFilters({"wav"}, {"mp4"}),
              (QStringList{"All supported files (*.wav *.mp4)", "Audio files (*.wav)", "Video files (*.mp4)",
                           "All files (*)"}));
    TempFolder dir;
    try {
        readWholeFile(dir.file("missing.ini"));
        ADD_FAILURE() << "a missing file is an error";
    } catch (const BelvaneError& e) {
        EXPECT_TRUE(e.text().startsWith("Cannot open the file")) << e.text().toStdString();
    }

    TFormOptions options(dir.path());
    EXPECT_EQ(options.findChild<QAbstractButton*>("cbStartup")->text(), "Start at login");
    EXPECT_EQ(options.findChild<QWidget*>("TimePicker1")->accessibleName(), "From (hour, minute, second)");
    TFormAbout about;
    EXPECT_EQ(about.findChild<QLabel*>("Label2")->text(),
              QStringLiteral("Version ") + BELVANE_VERSION_FOR_TESTS);
    EXPECT_EQ(about.findChild<QLabel*>("Label4")->text(), "User manual (on this computer)");

    FakeServices fake;
    AlarmListStore store{dir.path()};
    TFormAlarmList list{fake.services, store, dir.path()};
    answerNextModal([](QDialog* editor) {
        EXPECT_EQ(editor->findChild<QWidget*>("TimePicker")->accessibleName(), "Time (hour, minute, second)");
        EXPECT_EQ(editor->findChild<QWidget*>("AlarmVolume")->accessibleName(), "Alarm volume (percent)");
        EXPECT_EQ(editor->findChild<QComboBox*>("Frequency")->itemText(2), "Daily");
        EXPECT_EQ(editor->findChild<QPlainTextEdit*>("Memo")->toPlainText(),
                  "It's time for what you planned!");
        QTest::mouseClick(editor->findChild<QPushButton*>("Cancel"), Qt::LeftButton);
    });
    QTest::mouseClick(list.findChild<QPushButton*>("ButtonAdd"), Qt::LeftButton);
}

TEST(InterfaceLanguage, AnOpenAboutBoxTakesTheNewLanguage)
{
    TFormAbout about;
    about.show();
    auto* help = about.findChild<QLabel*>("Label3");
    EXPECT_EQ(help->text(), "帮助");
    {
        EnglishInterface english;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange); // posted to each window
        EXPECT_EQ(help->text(), "Help");
        EXPECT_EQ(about.windowTitle(), "About...");
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    EXPECT_EQ(help->text(), "帮助") << "back to Chinese when the translation goes";
}
