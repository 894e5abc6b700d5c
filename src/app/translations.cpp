#include "app/translations.h"

#include <functional>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

void install(QCoreApplication& app, const std::function<bool(QTranslator&)>& load)
{
    auto* translator = new QTranslator(&app);
    if (load(*translator))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

void installChineseTranslations(QCoreApplication& app)
{
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    install(app, [&](QTranslator& t) {
        return t.load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    });
    // Installed last, so it is asked first; it holds only texts the catalogue above lacks.
    install(app, [](QTranslator& t) { return t.load(QStringLiteral(":/i18n/qt_missing_zh_CN.qm")); });
}
