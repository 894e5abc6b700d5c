#include "app/command_line.h"

#include <QCoreApplication>
#include <cstdio>

#include <QCommandLineParser>
#include <QDir>

#include "alarms/alarm_commands.h"

namespace {

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

/// The commands, after the options in the help; a line a text, so each is translated whole.
QString commandsHelp()
{
    // A text split in two would be translated as two.
    // clang-format off
    static const char* const kLines[] = {
        QT_TRANSLATE_NOOP("CommandLine", "命令（时钟在运行时由它执行，否则直接修改闹钟文件）："),
        QT_TRANSLATE_NOOP(
            "CommandLine",
            "  alarm add HH:MM[:SS] [--name 文本] [--repeat once|hourly|daily|weekly|monthly|yearly]"),
        QT_TRANSLATE_NOOP("CommandLine",
                          "            [--days 数字] [--date YYYY-MM-DD] [--sound 0-10 | --play 文件...]"),
        QT_TRANSLATE_NOOP("CommandLine", "            [--volume 0-100] [--snooze 分钟]"),
        QT_TRANSLATE_NOOP(
            "CommandLine",
            "                      添加闹钟并显示它的编号。--days 是星期几，1 = 星期一 … 7 = 星期日"),
        QT_TRANSLATE_NOOP(
            "CommandLine",
            "                      （每星期的默认值 12345）；--date 用于 once、monthly 和 yearly，默认今天。"),
        QT_TRANSLATE_NOOP("CommandLine",
                          "  alarm list [--json]  列出闹钟：编号、名称、频率、时间、开关、下次响铃。"),
        QT_TRANSLATE_NOOP("CommandLine", "  alarm remove N       删除闹钟 N。"),
        QT_TRANSLATE_NOOP("CommandLine", "  alarm on N | off N   打开或关闭闹钟 N。"),
        QT_TRANSLATE_NOOP("CommandLine", "  alarm next           显示下一个要响的闹钟；没有时退出状态为 1。"),
        QT_TRANSLATE_NOOP("CommandLine",
                          "  ringing stop         停止正在响的闹钟，如同按下“确定”；没有时退出状态为 1。"),
        QT_TRANSLATE_NOOP("CommandLine", "  ringing snooze       让正在响的闹钟打盹儿；没有时退出状态为 1。"),
        QT_TRANSLATE_NOOP("CommandLine",
                          "退出状态：0 成功，1 没有可显示或可做的，2 参数错误（什么也没有改变）。"),
    };
    // clang-format on
    QString text;
    for (const char* line : kLines)
        text += QLatin1Char('\n') + QCoreApplication::translate("CommandLine", line);
    // A blank line before the exit status.
    const qsizetype last = text.lastIndexOf(QLatin1Char('\n'));
    text.insert(last, QLatin1Char('\n'));
    return text + QLatin1Char('\n');
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
    const QCommandLineOption open(
        QStringLiteral("open"),
        QCoreApplication::translate("CommandLine",
                                    "启动时钟（或找到正在运行的时钟）并打开窗口：new-alarm 或 alarm-list。"),
        QStringLiteral("new-alarm|alarm-list"));
    parser.addOptions({help, version, dataDir, lang, open});
    // Whatever follows a command belongs to it: "alarm add 07:00 --name Tea".
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);

    CommandLine result;
    const bool parsed = parser.parse(arguments);
    if (!parsed ||
        (!parser.positionalArguments().isEmpty() && !isAlarmCommand(parser.positionalArguments()))) {
        const QString why = parser.errorText().isEmpty()
                                ? QCoreApplication::translate("CommandLine", "未知参数：%1")
                                      .arg(parser.positionalArguments().join(QLatin1Char(' ')))
                                : parser.errorText();
        print(stderr, QStringLiteral("belvane: %1\n\n%2%3").arg(why, parser.helpText(), commandsHelp()));
        result.exitCode = 2;
    } else if (parser.isSet(lang) && parser.value(lang) != QLatin1String("zh") &&
               parser.value(lang) != QLatin1String("en")) {
        print(stderr,
              QCoreApplication::translate("CommandLine", "belvane: --lang 只能是 zh 或 en，不能是 \"%1\"\n")
                  .arg(parser.value(lang)));
        result.exitCode = 2;
    } else if (parser.isSet(open) && parser.value(open) != QLatin1String("new-alarm") &&
               parser.value(open) != QLatin1String("alarm-list")) {
        print(stderr, QCoreApplication::translate(
                          "CommandLine", "belvane: --open 只能是 new-alarm 或 alarm-list，不能是 \"%1\"\n")
                          .arg(parser.value(open)));
        result.exitCode = 2;
    } else if (parser.isSet(help)) {
        print(stdout, parser.helpText() + commandsHelp());
        result.exitCode = 0;
    } else if (parser.isSet(version)) {
        print(stdout, QStringLiteral("belvane %1\n").arg(QStringLiteral(BELVANE_VERSION)));
        result.exitCode = 0;
    } else {
        result.dataDir = parser.value(dataDir);
        result.lang = parser.value(lang);
        result.open = parser.value(open);
        result.command = parser.positionalArguments();
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
