#include "app/display_failure.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace {

QtMessageHandler previousHandler = nullptr;
QStringList heldMessages;
QByteArray noDisplayText;

void holdOrFail(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        heldMessages.append(qFormatLogMessage(type, context, message));
        return;
    }
    std::fputs(noDisplayText.constData(), stderr);
    // A display was named but did not answer: which one, as Qt said, for whoever mends the session.
    // Qt's own last words (reinstalling the program) would point the wrong way.
    (void)message;
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        for (const QString& held : heldMessages)
            std::fprintf(stderr, "  %s\n", held.toLocal8Bit().constData());
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

QString noDisplayMessage()
{
    return QCoreApplication::translate(
        "Main", "belvane: 无法连接到图形界面（DISPLAY 和 WAYLAND_DISPLAY 都未设置或无法连接）\n");
}

DisplayFailureGuard::DisplayFailureGuard(const QString& message)
{
    noDisplayText = message.toLocal8Bit();
    previousHandler = qInstallMessageHandler(holdOrFail);
}

DisplayFailureGuard::~DisplayFailureGuard()
{
    qInstallMessageHandler(previousHandler);
    const QStringList held = std::exchange(heldMessages, {});
    for (const QString& message : held)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}
