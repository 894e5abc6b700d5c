#include <gtest/gtest.h>

#include <QTextStream>

#include "alarms/alarm_commands.h"
#include "alarms/alarm_list_file.h"
#include "helpers/temp_folder.h"

static const QDateTime kNow(QDate(2026, 12, 7), QTime(6, 30));

TEST(AlarmCommands, DBusFieldsCarryEveryChoiceOfTheCommandLine)
{
    TempFolder dir;
    dir.write("a.ogg", "");
    dir.write("--b.ogg", "");
    // Each row would lose a choice on its way to the running copy if the fields dropped or bent it.
    const QStringList rows[] = {
        {"07:00"},
        {"07:05:30", "--repeat", "once", "--date", "2027-01-09", "--name", "Two\nlines"},
        {"00:15", "--repeat=hourly", "--sound", "4", "--volume", "40", "--snooze", "5"},
        {"06:45", "--days", "67", "--name=a=b"},
        {"09:00", "--repeat", "yearly", "--date", "2027-02-28", "--play", "a.ogg", "--play=--b.ogg"},
    };
    for (const QStringList& row : rows) {
        SCOPED_TRACE(row.join(' ').toStdString());
        const QStringList checked = checkCommand(QStringList{"alarm", "add"} + row, kNow, dir.path()).mid(2);
        const QStringList overBus = addArgumentsFromFields(addFieldsFromArguments(checked));
        EXPECT_EQ(parseAlarmAdd(overBus, kNow), parseAlarmAdd(row, kNow, dir.path()));
    }
    EXPECT_THROW(addArgumentsFromFields({{"loudness", 3}}), CommandError);
}

TEST(AlarmCommands, StoreTargetListsSwitchesAndRemovesByNumber)
{
    TempFolder dir;
    AlarmListStore store{dir.path()};
    int changes = 0;
    QObject::connect(&store, &AlarmListStore::changed, [&] { ++changes; });
    StoreAlarmTarget target(
        store, [] { return kNow; },
        [](const AlarmEntry& row) {
            return row.caption == "Never" ? std::nullopt : std::optional(kNow.addSecs(1800));
        },
        DateTimeLocale::neutral());
    for (const char* name : {"Tea", "Never", "Walk"})
        target.add({"07:00", "--repeat", "daily", "--name", name});
    EXPECT_EQ(changes, 3) << "whoever shows the list hears of each change";
    target.remove(1);
    EXPECT_EQ(target.add({"08:00", "--name", "Again"}), 1) << "the lowest free number is given again";
    target.setEnabled(0, false);

    QString out, err;
    QTextStream o(&out), e(&err);
    ASSERT_EQ(runAlarmCommand({"alarm", "list", "--json"}, target, kNow, {}, o, e), 0);
    o.flush();
    EXPECT_TRUE(out.contains("\"enabled\": false")) << out.toStdString();
    EXPECT_TRUE(out.contains("\"next\": null")) << "an alarm switched off will not ring";
    const QVariantMap next = target.next();
    EXPECT_EQ(next.value("name").toString(), "Walk") << "the first alarm that is on and rings";
    EXPECT_EQ(next.value("frequency").toString(), "daily");

    const struct {
        QStringList command;
        int status;
        const char* says;
    } refused[] = {
        {{"alarm", "remove", "9"}, 2, "没有编号为 9 的闹钟"},
        {{"alarm", "on", "9"}, 2, "没有编号为 9 的闹钟"},
        {{"ringing", "snooze"}, 1, "没有正在响的闹钟"},
    };
    const QByteArray listBefore = dir.read("al.ini");
    for (const auto& r : refused) {
        err.clear();
        EXPECT_EQ(runAlarmCommand(r.command, target, kNow, {}, o, e), r.status);
        e.flush();
        EXPECT_EQ(err, QStringLiteral("belvane: %1\n").arg(QString::fromUtf8(r.says)));
    }
    EXPECT_EQ(dir.read("al.ini"), listBefore);
}
