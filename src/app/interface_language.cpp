#include "app/interface_language.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTranslator>
#include <QTreeWidget>

#include "platform/errors.h"

namespace {

QString translated(const QString& text)
{
    return text.isEmpty() ? text : QCoreApplication::translate(kUiContext, text.toUtf8().constData());
}

} // namespace

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
        throw ConversionError(QStringLiteral("--lang takes zh or en, not \"%1\"").arg(value));
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
    qApp->installEventFilter(this);
}

EnglishInterface::~EnglishInterface()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (m_loaded)
        QCoreApplication::removeTranslator(m_translator.get());
}

bool EnglishInterface::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && !widget->property("belvaneTranslated").toBool())
            translateWindow(widget);
    }
    return false;
}

void EnglishInterface::translateWindow(QWidget* window)
{
    window->setProperty("belvaneTranslated", true);
    window->setWindowTitle(translated(window->windowTitle()));
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        w->setToolTip(translated(w->toolTip()));
        // A label, check box or radio button sized to its Chinese text is sized to its English one.
        const bool sizedToText = !w->isWindow() && w->width() == w->sizeHint().width();
        const bool fitsText = qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w);
        if (auto* label = qobject_cast<QLabel*>(w))
            label->setText(translated(label->text()));
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            button->setText(translated(button->text()));
        else if (auto* box = qobject_cast<QGroupBox*>(w))
            box->setTitle(translated(box->title()));
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i)
                combo->setItemText(i, translated(combo->itemText(i)));
        else if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                tabs->setTabText(i, translated(tabs->tabText(i)));
        else if (auto* tree = qobject_cast<QTreeWidget*>(w))
            for (int c = 0; c < tree->columnCount(); ++c)
                tree->headerItem()->setText(c, translated(tree->headerItem()->text(c)));
        if (sizedToText && fitsText && !w->layout() && !(w->parentWidget() && w->parentWidget()->layout()))
            w->adjustSize();
    }
    for (QAction* action : window->findChildren<QAction*>())
        action->setText(translated(action->text()));
    for (QMenu* menu : window->findChildren<QMenu*>())
        menu->setTitle(translated(menu->title()));
}
