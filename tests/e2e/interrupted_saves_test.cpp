#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>

#include "alarms/alarm_list_file.h"
#include "alarms/alarm_settings_file.h"
#include "helpers/temp_folder.h"
#include "platform/errors.h"
#include "platform/text_codec.h"

namespace {

/// Runs add_alarm_files on the folder and kills it (SIGKILL) at the n-th event in the folder: a
/// file made, written, closed after writing, renamed or deleted. False when it finished first.
bool killedAtEvent(const QString& folder, const QStringList& keys, int n)
{
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    inotify_add_watch(watch, QFile::encodeName(folder).constData(),
                      IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE);
    QProcess change;
    change.start(BELVANE_ADD_ALARM, QStringList{folder} + keys);
    change.waitForStarted();
    int seen = 0;
    bool killed = false;
    while (!killed && !change.waitForFinished(0)) {
        pollfd ready{watch, POLLIN, 0};
        if (poll(&ready, 1, 20) <= 0)
            continue;
        alignas(inotify_event) char events[4096];
        const ssize_t got = read(watch, events, sizeof events);
        for (ssize_t at = 0; at < got && !killed;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (++seen == n) {
                ::kill(pid_t(change.processId()), SIGKILL);
                killed = true;
            }
        }
    }
    change.waitForFinished(30000);
    close(watch);
    return killed;
}

/// The rows of the list after the next start's load, each with the reminder of its settings file.
/// Fails the test when a row has no settings file, or a file lies in the folder that is not the list
/// or a listed alarm's settings file (an orphan, a half-done change, a temporary file).
QStringList rowsAfterRestart(const QString& folder, const char* when)
{
    AlarmListStore store(folder);
    EXPECT_NO_THROW(store.load()) << when;
    QStringList expected{"al.ini"};
    QStringList rows;
    for (const AlarmEntry& row : store.rows) {
        const QString file = SettingsFileName(row.alarmNumber.toInt());
        expected << file;
        AlarmSettings settings;
        try {
            ReadAlarmSettingsFile(folder, file, SettingsReader::Ringing, settings);
        } catch (const BelvaneError& e) {
            ADD_FAILURE() << when << ": " << e.text().toStdString();
        }
        rows << decodeText(row.caption) + " / " + settings.reminderText.value(0);
    }
    QStringList present = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    present.sort();
    expected.sort();
    EXPECT_EQ(present, expected) << when;
    return rows;
}

} // namespace

// A change is killed at each of its file events in turn; the next start finds the list row and its
// settings file both as they were or both as they became (both gone after a delete), and nothing else.
TEST(InterruptedSaves, AKillAtAnyFileEventOfAnAddAnEditOrADeleteLeavesRowAndSettingsAgreeing)
{
    struct Case {
        const char* change;
        QStringList keys;
        QList<QStringList> allowed;
    };
    const QStringList before{"Before / Before"};
    const Case cases[] = {
        {"add",
         {"caption=Added", "at=2026-12-07 07:00:00", "reminder=Added"},
         {before, {"Before / Before", "Added / Added"}}},
        {"edit",
         {"caption=Edited", "at=2026-12-07 08:00:00", "reminder=Edited", "replace=0"},
         {before, {"Edited / Edited"}}},
        {"delete", {"remove=0"}, {before, {}}},
    };
    for (const Case& c : cases) {
        int n = 1;
        for (;; ++n) {
            TempFolder dir;
            const QString folder = dir.path() + "/";
            ASSERT_FALSE(
                killedAtEvent(folder, {"caption=Before", "at=2026-12-07 06:00:00", "reminder=Before"}, 0));
            const bool killed = killedAtEvent(folder, c.keys, n);
            const std::string when = std::string(c.change) + " killed at event " + std::to_string(n);
            const QStringList rows = rowsAfterRestart(folder, when.c_str());
            EXPECT_TRUE(c.allowed.contains(rows)) << when << ": " << rows.join(", ").toStdString();
            if (!killed) {
                EXPECT_EQ(rows, c.allowed.last()) << c.change << " ran to its end";
                break;
            }
        }
        EXPECT_GT(n, 4) << c.change << ": too few file events to have tried the points in between";
    }
}
