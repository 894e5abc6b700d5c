#pragma once

// Finds the texts of a window that do not fit the room they are drawn in, by font metrics against
// each control's contents rectangle.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTextDocument>

/// The height of a line's ink: a line's leading and the room kept below it for descenders that
/// the text does not have are not clipped when they do not fit.
inline int ink(const QFontMetrics& fm, const QString& text)
{
    return fm.tightBoundingRect(text).height();
}

/// Each text of `window` that does not fit the room it is drawn in: "window › control: "text" …".
class ClipCheck {
public:
    explicit ClipCheck(QString window) : m_window(std::move(window)) {}

    QStringList faults;

    void check(QWidget* top)
    {
        for (QWidget* w : top->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(top))
                continue;
            outsideParent(w);
            if (auto* label = qobject_cast<QLabel*>(w))
                checkLabel(label);
            else if (auto* button = qobject_cast<QAbstractButton*>(w))
                checkButton(button);
            else if (auto* box = qobject_cast<QGroupBox*>(w))
                checkGroup(box);
            else if (auto* tabs = qobject_cast<QTabBar*>(w))
                checkTabs(tabs);
            else if (auto* header = qobject_cast<QHeaderView*>(w))
                checkHeader(header);
            else if (auto* view = qobject_cast<QAbstractItemView*>(w))
                checkItems(view);
        }
    }

private:
    void fault(QWidget* w, const QString& text, QSize need, QSize room)
    {
        faults << QStringLiteral("%1 › %2 %3: \"%4\" needs %5×%6, has %7×%8")
                      .arg(m_window, QString::fromLatin1(w->metaObject()->className()), w->objectName(), text)
                      .arg(need.width())
                      .arg(need.height())
                      .arg(room.width())
                      .arg(room.height());
    }

    /// A button reaching past its parent's edge is cut off there (the extent is what it needs).
    void outsideParent(QWidget* w)
    {
        QWidget* parent = w->parentWidget();
        if (!parent || w->isWindow() || qobject_cast<QTabBar*>(w) || !qobject_cast<QAbstractButton*>(w))
            return;
        if (!parent->rect().contains(w->geometry()))
            fault(w, static_cast<QAbstractButton*>(w)->text(),
                  QSize(w->geometry().right() + 1, w->geometry().bottom() + 1), parent->size());
    }

    void checkLabel(QLabel* label)
    {
        const QString text = label->text();
        if (text.isEmpty() || label->textFormat() == Qt::RichText || Qt::mightBeRichText(text))
            return;
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                          -label->margin());
        const QFontMetrics fm = label->fontMetrics();
        const int flags = Qt::TextShowMnemonic | (label->wordWrap() ? Qt::TextWordWrap : 0);
        QSize need =
            fm.boundingRect(QRect(0, 0, label->wordWrap() ? room.width() : 100000, 100000), flags, text)
                .size();
        need.setHeight(need.height() - fm.height() + ink(fm, text));
        if (need.width() > room.width() || need.height() > room.height())
            fault(label, text, need, room.size());
        coveredBySibling(label, text, QRect(label->geometry().topLeft() + room.topLeft(), need));
    }

    /// A sibling made later lies above a label: where it overlaps the label's text, it hides it.
    void coveredBySibling(QWidget* w, const QString& text, const QRect& textRect)
    {
        QWidget* parent = w->parentWidget();
        if (!parent)
            return;
        const QObjectList& siblings = parent->children();
        for (qsizetype i = siblings.indexOf(w) + 1; i < siblings.size(); ++i) {
            auto* above = qobject_cast<QWidget*>(siblings[i]);
            if (above && !above->isWindow() && above->isVisibleTo(parent) &&
                above->geometry().intersects(textRect))
                faults << QStringLiteral("%1 › %2 %3: \"%4\" lies under %5")
                              .arg(m_window, QString::fromLatin1(w->metaObject()->className()),
                                   w->objectName(), text, above->objectName());
        }
    }

    void checkButton(QAbstractButton* button)
    {
        const QString text = button->text();
        if (text.isEmpty())
            return;
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = text;
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<QCheckBox*>(button))
            contents = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<QRadioButton*>(button))
            contents = QStyle::SE_RadioButtonContents;
        else if (!qobject_cast<QPushButton*>(button))
            return; // tool buttons show icons
        QRect room = button->style()->subElementRect(contents, &option, button);
        if (contents == QStyle::SE_PushButtonContents)
            room.adjust(2, 0, -2, 0); // the frame's own padding around the caption
        QSize need = button->fontMetrics().size(Qt::TextShowMnemonic, text);
        need.setHeight(ink(button->fontMetrics(), text));
        if (!button->icon().isNull())
            need.rwidth() += button->iconSize().width() + 4;
        if (need.width() > room.width() || need.height() > room.height())
            fault(button, text, need, room.size());
    }

    void checkGroup(QGroupBox* box)
    {
        if (box->title().isEmpty())
            return;
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect label =
            box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        const QSize need(box->fontMetrics().size(Qt::TextShowMnemonic, box->title()).width(),
                         ink(box->fontMetrics(), box->title()));
        const QRect room = label.intersected(box->rect());
        if (need.width() > room.width() || need.height() > room.height())
            fault(box, box->title(), need, room.size());
    }

    void checkTabs(QTabBar* tabs)
    {
        const int space = 2 * tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs) / 2;
        for (int i = 0; i < tabs->count(); ++i) {
            const QRect room = tabs->tabRect(i).intersected(tabs->rect());
            const QSize need(tabs->fontMetrics().size(Qt::TextShowMnemonic, tabs->tabText(i)).width() + space,
                             ink(tabs->fontMetrics(), tabs->tabText(i)));
            if (need.width() > room.width() || need.height() > room.height())
                fault(tabs, tabs->tabText(i), need, room.size());
        }
    }

    void checkHeader(QHeaderView* header)
    {
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int i = 0; i < header->count(); ++i) {
            if (header->isSectionHidden(i))
                continue;
            const QString text = header->model()->headerData(i, header->orientation()).toString();
            const QSize need(header->fontMetrics().horizontalAdvance(text) + 2 * margin,
                             ink(header->fontMetrics(), text));
            const QSize room(header->sectionSize(i), header->height());
            if (need.width() > room.width() || need.height() > room.height())
                fault(header, text, need, room);
        }
    }

    /// The entries of a list or table shown in its viewport, each cell against the room it has there
    /// (a cut one is drawn elided).
    void checkItems(QAbstractItemView* view)
    {
        const QAbstractItemModel* model = view->model();
        const QModelIndex root = view->rootIndex();
        for (int row = 0; model && row < model->rowCount(root); ++row)
            for (int column = 0; column < model->columnCount(root); ++column) {
                const QModelIndex index = model->index(row, column, root);
                const QRect room = view->visualRect(index).intersected(view->viewport()->rect());
                const QSize need = view->sizeHintForIndex(index);
                if (!room.isEmpty() && need.width() > room.width())
                    fault(view, index.data().toString(), need, room.size());
            }
    }

    QString m_window;
};
