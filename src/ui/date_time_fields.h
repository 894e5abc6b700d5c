#pragma once

#include <utility>

#include <QDateEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimeEdit>

/// A date or time picker whose fields take typed digits as the desktop's pickers do: a click selects
/// the field under the pointer and digits typed replace it. Qt goes on to the next field once one is
/// full; a digit that a full field cannot take (the third typed into the last field, or a 5 after a
/// 2 in an hour) starts the field over. Up, Down and the arrows step the selected field as before.
/// Without this, a click only places the cursor, Qt refuses a digit typed into a field that is already
/// full, and typing seems to do nothing.
template <class Picker> class DateTimeFieldPicker : public Picker {
public:
    template <class... Args>
    explicit DateTimeFieldPicker(Args&&... args) : Picker(std::forward<Args>(args)...)
    {
        this->lineEdit()->installEventFilter(this);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        QLineEdit* text = this->lineEdit();
        const bool replacing = text->hasSelectedText();
        const QString before = text->text();
        Picker::keyPressEvent(event);
        const bool digit = event->text().size() == 1 && event->text().front().isDigit();
        if (digit && !replacing && text->text() == before && this->currentSection() != Picker::NoSection) {
            this->setSelectedSection(this->currentSection());
            Picker::keyPressEvent(event);
        }
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // On the release, the press has placed the cursor, and a drag has made its selection.
        if (watched == this->lineEdit() && event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            !this->lineEdit()->hasSelectedText() && this->currentSection() != Picker::NoSection)
            this->setSelectedSection(this->currentSection());
        return Picker::eventFilter(watched, event);
    }
};

using TimeFieldPicker = DateTimeFieldPicker<QTimeEdit>;
using DateFieldPicker = DateTimeFieldPicker<QDateEdit>;
