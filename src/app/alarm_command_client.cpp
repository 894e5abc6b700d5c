#include "app/alarm_command_client.h"

#include <cstdio>
#include <memory>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDir>
#include <QTextStream>

#include "alarms/alarm_list_file.h"
#include "app/single_instance.h"
#include "platform/data_folder.h"
#include "platform/program_folder.h"
#include "ringing/alarm_occurrence.h"
#include "shell/alarm_bus.h"

namespace {

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

/// The running copy, over D-Bus: its named errors carry the command line's messages.
class BusTarget : public AlarmTarget {
public:
    explicit BusTarget(QDBusConnection bus) : m_bus(std::move(bus))
    {
        qDBusRegisterMetaType<QList<QVariantMap>>();
    }

    int add(const QStringList& arguments) override
    {
        return int(call(QStringLiteral("AddAlarm"), {addFieldsFromArguments(arguments)}).value(0).toUInt());
    }
    QList<QVariantMap> list() override
    {
        return qdbus_cast<QList<QVariantMap>>(call(QStringLiteral("ListAlarms")).value(0));
    }
    void remove(int number) override { call(QStringLiteral("RemoveAlarm"), {uint(number)}); }
    void setEnabled(int number, bool enabled) override
    {
        call(QStringLiteral("SetAlarmEnabled"), {uint(number), enabled});
    }
    QVariantMap next() override
    {
        return qdbus_cast<QVariantMap>(call(QStringLiteral("NextAlarm")).value(0));
    }
    void stopRinging() override { call(QStringLiteral("StopRinging")); }
    void snoozeRinging() override { call(QStringLiteral("SnoozeRinging")); }

private:
    QVariantList call(const QString& method, const QVariantList& arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(kBusName, kBusPath, kAlarmsInterface, method);
        message.setArguments(arguments);
        // Generous: the running copy may be busy opening a ringing window.
        const QDBusMessage reply = m_bus.call(message, QDBus::Block, 20000);
        if (reply.type() == QDBusMessage::ErrorMessage)
            throw CommandError(CommandError::kindOfBusName(reply.errorName()), reply.errorMessage());
        return reply.arguments();
    }

    QDBusConnection m_bus;
};

/// The files, with no copy running: read when first needed, so a command that fails its checks or
/// needs no alarm touches nothing.
class FileTarget : public AlarmTarget {
public:
    explicit FileTarget(QString dataDir) : m_dataDir(std::move(dataDir)) {}

    int add(const QStringList& arguments) override { return store().add(arguments); }
    QList<QVariantMap> list() override { return store().list(); }
    void remove(int number) override { store().remove(number); }
    void setEnabled(int number, bool enabled) override { store().setEnabled(number, enabled); }
    QVariantMap next() override { return store().next(); }
    // With no copy running nothing rings.
    void stopRinging() override { throw nothingRings(); }
    void snoozeRinging() override { throw nothingRings(); }

private:
    StoreAlarmTarget& store()
    {
        if (!m_target) {
            m_list = std::make_unique<AlarmListStore>(settleDataFolder(programFolder(), m_dataDir));
            m_list->load();
            m_list->loadOffSwitches();
            m_target = std::make_unique<StoreAlarmTarget>(
                *m_list, [] { return QDateTime::currentDateTime(); },
                [](const AlarmEntry& row) { return nextOccurrence(row, QDateTime::currentDateTime()); },
                DateTimeLocale::system());
        }
        return *m_target;
    }

    QString m_dataDir;
    std::unique_ptr<AlarmListStore> m_list;
    std::unique_ptr<StoreAlarmTarget> m_target;
};

bool runningCopyOnBus(const QDBusConnection& bus)
{
    return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(kBusName).value();
}

} // namespace

int runCommandLine(const QStringList& command, const QString& dataDir)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString here = QDir::currentPath();
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    int code = 0;
    QStringList checked;
    try {
        checked = checkCommand(command, now, here);
    } catch (const CommandError&) {
        // Reported in the usual words by the run below, which stops at the same check.
    }

    SingleInstance instance;
    if (checked.isEmpty()) {
        FileTarget untouched(dataDir);
        code = runAlarmCommand(command, untouched, now, here, outStream, errStream);
    } else if (runningCopyOnBus(QDBusConnection::sessionBus())) {
        BusTarget target(QDBusConnection::sessionBus());
        code = runAlarmCommand(checked, target, now, here, outStream, errStream);
    } else if (instance.lockWhileNoCopyRuns()) {
        FileTarget target(dataDir);
        code = runAlarmCommand(checked, target, now, here, outStream, errStream);
    } else if (const std::optional<QByteArray> answer = instance.ask(encodeCommandRequest(checked));
               !answer || !decodeCommandAnswer(*answer, code, out, err)) {
        code = 1;
        err = QCoreApplication::translate(
            "AlarmCommands", "belvane: 运行中的 Belvane 没有应答（命令太长时请在会话总线上运行它）\n");
    }
    outStream.flush();
    errStream.flush();
    print(stdout, out);
    print(stderr, err);
    return code;
}
