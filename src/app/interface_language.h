#pragma once

#include <functional>
#include <memory>

#include <QObject>
#include <QString>
#include <QStringList>

class QTranslator;
class QWidget;

/// The interface's language: Chinese, as the program was made, or English for everyone else.
enum class UiLanguage { Chinese, English };

/// `--lang zh|en` (or `--lang=…`) from the arguments when given; otherwise the first of LANGUAGE,
/// LC_ALL, LC_MESSAGES and LANG that names a language decides: Chinese for "zh…", English for any
/// other. With none of them set (or only "C"/"POSIX") the program speaks Chinese. `env` reads a
/// variable, so tests can give their own. A `--lang` value other than zh or en is an error.
UiLanguage chooseUiLanguage(const QStringList& arguments, const std::function<QString(const char*)>& env);

/// Puts the interface into English: the English translation is installed and every window's texts
/// (captions, labels, buttons, tabs, list headers, menus, drop-down items, tooltips) are translated
/// when it is first shown, so the windows themselves keep their Chinese source texts. Stored files
/// are never touched: they keep the Chinese texts byte for byte. Lives as long as the application.
class EnglishInterface : public QObject {
    Q_OBJECT
public:
    EnglishInterface();
    ~EnglishInterface() override;

    bool loaded() const { return m_loaded; }
    /// Translates a window's texts now; done by itself when a window is first shown.
    static void translateWindow(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<QTranslator> m_translator;
    bool m_loaded = false;
};

/// The context every interface text is translated in.
inline constexpr char kUiContext[] = "Belvane";
