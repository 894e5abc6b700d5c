#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include "helpers/wait_limit.h"

/// Whether the test run has its own PulseAudio server with a null sink (scripts/run-tests.sh).
inline bool testSoundServer()
{
    return qEnvironmentVariable("BELVANE_TEST_PULSE") == QStringLiteral("1");
}

/// This test program's sound streams on the sound server, as `pactl list sink-inputs` shows them:
/// "#12 corked 0%" for stream 12 waiting paused at volume 0, "#12 playing 100%" (the first channel's
/// volume).
inline QStringList ourStreams()
{
    QProcess pactl;
    pactl.setEnvironment(QProcess::systemEnvironment() << QStringLiteral("LC_ALL=C"));
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")});
    pactl.waitForFinished(kWaitLimitMs);
    const QString ours =
        QStringLiteral("application.process.id = \"%1\"").arg(QCoreApplication::applicationPid());
    const QRegularExpression state(
        QStringLiteral("^(\\d+)\\n.*\\n\\s*Corked: (\\w+)\\n.*?\\n\\s*Volume: [^/]*/\\s*(\\d+)%"),
        QRegularExpression::DotMatchesEverythingOption);
    QStringList streams;
    for (const QString& input :
         QString::fromUtf8(pactl.readAllStandardOutput()).split(QStringLiteral("Sink Input #")))
        if (const QRegularExpressionMatch m = state.match(input); m.hasMatch() && input.contains(ours))
            streams << QStringLiteral("#%1 %2 %3%")
                           .arg(m.captured(1), m.captured(2) == QLatin1String("yes") ? "corked" : "playing",
                                m.captured(3));
    return streams;
}
