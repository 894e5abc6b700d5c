#include "shell/alarm_bus.h"

#include <memory>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QTextStream>

#include "alarms/alarm_list_file.h"
#include "platform/clock.h"
#include "platform/text_codec.h"
#include "ringing/alarm_dispatcher.h"
#include "ringing/alarm_occurrence.h"
#include "ringing/alarm_run_window.h"

namespace {

const QByteArray kCommand = "command ";

} // namespace

RunningAlarms::RunningAlarms(AlarmListStore& store, AlarmDispatcher& dispatcher, Clock& clock)
    : QObject(&dispatcher), m_store(
                                store, [&clock] { return clock.now(); },
                                [&clock](const AlarmEntry& row) { return nextOccurrence(row, clock.now()); },
                                DateTimeLocale::system()),
      m_dispatcher(dispatcher)
{
    connect(&dispatcher, &AlarmDispatcher::ringingStarted, this, &RunningAlarms::followRinging);
}

void RunningAlarms::followRinging(TAlarmRun* window)
{
    const RingRequest& request = window->request();
    if (request.trial)
        return; // a trial from the editor is no alarm of the list
    bool ok = false;
    const uint number = request.occurrence.row.alarmNumber.toUInt(&ok);
    if (!ok)
        return;
    emit alarmRinging(
        number, decodeText(request.occurrence.row.caption),
        request.occurrence.due.toOffsetFromUtc(request.occurrence.due.offsetFromUtc()).toString(Qt::ISODate));
    auto answered = std::make_shared<QMetaObject::Connection>();
    *answered = connect(window, &TAlarmRun::answered, this,
                        [this, number](const QString& how) { announceAnswered(int(number), how); });
    // Once it has ended unanswered, the OK that closes the silent window answers nothing.
    connect(window, &TAlarmRun::unanswered, this, [this, number, answered] {
        disconnect(*answered);
        announceAnswered(int(number), QStringLiteral("unanswered"));
    });
}

void RunningAlarms::announceAnswered(int number, const QString& how)
{
    emit alarmAnswered(uint(number), how);
}

TAlarmRun& RunningAlarms::ringingWindow() const
{
    TAlarmRun* window = m_dispatcher.ringingWindow();
    if (!window || window->closed())
        throw nothingRings();
    return *window;
}

void RunningAlarms::stopRinging()
{
    ringingWindow().ButtonOKClick();
}

void RunningAlarms::snoozeRinging()
{
    ringingWindow().ButtonSnoozeClick();
}

AlarmsBusAdaptor::AlarmsBusAdaptor(QObject* parent, RunningAlarms& alarms)
    : QDBusAbstractAdaptor(parent), m_alarms(alarms)
{
    connect(&alarms, &RunningAlarms::alarmRinging, this, &AlarmsBusAdaptor::AlarmRinging);
    connect(&alarms, &RunningAlarms::alarmAnswered, this, &AlarmsBusAdaptor::AlarmAnswered);
}

void AlarmsBusAdaptor::answer(const std::function<void()>& call)
{
    try {
        call();
    } catch (const CommandError& e) {
        sendErrorReply(e.busName(), e.text());
    } catch (const BelvaneError& e) {
        sendErrorReply(CommandError(CommandError::Kind::Failed, e.text()).busName(), e.text());
    }
}

uint AlarmsBusAdaptor::AddAlarm(const QVariantMap& fields)
{
    uint number = 0;
    answer([&] { number = uint(m_alarms.add(addArgumentsFromFields(fields))); });
    return number;
}

QList<QVariantMap> AlarmsBusAdaptor::ListAlarms()
{
    QList<QVariantMap> alarms;
    answer([&] { alarms = m_alarms.list(); });
    return alarms;
}

void AlarmsBusAdaptor::RemoveAlarm(uint number)
{
    answer([&] { m_alarms.remove(parseAlarmNumber(QString::number(number))); });
}

void AlarmsBusAdaptor::SetAlarmEnabled(uint number, bool enabled)
{
    answer([&] { m_alarms.setEnabled(parseAlarmNumber(QString::number(number)), enabled); });
}

QVariantMap AlarmsBusAdaptor::NextAlarm()
{
    QVariantMap alarm;
    answer([&] { alarm = m_alarms.next(); });
    return alarm;
}

void AlarmsBusAdaptor::StopRinging()
{
    answer([&] { m_alarms.stopRinging(); });
}

void AlarmsBusAdaptor::SnoozeRinging()
{
    answer([&] { m_alarms.snoozeRinging(); });
}

ApplicationBusAdaptor::ApplicationBusAdaptor(QObject* parent, std::function<void()> activate,
                                             std::function<bool(const QString&)> openWindow)
    : QDBusAbstractAdaptor(parent), m_activate(std::move(activate)), m_openWindow(std::move(openWindow))
{
}

void ApplicationBusAdaptor::Activate(const QVariantMap&)
{
    m_activate();
}

void ApplicationBusAdaptor::Open(const QStringList&, const QVariantMap&)
{
    m_activate();
}

void ApplicationBusAdaptor::ActivateAction(const QString& action, const QVariantList&, const QVariantMap&)
{
    if (!m_openWindow(action))
        sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                       QCoreApplication::translate("AlarmCommands", "没有动作 \"%1\"").arg(action));
}

bool exportOnSessionBus(QObject* owner, RunningAlarms& alarms, std::function<void()> activate,
                        std::function<bool(const QString&)> openWindow)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    qDBusRegisterMetaType<QList<QVariantMap>>();
    auto* object = new QObject(owner);
    new AlarmsBusAdaptor(object, alarms);
    new ApplicationBusAdaptor(object, std::move(activate), std::move(openWindow));
    return bus.registerObject(kBusPath, object) && bus.registerService(kBusName);
}

QByteArray encodeCommandRequest(const QStringList& arguments)
{
    return kCommand + arguments.join(QChar(0)).toUtf8().toBase64();
}

QByteArray answerCommandRequest(const QByteArray& line, AlarmTarget& target, const QDateTime& now)
{
    if (!line.startsWith(kCommand))
        return {};
    const QStringList arguments =
        QString::fromUtf8(QByteArray::fromBase64(line.mid(kCommand.size()))).split(QChar(0));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int code = runAlarmCommand(arguments, target, now, QString(), outStream, errStream);
    outStream.flush();
    errStream.flush();
    return QByteArray::number(code) + ' ' + out.toUtf8().toBase64() + ' ' + err.toUtf8().toBase64();
}

bool decodeCommandAnswer(const QByteArray& answer, int& exitCode, QString& out, QString& err)
{
    const QList<QByteArray> parts = answer.split(' ');
    bool ok = false;
    if (parts.size() != 3)
        return false;
    exitCode = parts[0].toInt(&ok);
    out = QString::fromUtf8(QByteArray::fromBase64(parts[1]));
    err = QString::fromUtf8(QByteArray::fromBase64(parts[2]));
    return ok;
}
