#pragma once

#include <functional>
#include <memory>

#include <QString>
#include <QStringList>

class QTranslator;

/// The interface's language: Chinese, as the program was made, or English for everyone else.
enum class UiLanguage { Chinese, English };

/// `--lang zh|en` (or `--lang=…`) from the arguments when given; otherwise the first of LANGUAGE,
/// LC_ALL, LC_MESSAGES and LANG that names a language decides: Chinese for "zh…", English for any
/// other. With none of them set (or only "C"/"POSIX") the program speaks Chinese. `env` reads a
/// variable, so tests can give their own. A `--lang` value other than zh or en is an error.
UiLanguage chooseUiLanguage(const QStringList& arguments, const std::function<QString(const char*)>& env);

/// Puts the interface into English: the English translation is installed, so every text the
/// program marks for translation reads in English from then on. Windows made while it lives are
/// made in English; a window already open translates itself again on QEvent::LanguageChange.
/// Stored files are never touched: they keep the Chinese texts byte for byte.
class EnglishInterface {
public:
    EnglishInterface();
    ~EnglishInterface();
    EnglishInterface(const EnglishInterface&) = delete;
    EnglishInterface& operator=(const EnglishInterface&) = delete;

    bool loaded() const { return m_loaded; }

private:
    std::unique_ptr<QTranslator> m_translator;
    bool m_loaded = false;
};
