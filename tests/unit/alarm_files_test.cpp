#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "alarms/alarm_display.h"
#include "alarms/alarm_list_file.h"
#include "alarms/alarm_record.h"
#include "alarms/alarm_settings_file.h"
#include "helpers/read_only_folder.h"
#include "helpers/temp_folder.h"
#include "platform/errors.h"
#include "platform/text_codec.h"

namespace {

QByteArray gb(const char* utf8)
{
    return encodeText(QString::fromUtf8(utf8));
}

AlarmEntry entry(int number, int frequency, const char* timeCode = "070000",
                 const char* dateCode = "07122026")
{
    return AlarmEntry{gb("起床"), frequencyBytes(frequency), "07:00:00 AM", "--", timeCode, dateCode,
                      "0111110",  QByteArray::number(number)};
}

QByteArray listBytes(const QList<AlarmEntry>& rows)
{
    return SaveAlarmList(rows);
}

AlarmSettings sampleSettings()
{
    AlarmSettings s;
    s.frequencyIndex = 3;
    s.hour = 7, s.minute = 5, s.second = 30;
    s.year = 2026, s.month = 12, s.day = 7;
    s.weekdays = {false, true, true, true, true, true, false};
    s.playMusic = true;
    s.playList = {QStringLiteral("/home/u/音乐/早安.mp3"), QStringLiteral("/home/u/Videos/clip.webm")};
    s.soundIndex = 4, s.soundMinutes = 15;
    s.fadeIn = true, s.fadeInMinutes = 5, s.fadeOutMinutes = 30;
    s.snoozeMinutes = 9, s.autoSnooze = true, s.autoSnoozeMinutes = 2;
    s.volume = 80;
    s.closeWhenFinished = true, s.autoCloseMinutes = 2;
    s.powerAction = 1;
    s.reminderText = {QStringLiteral("该起床了 ⏰"), QString(), QStringLiteral("second line")};
    return s;
}

} // namespace

TEST(AlarmListFile, RoundTripKeepsEveryByte)
{
    QList<AlarmEntry> rows;
    for (int f = 0; f < kFrequencyCount; ++f)
        rows.append(entry(f, f));
    rows[1].caption = QByteArray("\x81\x30\xff\xfe broken", 11); // not valid GB18030
    rows[2].caption = gb("喝水 💧");
    const QByteArray bytes = listBytes(rows);
    EXPECT_TRUE(bytes.startsWith("6\r\n" + gb("起床") + "\r\n" + gb("固定的一天") + "\r\n"));

    QList<AlarmEntry> loaded;
    UsedAlarmNumbers used;
    LoadAlarmList(bytes, loaded, used);
    EXPECT_EQ(loaded, rows);
    EXPECT_EQ(SaveAlarmList(loaded), bytes);
    EXPECT_EQ(loaded[2].frequencyText, QByteArray("\xc3\xbf\xcc\xec\x20")); // "每天 " keeps its blank
    EXPECT_EQ(used.AllocateAlarmNumber(), 6);
}

TEST(AlarmListStore, RowsAreWrittenAndReadLineForLine)
{
    // One alarm of each frequency as the editor hands them over, and "al.ini" as it must read:
    // caption, frequency, time column, date column, time code, date code, weekdays, number.
    const QList<std::pair<EditedAlarmInfo, int>> alarms = {
        {{"起床", int(Frequency::FixedDate), QDate(2026, 12, 7), QTime(7, 5, 30), "0000000"}, 3},
        {{"喝水", int(Frequency::Hourly), QDate(2026, 12, 7), QTime(0, 45, 0), "0000000"}, 0},
        {{"午饭 lunch", int(Frequency::Daily), QDate(2026, 12, 7), QTime(12, 30, 0), "1111111"}, 17},
        {{"开会", int(Frequency::Weekly), QDate(2026, 12, 7), QTime(19, 0, 15), "0100010"}, 5},
        {{"交房租", int(Frequency::Monthly), QDate(2026, 12, 31), QTime(8, 0, 0), "0000000"}, 255},
        {{"生日", int(Frequency::Yearly), QDate(2027, 2, 28), QTime(23, 59, 59), "0000000"}, 1},
    };
    const char* const handWritten[] = {
        "6",   "起床",       "固定的一天", "07:05:30 AM",  "2026/12/7", "070530", "07122026", "0000000",
        "3",   "喝水",       "每小时",     "45:00 每小时", "--",        "004500", "07122026", "0000000",
        "0",   "午饭 lunch", "每天 ",      "12:30:00 PM",  "--",        "123000", "07122026", "1111111",
        "17",  "开会",       "每星期",     "07:00:15 PM",  "--",        "190015", "07122026", "0100010",
        "5",   "交房租",     "每月   ",    "08:00:00 AM",  "31 每月",   "080000", "31122026", "0000000",
        "255", "生日",       "每年  ",     "11:59:59 PM",  "02/28",     "235959", "28022027", "0000000",
        "1",
    };
    QByteArray file;
    for (const char* line : handWritten)
        file += gb(line) + "\r\n";

    TempFolder written;
    AlarmListStore store(written.path());
    for (const auto& [alarm, number] : alarms)
        store.rows.append(makeAlarmEntry(alarm, number, RowOrigin::Add, DateTimeLocale::neutral()));
    store.save();
    EXPECT_EQ(written.read("al.ini"), file);

    TempFolder read;
    read.write("al.ini", file);
    AlarmListStore loaded(read.path());
    loaded.load();
    ASSERT_EQ(loaded.rows.size(), alarms.size());
    for (int i = 0; i < loaded.rows.size(); ++i) {
        const AlarmEntry& row = loaded.rows[i];
        const QByteArray columns[] = {row.caption,  row.frequencyText, row.timeDisplay, row.dateDisplay,
                                      row.timeCode, row.dateCode,      row.weekdayMask, row.alarmNumber};
        for (int c = 0; c < AlarmEntry::kFieldCount; ++c)
            EXPECT_EQ(columns[c], gb(handWritten[1 + i * AlarmEntry::kFieldCount + c]))
                << "row " << i << " column " << c;
    }
}

TEST(AlarmListFile, EmptyListIsTheSingleLineZero)
{
    EXPECT_EQ(SaveAlarmList({}), "0\r\n");
    QList<AlarmEntry> rows{entry(0, 0)};
    UsedAlarmNumbers used;
    LoadAlarmList("0\r\n", rows, used);
    EXPECT_TRUE(rows.isEmpty());
    LoadAlarmList("0\n", rows, used); // bare LF accepted
    EXPECT_TRUE(rows.isEmpty());
}

TEST(AlarmListFile, DamagedFilesStopAtTheBadLineKeepingCompleteRows)
{
    struct Case {
        const char* situation;
        QList<AlarmEntry> rows;
        QByteArray tail; // appended after the good rows, count raised by one
        int loaded;
    };
    const QList<AlarmEntry> good{entry(0, 2), entry(1, 3)};
    const Case cases[] = {
        {"hour 24 in a time code", good, SaveAlarmList({entry(2, 2, "240000")}).mid(3), 2},
        {"31st of February", good, SaveAlarmList({entry(2, 2, "070000", "31022026")}).mid(3), 2},
        {"29th of February 1900", good, SaveAlarmList({entry(2, 2, "070000", "29021900")}).mid(3), 2},
        {"letters in a date code", good, SaveAlarmList({entry(2, 2, "070000", "0x122026")}).mid(3), 2},
        {"alarm number not a number", good,
         SaveAlarmList({entry(2, 2)}).mid(3).replace("\r\n2\r\n", "\r\nx\r\n"), 2},
        {"file shorter than its count", good, QByteArray(), 2},
    };
    for (const Case& c : cases) {
        QByteArray bytes = QByteArray::number(c.rows.size() + 1) + SaveAlarmList(c.rows).mid(1) + c.tail;
        QList<AlarmEntry> rows;
        UsedAlarmNumbers used;
        EXPECT_THROW(LoadAlarmList(bytes, rows, used), ConversionError) << c.situation;
        EXPECT_EQ(rows.size(), c.loaded) << c.situation;
        EXPECT_TRUE(used.isUsed(1)) << c.situation;
        EXPECT_FALSE(used.isUsed(2)) << c.situation;
    }
    QList<AlarmEntry> rows;
    UsedAlarmNumbers used;
    EXPECT_THROW(LoadAlarmList("two\r\n", rows, used), ConversionError);
    EXPECT_NO_THROW(LoadAlarmList(SaveAlarmList({entry(0, 2, "235959", "29022028")}), rows, used));
}

TEST(AlarmListFile, TheCountMustMatchTheRowsThatFollow)
{
    const auto rowsOf = [](int count) {
        QList<AlarmEntry> rows;
        for (int i = 0; i < count; ++i)
            rows << entry(i % 256, 2);
        return rows;
    };
    const auto recounted = [](int count, const QList<AlarmEntry>& rows) {
        const QByteArray saved = SaveAlarmList(rows);
        return QByteArray::number(count) + saved.mid(saved.indexOf('\r'));
    };
    struct Case {
        const char* situation;
        QByteArray bytes;
        bool damaged;
        int loaded;
    };
    const Case cases[] = {
        {"a full list of 256", SaveAlarmList(rowsOf(256)), false, 256},
        {"256 counted, 300 rows", recounted(256, rowsOf(300)), true, 256},
        {"2 counted, 3 rows", recounted(2, rowsOf(3)), true, 2},
        {"3 counted, 2 rows", recounted(3, rowsOf(2)), true, 2},
        {"a blank line after the last row", SaveAlarmList(rowsOf(2)) + "\r\n", false, 2},
    };
    for (const Case& c : cases) {
        QList<AlarmEntry> rows;
        UsedAlarmNumbers used;
        if (c.damaged)
            EXPECT_THROW(LoadAlarmList(c.bytes, rows, used), ConversionError) << c.situation;
        else
            EXPECT_NO_THROW(LoadAlarmList(c.bytes, rows, used)) << c.situation;
        EXPECT_EQ(rows.size(), c.loaded) << c.situation;
    }
}

TEST(AlarmListStore, TheDamageReportNamesAFolderWithPercentSignsAsItIs)
{
    TempFolder parent;
    const QString folder = parent.file("数据 %1 空格 100%/");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile list(folder + "al.ini");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("3\r\n");
    list.close();
    AlarmListStore store(folder);
    try {
        store.load();
        FAIL() << "a damaged list loaded without an error";
    } catch (const ConversionError& e) {
        EXPECT_TRUE(e.text().contains("\"" + folder + "al.ini\"")) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains("\"" + folder + "al.ini.bad\"")) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains("读出并保留了其中 0 个闹钟")) << e.text().toStdString();
    }
}

TEST(UsedAlarmNumbers, AllocatesLowestFreeAndRefusesWhenFull)
{
    QList<AlarmEntry> rows{entry(0, 2), entry(1, 2), entry(2, 2), entry(300, 2), entry(-1, 2)};
    UsedAlarmNumbers used;
    LoadAlarmList(SaveAlarmList(rows), rows, used);
    EXPECT_EQ(rows.size(), 5);                // numbers outside 0..255 stay in their rows...
    EXPECT_EQ(used.AllocateAlarmNumber(), 3); // ...and mark nothing
    used.release(1);
    EXPECT_EQ(used.AllocateAlarmNumber(), 1);
    EXPECT_EQ(SettingsFileName(1), "1.ini");
    for (int n = 0; n < kAlarmNumberCount; ++n)
        used.mark(n);
    EXPECT_EQ(used.AllocateAlarmNumber(), std::nullopt);
    used.release(255);
    EXPECT_EQ(used.AllocateAlarmNumber(), 255);
}

TEST(AlarmListStore, DamagedListIsKeptAsBadCopyThatLaterSavesLeaveAlone)
{
    TempFolder dir;
    const QByteArray damaged = QByteArray::number(3) + SaveAlarmList({entry(0, 2), entry(1, 2)}).mid(1) +
                               SaveAlarmList({entry(2, 2, "246000")}).mid(3);
    dir.write("al.ini", damaged);
    AlarmListStore store(dir.path());
    try {
        store.load();
        FAIL() << "a damaged list loaded without an error";
    } catch (const ConversionError& e) {
        EXPECT_TRUE(e.text().contains("al.ini.bad")) << e.text().toStdString();
    }
    EXPECT_EQ(store.rows.size(), 2);
    EXPECT_EQ(dir.read("al.ini"), damaged);
    EXPECT_EQ(dir.read("al.ini.bad"), damaged);

    store.rows.removeFirst();
    EXPECT_THROW(store.save(), IoError) << "written over before the report was seen";
    EXPECT_EQ(dir.read("al.ini"), damaged);
    store.acknowledgeDamage();
    store.save();
    EXPECT_EQ(dir.read("al.ini"), SaveAlarmList({entry(1, 2)}));
    EXPECT_EQ(dir.read("al.ini.bad"), damaged);
}

TEST(AlarmListStore, MissingListIsEmptyAndFailedSaveKeepsOldFile)
{
    TempFolder dir;
    AlarmListStore store(dir.path());
    store.load();
    EXPECT_TRUE(store.rows.isEmpty());
    EXPECT_FALSE(dir.exists("al.ini"));

    store.rows = {entry(0, 2)};
    store.save();
    const QByteArray saved = dir.read("al.ini");
    store.rows.clear();
    ReadOnlyFolder lock(dir.path());
    if (!lock.active())
        GTEST_SKIP() << "cannot make a folder read-only here";
    try {
        store.save();
        ADD_FAILURE() << "save into a read-only folder reported success";
    } catch (const IoError& e) {
        EXPECT_TRUE(e.text().contains(dir.file("al.ini")));
    }
    EXPECT_EQ(dir.read("al.ini"), saved);
}

TEST(AlarmSettingsFile, RoundTripByteForByte)
{
    const AlarmSettings s = sampleSettings();
    const QByteArray bytes = WriteAlarmSettings(s);
    EXPECT_TRUE(
        bytes.startsWith("***Frequency***\r\n3\r\n***Date time***\r\n7\r\n5\r\n30\r\n2026\r\n12\r\n7\r\n"));
    EXPECT_TRUE(bytes.endsWith("***Memo***\r\n" + gb("该起床了 ⏰") + "\r\n\r\nsecond line"));

    for (SettingsReader reader : {SettingsReader::Editor, SettingsReader::Ringing}) {
        AlarmSettings back;
        ReadAlarmSettings(bytes, reader, back);
        EXPECT_EQ(back.fieldsRead, int(SettingsField::ReminderText));
        back.fieldsRead = 0;
        EXPECT_EQ(back, s);
        EXPECT_EQ(WriteAlarmSettings(back), bytes);
    }
}

TEST(AlarmSettingsFile, LineLayoutEdgeCases)
{
    AlarmSettings s = sampleSettings();
    s.playList.clear();
    s.reminderText.clear();
    const QByteArray bytes = WriteAlarmSettings(s);
    const QList<QByteArray> lines = bytes.split('\n');
    EXPECT_EQ(lines[19], "0\r");     // line 20: no entries
    EXPECT_EQ(lines[20], "FALSE\r"); // line 21: play sound
    EXPECT_TRUE(bytes.endsWith("***Saving poweer***\r\n1\r\n***Memo***\r\n"));

    AlarmSettings back;
    ReadAlarmSettings(bytes, SettingsReader::Ringing, back);
    EXPECT_TRUE(back.reminderText.isEmpty());

    // Lines between the power action and the memo marker are skipped; no marker means no text.
    QByteArray extra = bytes;
    extra.replace("***Memo***", "junk\r\nmore junk\r\n***Memo***\r\nhello");
    ReadAlarmSettings(extra, SettingsReader::Editor, back);
    EXPECT_EQ(back.reminderText, QStringList{"hello"});
    QByteArray noMemo = bytes;
    noMemo.replace("***Memo***\r\n", "text without a marker");
    ReadAlarmSettings(noMemo, SettingsReader::Editor, back);
    EXPECT_TRUE(back.reminderText.isEmpty());
}

TEST(AlarmSettingsFile, ReadersStopAtTheFirstBadLineKeepingWhatWasRead)
{
    const QByteArray good = WriteAlarmSettings(sampleSettings());
    auto replaceLine = [&](int line, const QByteArray& with) {
        QList<QByteArray> lines = good.split('\n');
        lines[line - 1] = with + "\r";
        return lines.join('\n');
    };
    struct Case {
        const char* situation;
        QByteArray bytes;
        SettingsReader reader;
        bool fails;
        SettingsField lastRead;
    };
    const Case cases[] = {
        {"hour 25 for the editor", replaceLine(4, "25"), SettingsReader::Editor, true,
         SettingsField::Frequency},
        {"hour 25 for the ringing window", replaceLine(4, "25"), SettingsReader::Ringing, false,
         SettingsField::ReminderText},
        {"30th of February for the editor", replaceLine(9, "30").replace("\r\n12\r\n", "\r\n2\r\n"),
         SettingsReader::Editor, true, SettingsField::Time},
        {"minute line not a number", replaceLine(5, "five"), SettingsReader::Ringing, true,
         SettingsField::Frequency},
        {"volume missing", replaceLine(36, ""), SettingsReader::Ringing, true,
         SettingsField::AutoSnoozeMinutes},
        {"file cut after the play list", good.left(good.indexOf("FALSE\r\n4\r\n15")), SettingsReader::Ringing,
         true, SettingsField::PlaySound},
    };
    for (const Case& c : cases) {
        AlarmSettings s;
        if (c.fails) {
            EXPECT_THROW(ReadAlarmSettings(c.bytes, c.reader, s), ConversionError) << c.situation;
        } else {
            EXPECT_NO_THROW(ReadAlarmSettings(c.bytes, c.reader, s)) << c.situation;
        }
        EXPECT_EQ(s.fieldsRead, int(c.lastRead)) << c.situation;
        if (c.fails) {
            EXPECT_EQ(s.volume, 0) << c.situation; // later fields stay at zero
        }
    }
}

TEST(AlarmSettingsFile, BooleansAndClosingMethod)
{
    AlarmSettings s = sampleSettings();
    QByteArray bytes = WriteAlarmSettings(s);
    // A boolean in small or mixed letters reads as false.
    bytes.replace("***Days of week***\r\nFALSE\r\nTRUE", "***Days of week***\r\nFALSE\r\ntrue");
    bytes.replace("***FadeIn FadeOut***\r\nTRUE", "***FadeIn FadeOut***\r\nTrue");
    AlarmSettings back;
    ReadAlarmSettings(bytes, SettingsReader::Ringing, back);
    EXPECT_FALSE(back.weekdays[1]);
    EXPECT_TRUE(back.weekdays[2]);
    EXPECT_FALSE(back.fadeIn);

    struct Case {
        bool never, finished, after;
        ClosingMethod method;
    };
    for (Case c : {Case{false, false, false, ClosingMethod::None},
                   {true, false, false, ClosingMethod::Never},
                   {false, true, false, ClosingMethod::WhenFinished},
                   {true, true, false, ClosingMethod::WhenFinished},
                   {true, true, true, ClosingMethod::AfterMinutes}}) {
        s.closeNever = c.never, s.closeWhenFinished = c.finished, s.closeAfterMinutes = c.after;
        EXPECT_EQ(s.closingMethod(), c.method);
    }
}

TEST(AlarmSettingsFile, PlayListKeepsFirst256Entries)
{
    AlarmSettings s = sampleSettings();
    s.playList.clear();
    for (int i = 0; i < 300; ++i)
        s.playList.append(QStringLiteral("/music/%1.mp3").arg(i));
    AlarmSettings back;
    ReadAlarmSettings(WriteAlarmSettings(s), SettingsReader::Ringing, back);
    ASSERT_EQ(back.playList.size(), 256);
    EXPECT_EQ(back.playList.last(), "/music/255.mp3");
    EXPECT_EQ(back.volume, s.volume); // the entries past 256 were still read past
}

TEST(AlarmSettingsFile, PlayListCountFarBeyondTheFileStopsAtTheFileEnd)
{
    AlarmSettings s = sampleSettings();
    s.playList = {"/music/a.mp3"};
    QByteArray bytes = WriteAlarmSettings(s);
    ASSERT_TRUE(bytes.contains("\r\n1\r\n/music/a.mp3\r\n"));
    bytes.replace("\r\n1\r\n/music/a.mp3\r\n", "\r\n2147483647\r\n/music/a.mp3\r\n");
    for (SettingsReader reader : {SettingsReader::Editor, SettingsReader::Ringing}) {
        AlarmSettings back;
        // The rest of the file and then empty lines become entries; the sound index after them is missing.
        EXPECT_THROW(ReadAlarmSettings(bytes, reader, back), ConversionError);
        EXPECT_EQ(back.fieldsRead, int(SettingsField::PlaySound));
        ASSERT_EQ(back.playList.size(), 256);
        EXPECT_EQ(back.playList.first(), "/music/a.mp3");
        EXPECT_EQ(back.playList.last(), "");
    }
}

TEST(AlarmSettingsFile, MissingFileIsAnIoErrorReadingNothing)
{
    TempFolder dir;
    AlarmSettings s = sampleSettings();
    EXPECT_THROW(ReadAlarmSettingsFile(dir.path(), "4.ini", SettingsReader::Ringing, s), IoError);
    EXPECT_EQ(s.fieldsRead, 0);
    EXPECT_EQ(s.volume, 0);
}

TEST(BuiltInSounds, PathsAndItems)
{
    EXPECT_EQ(BuiltInSoundPath("/opt/b/", 0), "/opt/b/sounds/Rooster.wav");
    EXPECT_EQ(BuiltInSoundPath("/opt/b/", 10), "/opt/b/sounds/Drumroll.wav");
    EXPECT_EQ(BuiltInSoundPath("/opt/b/", 11), "/opt/b/sounds/");
    EXPECT_EQ(BuiltInSoundPath("/opt/b/", -1), "/opt/b/sounds/");
    EXPECT_EQ(encodeText(builtInSoundItem(2)).size(), 10); // "闹铃声    " with its four blanks
}
