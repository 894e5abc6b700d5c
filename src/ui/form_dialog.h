#pragma once

#include <QCloseEvent>
#include <QDialog>

/// A dialog whose `FormClose` runs however it closes: its buttons, Esc, the close box or `done()`.
/// `FormClose` may run more than once and must be safe to.
class FormDialog : public QDialog {
public:
    using QDialog::QDialog;

    virtual void FormClose() = 0;

    void done(int result) override
    {
        FormClose();
        QDialog::done(result);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        FormClose();
        QDialog::closeEvent(event);
    }
};
