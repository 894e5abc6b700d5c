// Adds one alarm to a program folder the way the alarm list does: the lowest free number, its own
// settings file, a new row at the end of "al.ini". The journeys use it to lay out alarms without
// going through the windows.
//
//   add_alarm_files FOLDER key=value...
//     caption=TEXT  frequency=0..5  at="yyyy-MM-dd hh:mm:ss"  weekdays=1111111  sound=0..10
//     volume=0..100  snooze=MIN  autosnooze=MIN  fadein=MIN  reminder=TEXT (\n starts a new line)
//     minutes=MIN (how long the sound rings; 15 as the editor gives)  close=finished (closes when done)
//     music=PATH (plays a play list instead of the sound; once for each entry, in order)
//     replace=ROW  (edits that row, 0 first, as the editor's OK does, instead of adding one)
//     remove=ROW   (deletes that row and its settings file, as the list's 删除 does; nothing else needed)
//
// Prints the alarm's number.
#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "alarms/alarm_display.h"
#include "alarms/alarm_list_file.h"
#include "alarms/alarm_settings_file.h"
#include "platform/errors.h"
#include "platform/line_file.h"

namespace {

int fail(const QString& text)
{
    std::fprintf(stderr, "add_alarm_files: %s\n", qPrintable(text));
    return 2;
}

int removeRow(const QString& folder, int row)
{
    try {
        AlarmListStore store(folder);
        store.load();
        if (row >= store.rows.size())
            return fail(QStringLiteral("there is no row %1 in %2").arg(QString::number(row), folder));
        const QByteArray number = store.rows[row].alarmNumber;
        store.removeRow(row);
        std::printf("%s\n", number.constData());
    } catch (const BelvaneError& e) {
        return fail(e.text());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return fail(QStringLiteral("usage: add_alarm_files FOLDER key=value..."));
    const QString folder = QDir(args[0]).absolutePath() + QLatin1Char('/');

    EditedAlarmInfo info;
    info.caption = QStringLiteral("alarm");
    info.weekdayMask = QStringLiteral("1111111");
    AlarmSettings s;
    s.playSound = true;
    s.soundIndex = 0;
    s.volume = 80;
    s.snoozeMinutes = 5;
    s.soundMinutes = 15;
    s.closeNever = true;
    QDateTime at;
    int replace = -1;
    int remove = -1;
    for (const QString& arg : args.mid(1)) {
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (eq < 1)
            return fail(QStringLiteral("expected key=value, got \"%1\"").arg(arg));
        const QString key = arg.left(eq), value = arg.mid(eq + 1);
        bool ok = true;
        if (key == QLatin1String("caption"))
            info.caption = value;
        else if (key == QLatin1String("frequency"))
            info.frequencyIndex = value.toInt(&ok);
        else if (key == QLatin1String("at"))
            at = QDateTime::fromString(value, QStringLiteral("yyyy-MM-dd hh:mm:ss")), ok = at.isValid();
        else if (key == QLatin1String("weekdays"))
            info.weekdayMask = value;
        else if (key == QLatin1String("sound"))
            s.soundIndex = value.toInt(&ok);
        else if (key == QLatin1String("volume"))
            s.volume = value.toInt(&ok);
        else if (key == QLatin1String("snooze"))
            s.snoozeMinutes = value.toInt(&ok);
        else if (key == QLatin1String("autosnooze"))
            s.autoSnooze = true, s.autoSnoozeMinutes = value.toInt(&ok);
        else if (key == QLatin1String("fadein"))
            s.fadeIn = true, s.fadeInMinutes = value.toInt(&ok);
        else if (key == QLatin1String("music"))
            s.playMusic = true, s.playSound = false, s.playList.append(value);
        else if (key == QLatin1String("minutes"))
            s.soundMinutes = value.toInt(&ok);
        else if (key == QLatin1String("close"))
            ok = value == QLatin1String("finished"), s.closeNever = !ok, s.closeWhenFinished = ok;
        else if (key == QLatin1String("replace"))
            replace = value.toInt(&ok);
        else if (key == QLatin1String("remove"))
            remove = value.toInt(&ok);
        else if (key == QLatin1String("reminder"))
            s.reminderText = value.split(QStringLiteral("\\n"));
        else
            return fail(QStringLiteral("unknown key \"%1\"").arg(key));
        if (!ok)
            return fail(QStringLiteral("bad value for %1: \"%2\"").arg(key, value));
    }
    if (remove >= 0)
        return removeRow(folder, remove);
    if (!at.isValid())
        return fail(QStringLiteral("at=\"yyyy-MM-dd hh:mm:ss\" is required"));
    info.date = at.date();
    info.time = at.time();
    s.frequencyIndex = info.frequencyIndex;
    s.year = at.date().year(), s.month = at.date().month(), s.day = at.date().day();
    s.hour = at.time().hour(), s.minute = at.time().minute(), s.second = at.time().second();
    for (int d = 0; d < 7; ++d)
        s.weekdays[size_t(d)] = d < info.weekdayMask.size() && info.weekdayMask[d] == QLatin1Char('1');

    try {
        AlarmListStore store(folder);
        store.load();
        if (replace >= store.rows.size())
            return fail(QStringLiteral("there is no row %1 in %2").arg(QString::number(replace), folder));
        const std::optional<int> number =
            replace >= 0 ? std::optional(toInt(store.rows[replace].alarmNumber)) : store.allocateNumber();
        if (!number)
            return fail(QStringLiteral("all alarm numbers are taken in %1").arg(folder));
        if (replace >= 0)
            store.replaceRow(replace,
                             makeAlarmEntry(info, *number, RowOrigin::Edit, DateTimeLocale::neutral()),
                             WriteAlarmSettings(s));
        else
            store.addRow(makeAlarmEntry(info, *number, RowOrigin::Add, DateTimeLocale::neutral()),
                         WriteAlarmSettings(s));
        std::printf("%d\n", *number);
    } catch (const BelvaneError& e) {
        return fail(e.text());
    }
    return 0;
}
