#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>

#include "alarms/alarm_commands.h"
#include "alarms/alarm_editor.h"
#include "alarms/alarm_editor_rules.h"
#include "alarms/alarm_list_file.h"
#include "alarms/alarm_settings_file.h"
#include "helpers/fake_services.h"
#include "helpers/screenshot.h"
#include "helpers/temp_folder.h"
#include "helpers/wav_file.h"
#include "media/preview_window.h"
#include "platform/text_codec.h"
#include "ui/error_report.h"

namespace {

const QDateTime kCreated(QDate(2026, 3, 9), QTime(6, 59, 58));

/// The lines of a settings file with one line replaced (1-based), for files no editor would write.
QByteArray withLine(const QByteArray& file, int line, const QByteArray& value)
{
    QList<QByteArray> lines = file.split('\n');
    lines[line - 1] = value + (line < lines.size() ? "\r" : "");
    return lines.join('\n');
}

class AlarmEditor : public ::testing::Test {
public: // the table-driven cases reach the fixture through a reference
    AlarmEditor()
    {
        setErrorSink([this](const QString& text) { errors << text; });
        setMediaFileChooser([this](QWidget*, const QStringList& filters, const QString& selected) {
            chooserCalls << QStringList{filters.join('|'), selected};
            return nextFiles.isEmpty() ? QString() : nextFiles.takeFirst();
        });
    }
    ~AlarmEditor() override
    {
        setErrorSink({});
        setMediaFileChooser({});
    }

    /// A shown editor: a new alarm, or the alarm of this working file.
    TAlarmOptions& open(std::optional<QByteArray> file = std::nullopt)
    {
        if (file)
            dir.write("alarm.ini", *file);
        editor = std::make_unique<TAlarmOptions>(
            AlarmEditorParts{fake.services, dir.path(), dir.path(), &previewPlayer, {}},
            file ? AlarmEditorStart::WorkingFile : AlarmEditorStart::NewAlarm);
        editor->show();
        return *editor;
    }
    /// Presses OK and gives the file written.
    QByteArray save()
    {
        QTest::mouseClick(button("OK"), Qt::LeftButton);
        return dir.read("alarm.ini");
    }
    AlarmSettings saved()
    {
        AlarmSettings s;
        ReadAlarmSettings(save(), SettingsReader::Editor, s);
        return s;
    }

    template <class T = QWidget> T* child(const char* name)
    {
        T* w = editor->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    QTreeWidget* songs() { return child<QTreeWidget>("SongList"); }
    QStringList songNames()
    {
        QStringList names;
        for (int i = 0; i < songs()->topLevelItemCount(); ++i)
            names << songs()->topLevelItem(i)->text(0);
        return names;
    }
    int selectedSong()
    {
        const auto selected = songs()->selectedItems();
        return selected.isEmpty() ? -1 : songs()->indexOfTopLevelItem(selected.first());
    }

    TempFolder dir;
    FakeServices fake{kCreated};
    TFormPlay previewPlayer;
    std::unique_ptr<TAlarmOptions> editor;
    QStringList errors;
    QStringList nextFiles;
    QList<QStringList> chooserCalls;
};

/// Counts how often a window is shown and closes it again at once.
class ShowWatcher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            ++shown;
            auto* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, window, [window] { window->close(); });
        }
        return false;
    }
    int shown = 0;
};

/// An alarm as another run of the editor could have saved it.
AlarmSettings storedAlarm()
{
    AlarmSettings s;
    s.frequencyIndex = 0;
    s.hour = 7, s.minute = 45, s.second = 30;
    s.year = 2027, s.month = 1, s.day = 31;
    s.weekdays = {true, false, false, true, false, false, true};
    s.playSound = true, s.soundIndex = 4, s.soundMinutes = 9;
    s.playList = {"/home/u/音乐/早安.mp3", "/media/clip.webm"};
    s.fadeIn = true, s.fadeInMinutes = 3, s.fadeOut = true, s.fadeOutMinutes = 44;
    s.snoozeMinutes = 7, s.autoSnooze = true, s.autoSnoozeMinutes = 12;
    s.volume = 55;
    s.closeAfterMinutes = true, s.autoCloseMinutes = 33;
    s.powerAction = 2;
    s.reminderText = {"开会", "", "带上笔记本", ""};
    return s;
}

} // namespace

TEST_F(AlarmEditor, NewAlarmSavedWithoutChanges)
{
    open();
    const QByteArray expected =
        "***Frequency***\r\n3\r\n***Date time***\r\n6\r\n59\r\n58\r\n2026\r\n3\r\n9\r\n"
        "***Days of week***\r\nFALSE\r\nTRUE\r\nTRUE\r\nTRUE\r\nTRUE\r\nTRUE\r\nFALSE\r\n"
        "***SongList***\r\nTRUE\r\n0\r\nFALSE\r\n0\r\n15\r\n"
        "***FadeIn FadeOut***\r\nFALSE\r\n5\r\nFALSE\r\n30\r\n"
        "***Snooze time***\r\n15\r\nFALSE\r\n2\r\n***Alarm volum***\r\n100\r\n"
        "***Closing method***\r\nTRUE\r\nFALSE\r\nFALSE\r\n2\r\n***Saving poweer***\r\n0\r\n"
        "***Memo***\r\n" +
        encodeText(QStringLiteral("时间到了，该做计划好的事情了！"));
    EXPECT_EQ(save(), expected);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(editor->editedAlarm().value().caption, QStringLiteral("时间到了，该做计划好的事情了！"));
    EXPECT_EQ(editor->editedAlarm().value().frequencyIndex, 3);
    EXPECT_EQ(editor->editedAlarm().value().weekdayMask, "0111110");
    EXPECT_EQ(editor->editedAlarm().value().date, kCreated.date());
    EXPECT_EQ(editor->editedAlarm().value().time, kCreated.time());
    EXPECT_EQ(fake.volume.history,
              (QList<quint32>{0xFF00FF00, 0x80008000})); // full while open, then put back
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(AlarmEditor, PagesShowEveryControlAsDesigned)
{
    open();
    EXPECT_EQ(editor->windowTitle(), "闹钟设置");
    auto* table = child<QTabWidget>("Table");
    QStringList pages;
    for (int i = 0; i < table->count(); ++i)
        pages << table->widget(i)->objectName() + "=" + table->tabText(i);
    EXPECT_EQ(pages, (QStringList{"TabSheet1=基本设置", "SoundMusic=声音和音乐", "TabSheet4=音量控制",
                                  "TabSheet2=其他"}));
    EXPECT_EQ(table->currentIndex(), 0);

    auto items = [&](const char* name) {
        QStringList out;
        auto* list = child<QComboBox>(name);
        for (int i = 0; i < list->count(); ++i)
            out << list->itemText(i);
        return out;
    };
    EXPECT_EQ(items("Frequency"),
              (QStringList{"固定的一天", "每小时", "每天 ", "每星期", "每月   ", "每年  "}));
    EXPECT_EQ(items("SoundComboBox"),
              (QStringList{"鸡啼声 ", "布谷鸟", "闹铃声    ", "掌声     ", "爆炸声 ", "玻璃 ", "牛 ",
                           "跳弹声  ", "汽车喇叭", "门铃    ", "鼓声    "}));
    EXPECT_EQ(items("PowerComboBox"), (QStringList{"什么也不做", "关闭显示器", "待机", "关机"}));
    for (auto [name, caption] : {std::pair{"FadeIn", "开头      分钟进行淡入处理"},
                                 {"FadeOut", "播放       分钟后开始进行淡出处理"},
                                 {"AutoSnooze", "播放音乐      分钟后自动开始打盹儿"},
                                 {"RadioButton3", "自动关闭于        分钟后。"},
                                 {"RadioButtonPlayMusic", "播放音频和视频："},
                                 {"RadioButtonPlaySound", "播放闹铃声音"}})
        EXPECT_EQ(child<QAbstractButton>(name)->text(), QString::fromUtf8(caption)) << name;
    EXPECT_EQ(child<QGroupBox>("GroupBoxTDD")->title(), "时间，日期和星期几"); // until a frequency is picked
    EXPECT_EQ(child<QLabel>("LabelVolume")->text(), "100%");
    EXPECT_EQ(songs()->headerItem()->text(0) + "/" + songs()->headerItem()->text(1), "文件名/位置");
    EXPECT_EQ(songs()->columnWidth(0) + songs()->columnWidth(1), 130 + 146);

    // Shown and enabled as a new alarm starts: the play list chosen, the check boxes' pickers off.
    QStringList off;
    for (const char* name :
         {"DatePicker", "SoundComboBox", "SoundTimePicker", "PlaySound", "FadeInTimePicker",
          "AutoSnoozeTimePicker", "AddMusic", "SongList", "CheckBox1", "CheckBox7"})
        if (!child(name)->isEnabled())
            off << name;
    EXPECT_EQ(off, (QStringList{"DatePicker", "SoundComboBox", "SoundTimePicker", "PlaySound",
                                "FadeInTimePicker", "AutoSnoozeTimePicker"}));
    for (const char* name : {"FadeOut", "FadeOutTimePicker", "RadioButton3", "AutoCloseTimePicker"})
        EXPECT_FALSE(child(name)->isVisibleTo(editor.get())) << name;

    // A minutes picker lies inside its caption's blank gap, clear of the words on either side.
    auto* fadeIn = child<QCheckBox>("FadeIn");
    const QRect picker = child("FadeInTimePicker")->geometry();
    const QFontMetrics metrics(fadeIn->font());
    EXPECT_GT(picker.left(), fadeIn->x() + metrics.horizontalAdvance("开头"));
    EXPECT_LT(picker.right(), fadeIn->geometry().right() - metrics.horizontalAdvance("分钟进行淡入处理"));

    QTest::mouseClick(fadeIn, Qt::LeftButton);
    EXPECT_TRUE(child("FadeInTimePicker")->isEnabled());
    QTest::mouseClick(child<QRadioButton>("RadioButtonPlaySound"), Qt::LeftButton);
    EXPECT_TRUE(child("PlaySound")->isEnabled());
    EXPECT_FALSE(child("AddMusic")->isEnabled());
    QTest::mouseClick(child<QRadioButton>("RadioButtonPlayMusic"), Qt::LeftButton);
    nextFiles = {"/home/u/音乐/晨曲.mp3", "/home/u/Videos/日出.webm"};
    QTest::mouseClick(button("AddMusic"), Qt::LeftButton);
    QTest::mouseClick(button("AddMusic"), Qt::LeftButton);

    for (auto name : {"basic", "sound-music", "volume", "other"}) {
        saveScreenshot(*editor, QStringLiteral("alarm-editor-") + name);
        table->setCurrentIndex(table->currentIndex() + 1);
    }
}

TEST_F(AlarmEditor, LoadAndSaveKeepWhatTheFileHolds)
{
    const QByteArray file = WriteAlarmSettings(storedAlarm());
    open(file);
    EXPECT_EQ(child<QLabel>("LabelVolume")->text(), "55%");
    EXPECT_TRUE(child<QRadioButton>("RadioButtonPlaySound")->isChecked());
    EXPECT_TRUE(child("SoundTimePicker")->isEnabled());
    EXPECT_TRUE(child("AutoSnoozeTimePicker")->isEnabled());
    EXPECT_EQ(child<QGroupBox>("GroupBoxTDD")->title(), "时间，日期");
    EXPECT_EQ(songNames(), (QStringList{"早安.mp3", "clip.webm"}));
    EXPECT_EQ(songs()->topLevelItem(0)->text(1), "/home/u/音乐/");
    EXPECT_EQ(child<QPlainTextEdit>("Memo")->toPlainText(), "开会\n\n带上笔记本\n");
    EXPECT_EQ(save(), file); // the hidden controls pass their values through
    EXPECT_EQ(editor->editedAlarm().value().weekdayMask, "1001001");
    EXPECT_EQ(editor->editedAlarm().value().caption, "开会");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(AlarmEditor, LoadingFollowsTheFileLineByLine)
{
    AlarmSettings hourly = storedAlarm();
    hourly.frequencyIndex = 1;
    const QByteArray base = WriteAlarmSettings(hourly); // play list of two: play sound on line 23
    using Check = std::function<void(AlarmEditor&, const AlarmSettings& saved)>;
    struct Case {
        const char* situation;
        QByteArray file;
        std::function<void(AlarmEditor&)> whileOpen;
        Check afterSave;
    };
    const QList<Case> cases = {
        {"a weekday written in small letters",
         withLine(base, 11, "true"),
         {},
         [](AlarmEditor& t, const AlarmSettings& s) {
             EXPECT_FALSE(s.weekdays[0]);
             EXPECT_TRUE(t.dir.read("alarm.ini").contains("***Days of week***\r\nFALSE\r\n"));
         }},
        {"an hourly alarm keeps its hour", base,
         [](AlarmEditor& t) {
             auto* time = t.child<QTimeEdit>("TimePicker");
             EXPECT_EQ(time->text(), "45:30");
             EXPECT_EQ(t.child<QGroupBox>("GroupBoxTDD")->title(), "小时，分钟");
             QTest::keyClick(time, Qt::Key_Up); // steps the minutes; the hidden hour stays
             t.child<QComboBox>("Frequency")->setCurrentIndex(2);
             EXPECT_TRUE(time->text().contains("7:46:30")) << time->text().toStdString();
             t.child<QComboBox>("Frequency")->setCurrentIndex(1);
         },
         [](AlarmEditor&, const AlarmSettings& s) {
             EXPECT_EQ(QTime(s.hour, s.minute, s.second), QTime(7, 46, 30));
         }},
        {"a yearly alarm shows month and day and keeps its year", withLine(base, 2, "5"),
         [](AlarmEditor& t) {
             auto* date = t.child<QDateEdit>("DatePicker");
             EXPECT_EQ(date->text(), date->locale().monthName(1) + "-31");
             EXPECT_TRUE(date->isEnabled());
             EXPECT_EQ(t.child<QGroupBox>("GroupBoxTDD")->title(), "时间，月份和日期");
         },
         [](AlarmEditor&, const AlarmSettings& s) {
             EXPECT_EQ(QDate(s.year, s.month, s.day), QDate(2027, 1, 31));
         }},
        {"volume 40", withLine(base, 36, "40"),
         [](AlarmEditor& t) { EXPECT_EQ(t.child<QLabel>("LabelVolume")->text(), "40%"); },
         [](AlarmEditor& t, const AlarmSettings& s) {
             EXPECT_EQ(s.volume, 40);
             EXPECT_TRUE(t.fake.volume.history.contains(0x66006600u));
             EXPECT_EQ(t.fake.volume.history.last(), 0x80008000u); // put back when OK closed the editor
         }},
        {"both play flags set: the later one wins", withLine(base, 19, "TRUE"),
         [](AlarmEditor& t) {
             EXPECT_TRUE(t.child("SoundComboBox")->isEnabled());
             EXPECT_FALSE(t.child("SongList")->isEnabled());
         },
         [](AlarmEditor&, const AlarmSettings& s) {
             EXPECT_FALSE(s.playMusic);
             EXPECT_TRUE(s.playSound);
         }},
        {"neither play flag set", withLine(base, 23, "FALSE"),
         [](AlarmEditor& t) { EXPECT_TRUE(t.child("AddMusic")->isEnabled()); },
         [](AlarmEditor&, const AlarmSettings& s) {
             EXPECT_FALSE(s.playMusic);
             EXPECT_FALSE(s.playSound);
         }},
        {"no closing method set",
         withLine(base, 40, "FALSE"),
         {},
         [](AlarmEditor&, const AlarmSettings& s) {
             EXPECT_FALSE(s.closeNever || s.closeWhenFinished || s.closeAfterMinutes);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        fake.volume.history.clear();
        open(c.file);
        if (c.whileOpen)
            c.whileOpen(*this);
        c.afterSave(*this, saved());
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    }
}

TEST_F(AlarmEditor, ReminderTextSettlesAfterOneLoad)
{
    for (auto [situation, stored, settled] :
         {std::tuple{"one line without a line break", QByteArray("起床"), QByteArray("起床\r\n")},
          {"empty lines inside and at the end", QByteArray("a\r\n\r\nb\r\n\r\n"),
           QByteArray("a\r\n\r\nb\r\n\r\n")},
          {"no text at all", QByteArray(), QByteArray()}}) {
        SCOPED_TRACE(situation);
        QByteArray file = WriteAlarmSettings(storedAlarm());
        file = file.left(file.indexOf("***Memo***\r\n") + 12) + encodeText(QString::fromUtf8(stored));
        open(file);
        const QByteArray first = save();
        EXPECT_TRUE(first.endsWith("***Memo***\r\n" + encodeText(QString::fromUtf8(settled))));
        open(first);
        EXPECT_EQ(save(), first);
    }
}

TEST_F(AlarmEditor, LoadStopsAtTheFirstBadLineWithTheControlsLoadedSoFar)
{
    AlarmSettings s = storedAlarm();
    s.fadeInMinutes = 60;
    open(WriteAlarmSettings(s));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("alarm.ini")) << errors[0].toStdString();
    EXPECT_TRUE(child<QCheckBox>("FadeIn")->isChecked()); // the line before the bad one
    EXPECT_EQ(child<QTimeEdit>("FadeInTimePicker")->time().minute(), 5);
    EXPECT_EQ(child<QTimeEdit>("SnoozeTimePicker")->time().minute(), 15); // defaults after it
    EXPECT_EQ(child<QLabel>("LabelVolume")->text(), "100%");
    EXPECT_EQ(child<QPlainTextEdit>("Memo")->toPlainText(), QStringLiteral("时间到了，该做计划好的事情了！"));
}

TEST_F(AlarmEditor, PlayListButtonsKeepTheirSelectionRules)
{
    struct Case {
        const char* situation;
        QStringList entries;
        int selected;
        QStringList clicks;
        QStringList expected;
        int expectedSelection;
    };
    const QList<Case> cases = {
        {"delete with nothing selected selects the first",
         {"K", "L", "M"},
         -1,
         {"DeleteMusic"},
         {"K", "L", "M"},
         0},
        {"a second delete removes it", {"K", "L", "M"}, -1, {"DeleteMusic", "DeleteMusic"}, {"L", "M"}, 0},
        {"delete the middle one", {"K", "L", "M"}, 1, {"DeleteMusic"}, {"K", "M"}, 1},
        {"delete the last one", {"K", "L", "M"}, 2, {"DeleteMusic"}, {"K", "L"}, 1},
        {"delete the only one", {"K"}, 0, {"DeleteMusic"}, {}, -1},
        {"add to an empty list", {}, -1, {"AddMusic"}, {"N.mp3"}, 0},
        {"add keeps the selection", {"K", "L", "M"}, 1, {"AddMusic"}, {"K", "L", "M", "N.mp3"}, 1},
        {"add with nothing selected selects the first", {"K", "L"}, -1, {"AddMusic"}, {"K", "L", "N.mp3"}, 0},
        {"up leaves the selection in its place", {"K", "L", "M"}, 2, {"UpMusic"}, {"K", "M", "L"}, 2},
        {"up twice", {"K", "L", "M"}, 2, {"UpMusic", "UpMusic"}, {"K", "L", "M"}, 2},
        {"up on the first", {"K", "L", "M"}, 0, {"UpMusic"}, {"K", "L", "M"}, 0},
        {"up with nothing selected", {"K", "L"}, -1, {"UpMusic"}, {"K", "L"}, 0},
        {"down follows the entry", {"K", "L", "M"}, 0, {"DownMusic", "DownMusic"}, {"L", "M", "K"}, 2},
        {"down on the last", {"K", "L", "M"}, 2, {"DownMusic"}, {"K", "L", "M"}, 2},
        {"down with nothing selected", {"K", "L"}, -1, {"DownMusic"}, {"K", "L"}, 0},
        {"play with nothing selected", {"K", "L"}, -1, {"PlayMusic"}, {"K", "L"}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        AlarmSettings s = storedAlarm();
        s.playMusic = true, s.playSound = false;
        s.playList.clear();
        for (const QString& name : c.entries)
            s.playList << "/music/" + name;
        open(WriteAlarmSettings(s));
        if (c.selected >= 0)
            songs()->setCurrentItem(songs()->topLevelItem(c.selected));
        nextFiles = {"/music/N.mp3"};
        for (const QString& name : c.clicks)
            QTest::mouseClick(button(name.toLatin1().constData()), Qt::LeftButton);
        EXPECT_EQ(songNames(), c.expected);
        EXPECT_EQ(selectedSong(), c.expectedSelection);
        QStringList paths;
        for (const QString& name : c.expected)
            paths << "/music/" + name;
        EXPECT_EQ(saved().playList, paths);
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(AlarmEditor, AddOffersTheMediaFiltersAndRefusesA257thEntry)
{
    AlarmSettings s = storedAlarm();
    s.playMusic = true, s.playSound = false;
    open(WriteAlarmSettings(s));
    QTest::mouseClick(button("AddMusic"), Qt::LeftButton); // cancelled: nothing changes
    ASSERT_EQ(chooserCalls.size(), 1);
    const QStringList filters = chooserCalls[0][0].split('|');
    ASSERT_EQ(filters.size(), 4);
    for (const char* music : {"*.mp3", "*.ogg", "*.opus", "*.flac", "*.m4a", "*.mp4", "*.webm", "*.mkv"})
        EXPECT_TRUE(filters[0].split(QRegularExpression("[ ()]")).contains(music)) << music;
    EXPECT_EQ(filters[3], "所有文件 (*)");
    EXPECT_EQ(chooserCalls[0][1], filters.value(0)); // it opens on all supported files
    EXPECT_EQ(songNames(), (QStringList{"早安.mp3", "clip.webm"}));

    s.playList.clear();
    for (int i = 0; i < 256; ++i)
        s.playList << QStringLiteral("/music/%1.mp3").arg(i);
    open(WriteAlarmSettings(s));
    nextFiles = {"/music/one-too-many.mp3"};
    QTest::mouseClick(button("AddMusic"), Qt::LeftButton);
    EXPECT_EQ(songs()->topLevelItemCount(), 256);
    EXPECT_EQ(chooserCalls.size(), 1);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("256"));
}

TEST_F(AlarmEditor, EveryWayOfClosingPutsTheVolumeBack)
{
    for (auto how : {"Cancel", "Esc", "close box", "OK"}) {
        SCOPED_TRACE(how);
        open();
        child<QSlider>("AlarmVolume")->setValue(30);
        EXPECT_EQ(child<QLabel>("LabelVolume")->text(), "30%");
        EXPECT_EQ(fake.volume.device.packed, alarmVolumeValue(30));
        if (std::string(how) == "Cancel")
            QTest::mouseClick(button("Cancel"), Qt::LeftButton);
        else if (std::string(how) == "Esc")
            QTest::keyClick(editor.get(), Qt::Key_Escape);
        else if (std::string(how) == "close box")
            editor->close();
        else
            save();
        EXPECT_FALSE(editor->isVisible());
        EXPECT_EQ(fake.volume.device.packed, 0x80008000u);
    }
}

TEST_F(AlarmEditor, OkThatCannotWriteKeepsTheDialogOpenAndHandsNothingBack)
{
    QDir(dir.path()).mkdir("alarm.ini");
    open();
    QTest::mouseClick(button("OK"), Qt::LeftButton);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("alarm.ini")) << errors[0].toStdString();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(editor->editedAlarm());
}

TEST_F(AlarmEditor, CaptionIsTheFirstLineTheMemoShows)
{
    open();
    auto* memo = child<QPlainTextEdit>("Memo");
    const QString longLine = QString("明天早上八点在三楼会议室开项目例会，").repeated(4);
    memo->setPlainText(longLine + "\n第二行");
    save();
    const QString caption = editor->editedAlarm().value().caption;
    EXPECT_FALSE(caption.isEmpty());
    EXPECT_LT(caption.size(), longLine.size());
    EXPECT_TRUE(longLine.startsWith(caption));

    open();
    child<QPlainTextEdit>("Memo")->clear();
    save();
    EXPECT_EQ(editor->editedAlarm().value().caption, "");
}

TEST_F(AlarmEditor, PreviewsPlayTheChosenFileAndStaySilentOnAMissingOne)
{
    QDir(dir.path()).mkdir("sounds");
    writeToneWav(dir.file("sounds/Alarmrng.wav"), 400);
    AlarmSettings s = storedAlarm();
    s.playList = {dir.file("missing.mp3")};
    s.soundIndex = 2;
    open(WriteAlarmSettings(s));
    // A preview that opens runs the player's modal loop; the watcher closes it as soon as it shows.
    ShowWatcher watcher;
    previewPlayer.installEventFilter(&watcher);
    auto previewOpens = [&](const char* buttonName) {
        const int before = watcher.shown;
        QTest::mouseClick(button(buttonName), Qt::LeftButton);
        return watcher.shown > before;
    };
    EXPECT_TRUE(previewOpens("PlaySound"));
    child<QComboBox>("SoundComboBox")->setCurrentIndex(3); // its file is not there
    EXPECT_FALSE(previewOpens("PlaySound"));

    QTest::mouseClick(child<QRadioButton>("RadioButtonPlayMusic"), Qt::LeftButton);
    songs()->setCurrentItem(songs()->topLevelItem(0));
    EXPECT_FALSE(previewOpens("PlayMusic"));
    EXPECT_FALSE(previewPlayer.isVisible());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(AlarmEditor, EmptyPlayListWarningFollowsTheChoiceAndTheList)
{
    // Shown on its page, whichever page is in front.
    const auto warned = [&] { return child<QLabel>("LabelEmptyList")->isVisibleTo(child("SoundMusic")); };
    struct Loaded {
        const char* situation;
        bool playMusic, playSound;
        QStringList list;
        bool warning;
    };
    for (const Loaded& c : {Loaded{"music with an empty list", true, false, {}, true},
                            {"music with one entry", true, false, {"/music/a.mp3"}, false},
                            {"the sound, the list empty", false, true, {}, false},
                            {"neither: no choice made", false, false, {}, false}}) {
        AlarmSettings s = storedAlarm();
        s.playMusic = c.playMusic, s.playSound = c.playSound, s.playList = c.list;
        open(WriteAlarmSettings(s));
        EXPECT_EQ(warned(), c.warning) << c.situation;
    }

    open();
    child<QTabWidget>("Table")->setCurrentIndex(1);
    EXPECT_TRUE(warned()) << "a new alarm: play music, nothing in the list";
    saveScreenshot(*editor, "alarm-editor-empty-list-warning");
    QTest::mouseClick(child<QRadioButton>("RadioButtonPlaySound"), Qt::LeftButton);
    EXPECT_FALSE(warned()) << "the sound chosen";
    QTest::mouseClick(child<QRadioButton>("RadioButtonPlayMusic"), Qt::LeftButton);
    EXPECT_TRUE(warned()) << "play music chosen again";
    nextFiles = {"/music/a.mp3"};
    QTest::mouseClick(button("AddMusic"), Qt::LeftButton);
    EXPECT_FALSE(warned()) << "a file added";
    QTest::mouseClick(button("DeleteMusic"), Qt::LeftButton);
    EXPECT_TRUE(warned()) << "the only file deleted";

    // Whole, inside the list's empty space: no line cut off, nothing of the list's buttons covered.
    auto* label = child<QLabel>("LabelEmptyList");
    EXPECT_TRUE(songs()->geometry().contains(label->geometry())) << "inside the list";
    EXPECT_LE(label->heightForWidth(label->width()), label->height()) << "every line shown";
    EXPECT_LE(label->fontMetrics().horizontalAdvance("播放列表是空的："), label->width());
    EXPECT_TRUE(saved().playList.isEmpty()) << "the warning changes nothing that is saved";
}

TEST_F(AlarmEditor, CommandLineAddStoresWhatTheEditorStoresForTheSameChoices)
{
    dir.write("wake.wav", "not played here");
    using Choices = std::function<void(AlarmEditor&)>;
    const auto set = [](const char* control, const char* property, const QVariant& value) -> Choices {
        return
            [=](AlarmEditor& t) { EXPECT_TRUE(t.child(control)->setProperty(property, value)) << control; };
    };
    const auto at = [&](int h, int m, int sec = 0) { return set("TimePicker", "time", QTime(h, m, sec)); };
    const auto frequency = [&](int index) { return set("Frequency", "currentIndex", index); };
    const auto on = [&](int y, int mo, int d) { return set("DatePicker", "date", QDate(y, mo, d)); };
    const auto memo = [&](const char* text) { return set("Memo", "plainText", QString::fromUtf8(text)); };
    const struct Case {
        const char* name;
        QStringList arguments;
        QList<Choices> choices;
    } cases[] = {
        {"only a time: the editor's weekly Monday-Friday default at that time", {"07:00"}, {at(7, 0)}},
        {"once on a date, the name as reminder and caption",
         {"07:05:30", "--repeat", "once", "--date", "2027-01-09", "--name", "Dentist"},
         {frequency(0), at(7, 5, 30), on(2027, 1, 9), memo("Dentist")}},
        {"hourly with a built-in sound: the hour is kept as given",
         {"00:15", "--repeat", "hourly", "--sound", "4"},
         {frequency(1), at(0, 15), set("RadioButtonPlaySound", "checked", true),
          set("SoundComboBox", "currentIndex", 4)}},
        {"daily with volume and snooze",
         {"22:00", "--repeat=daily", "--volume", "40", "--snooze", "5"},
         {frequency(2), at(22, 0), set("AlarmVolume", "value", 40),
          set("SnoozeTimePicker", "time", QTime(0, 5))}},
        {"weekly on the weekend only, days 6 and 7 (Sunday is the file's first day)",
         {"06:45", "--days", "67", "--name", "Sleep in\nlonger"},
         {at(6, 45), memo("Sleep in\nlonger"), set("CheckBox1", "checked", true),
          set("CheckBox2", "checked", false), set("CheckBox3", "checked", false),
          set("CheckBox4", "checked", false), set("CheckBox5", "checked", false),
          set("CheckBox6", "checked", false), set("CheckBox7", "checked", true)}},
        {"monthly on the 31st",
         {"12:00", "--repeat", "monthly", "--date", "2027-01-31"},
         {frequency(4), at(12, 0), on(2027, 1, 31)}},
        {"yearly with a play list file",
         {"09:00", "--repeat", "yearly", "--date", "2027-02-28", "--play", dir.file("wake.wav")},
         {frequency(5), at(9, 0), on(2027, 2, 28),
          [&](AlarmEditor& t) {
              t.nextFiles = {dir.file("wake.wav")};
              t.button("AddMusic")->click();
          }}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        for (const Choices& choose : c.choices)
            choose(*this);
        const QByteArray edited = save();
        ASSERT_TRUE(editor->editedAlarm());
        const AlarmEntry editorRow =
            makeAlarmEntry(*editor->editedAlarm(), 0, RowOrigin::Add, DateTimeLocale::system());

        TempFolder data;
        AlarmListStore store{data.path()};
        StoreAlarmTarget target(
            store, [] { return kCreated; }, [](const AlarmEntry&) { return std::nullopt; },
            DateTimeLocale::system());
        ASSERT_EQ(
            target.add(checkCommand(QStringList{"alarm", "add"} + c.arguments, kCreated, dir.path()).mid(2)),
            0);
        EXPECT_EQ(data.read("0.ini"), edited);
        ASSERT_EQ(store.rows.size(), 1);
        EXPECT_EQ(store.rows[0], editorRow);
        AlarmListStore reloaded{data.path()};
        reloaded.load();
        EXPECT_EQ(reloaded.rows, store.rows) << "al.ini holds the row";
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}
