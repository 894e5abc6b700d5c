#include "app/interface_language.h"

#include <QCoreApplication>
#include <QTranslator>

#include "platform/errors.h"

UiLanguage chooseUiLanguage(const QStringList& arguments, const std::function<QString(const char*)>& env)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString value;
        if (arguments[i] == QLatin1String("--lang"))
            value = arguments.value(i + 1);
        else if (arguments[i].startsWith(QLatin1String("--lang=")))
            value = arguments[i].mid(7);
        else
            continue;
        if (value == QLatin1String("zh"))
            return UiLanguage::Chinese;
        if (value == QLatin1String("en"))
            return UiLanguage::English;
        throw ConversionError(
            QCoreApplication::translate("InterfaceLanguage", "--lang 只能是 zh 或 en，不能是\"%1\"")
                .arg(value));
    }
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        // LANGUAGE may list several, "en_GB:zh_CN": the first is the user's choice.
        const QString value = env(name).section(QLatin1Char(':'), 0, 0).trimmed();
        if (value.isEmpty() || value == QLatin1String("C") || value.startsWith(QLatin1String("C.")) ||
            value == QLatin1String("POSIX"))
            continue;
        return value.startsWith(QLatin1String("zh")) ? UiLanguage::Chinese : UiLanguage::English;
    }
    return UiLanguage::Chinese;
}

EnglishInterface::EnglishInterface() : m_translator(std::make_unique<QTranslator>())
{
    m_loaded = m_translator->load(QStringLiteral(":/i18n/belvane_en.qm"));
    if (m_loaded)
        QCoreApplication::installTranslator(m_translator.get());
}

EnglishInterface::~EnglishInterface()
{
    if (m_loaded && QCoreApplication::instance())
        QCoreApplication::removeTranslator(m_translator.get());
}
