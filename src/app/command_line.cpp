#include "app/command_line.h"

#include <QCoreApplication>
#include <cstdio>

#include <QCommandLineParser>
#include <QDir>

namespace {

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

CommandLine readCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate("CommandLine", "Belvane: 桌面闹钟。"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("CommandLine", "显示此帮助并退出。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QCoreApplication::translate("CommandLine", "显示版本并退出。"));
    const QCommandLineOption dataDir(
        QStringLiteral("data-dir"),
        QCoreApplication::translate("CommandLine",
                                    "闹钟和设置文件存放在 <目录> 中（默认 ~/.config/belvane）。"),
        QCoreApplication::translate("CommandLine", "目录"));
    // Read again, before any window, by chooseUiLanguage; here it is only accepted and checked.
    const QCommandLineOption lang(
        QStringLiteral("lang"),
        QCoreApplication::translate("CommandLine", "界面语言：zh（中文）或 en（English）。"),
        QStringLiteral("zh|en"));
    parser.addOptions({help, version, dataDir, lang});

    CommandLine result;
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        const QString why = parser.errorText().isEmpty()
                                ? QCoreApplication::translate("CommandLine", "未知参数：%1")
                                      .arg(parser.positionalArguments().join(QLatin1Char(' ')))
                                : parser.errorText();
        print(stderr, QStringLiteral("belvane: %1\n\n%2").arg(why, parser.helpText()));
        result.exitCode = 2;
    } else if (parser.isSet(lang) && parser.value(lang) != QLatin1String("zh") &&
               parser.value(lang) != QLatin1String("en")) {
        print(stderr,
              QCoreApplication::translate("CommandLine", "belvane: --lang 只能是 zh 或 en，不能是 \"%1\"\n")
                  .arg(parser.value(lang)));
        result.exitCode = 2;
    } else if (parser.isSet(help)) {
        print(stdout, parser.helpText());
        result.exitCode = 0;
    } else if (parser.isSet(version)) {
        print(stdout, QStringLiteral("belvane %1\n").arg(QStringLiteral(BELVANE_VERSION)));
        result.exitCode = 0;
    } else {
        result.dataDir = parser.value(dataDir);
        result.lang = parser.value(lang);
    }
    return result;
}

QStringList argumentsToRepeat(const CommandLine& commandLine, const QString& dataFolder)
{
    QStringList arguments;
    if (!commandLine.dataDir.isEmpty())
        arguments << QStringLiteral("--data-dir") << QDir(dataFolder).absolutePath();
    if (!commandLine.lang.isEmpty())
        arguments << QStringLiteral("--lang") << commandLine.lang;
    return arguments;
}
