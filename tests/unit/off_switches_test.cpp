#include <gtest/gtest.h>

#include "alarms/alarm_list_file.h"
#include "alarms/off_switches.h"
#include "helpers/temp_folder.h"
#include "platform/errors.h"

TEST(OffSwitches, FileRoundTripIsOneNumberALineInRisingOrder)
{
    TempFolder dir;
    OffSwitchFile file(dir.path());
    OffSwitches off;
    file.load(off); // no file: every alarm on
    EXPECT_TRUE(off.numbers().isEmpty());
    off.set(17, true);
    off.set(0, true);
    off.set(255, true);
    off.set(4, true);
    off.set(4, false);
    file.save(off);
    EXPECT_EQ(dir.read("off.ini"), QByteArray("0\r\n17\r\n255\r\n"));
    OffSwitches back;
    file.load(back);
    EXPECT_EQ(back.numbers(), off.numbers());
    off.clear();
    file.save(off);
    file.load(back);
    EXPECT_TRUE(back.numbers().isEmpty());
}

TEST(OffSwitches, DamagedFileIsReportedKeptAndLeavesEveryAlarmOn)
{
    for (const char* damaged : {"3\r\nthree\r\n", "3\r\n256\r\n", "-1\r\n", "3\r\n\r\n5\r\n", " 3\r\n"}) {
        TempFolder dir;
        dir.write("off.ini", damaged);
        OffSwitches off;
        off.set(9, true);
        try {
            OffSwitchFile(dir.path()).load(off);
            ADD_FAILURE() << "no error for " << damaged;
        } catch (const ConversionError& e) {
            EXPECT_TRUE(e.text().contains(dir.file("off.ini"))) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains("所有闹钟都是开着的")) << e.text().toStdString();
        }
        EXPECT_TRUE(off.numbers().isEmpty()) << damaged;
        EXPECT_EQ(dir.read("off.ini.bad"), QByteArray(damaged));
    }
}

TEST(OffSwitches, OnlyRowsSwitchedOnReachTheScheduler)
{
    TempFolder dir;
    AlarmListStore store(dir.path());
    for (const char* number : {"0", "1", "2"}) {
        AlarmEntry row;
        row.alarmNumber = number;
        row.caption = QByteArray("alarm ") + number;
        store.rows.append(row);
    }
    store.setOff(1, true);
    ASSERT_EQ(store.onRows().size(), 2);
    EXPECT_EQ(store.onRows()[0].caption, "alarm 0");
    EXPECT_EQ(store.onRows()[1].caption, "alarm 2");
    EXPECT_EQ(dir.read("off.ini"), QByteArray("1\r\n"));
    store.setOff(1, false);
    EXPECT_EQ(store.onRows().size(), 3);
    EXPECT_EQ(dir.read("off.ini"), QByteArray());
}

TEST(OffSwitches, FailedWriteChangesNothing)
{
    TempFolder dir;
    AlarmListStore store(dir.path() + "missing-folder/");
    EXPECT_THROW(store.setOff(3, true), IoError);
    EXPECT_FALSE(store.off.isOff(3));
}
