#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

#include "alarms/alarm_list_window.h"
#include "app/application.h"
#include "clockface/main_window.h"
#include "helpers/fake_services.h"
#include "helpers/modal.h"
#include "helpers/read_only_folder.h"
#include "helpers/temp_folder.h"
#include "platform/data_folder.h"
#include "ringing/alarm_dispatcher.h"
#include "ringing/alarm_run_window.h"
#include "ui/error_report.h"

// An installed program folder the user cannot write, and a user who has never run the clock: the
// alarm is added and rings, everything is stored in the user's own folder, the program folder is
// left as it was.
TEST(DataFolderWindows, AlarmAddedAndRungFromAReadOnlyProgramFolder)
{
    TempFolder program, home;
    program.installSkins();
    QDir(program.path()).mkpath("sounds");
    const QDir sounds(QStringLiteral(BELVANE_ASSETS_DIR "/sounds"));
    for (const QString& name : sounds.entryList(QDir::Files))
        QFile::copy(sounds.filePath(name), program.file("sounds/" + name));
    const QStringList before = QDir(program.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    ReadOnlyFolder readOnly(program.path());
    if (!readOnly.active())
        GTEST_SKIP() << "this file system cannot refuse writes to its owner";
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    const QString data = settleDataFolder(program.path(), {});
    qunsetenv("XDG_CONFIG_HOME");
    ASSERT_EQ(data, home.path() + "belvane/");

    QStringList errors;
    setErrorSink([&](const QString& text) { errors << text; });
    {
        FakeServices fake;
        BelvaneWindows windows(fake.services, {program.path(), data});
        TFormAlarmList& list = windows.alarmList();
        answerNextModal([](QDialog* editor) {
            editor->findChild<QPlainTextEdit*>("Memo")->setPlainText("该起床了");
            editor->findChild<QComboBox*>("Frequency")->setCurrentIndex(2);
            editor->findChild<QTimeEdit*>("TimePicker")->setTime(QTime(7, 0, 0));
            QTest::mouseClick(editor->findChild<QPushButton*>("OK"), Qt::LeftButton);
        });
        QTest::mouseClick(list.findChild<QPushButton*>("ButtonAdd"), Qt::LeftButton);
        ASSERT_EQ(windows.store().rows.size(), 1);

        fake.clock.set(QDateTime(QDate(2026, 12, 7), QTime(7, 0, 0, 100)));
        windows.scheduler().checkNow();
        TAlarmRun* ringing = windows.scheduler().ringingWindow();
        ASSERT_NE(ringing, nullptr);
        EXPECT_EQ(ringing->findChild<QPlainTextEdit*>("Memo")->toPlainText(), "该起床了");
        QTest::mouseClick(ringing->findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
        windows.main().close(); // stores the skin choice
    }
    setErrorSink({});
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    const QStringList stored = QDir(data).entryList(QDir::Files);
    for (const char* name : {"0.ini", "al.ini", "alarm.ini", "skinname.ini"})
        EXPECT_TRUE(stored.contains(name)) << name << " not in " << stored.join(' ').toStdString();
    EXPECT_EQ(QDir(program.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}
