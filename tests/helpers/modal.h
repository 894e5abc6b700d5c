#pragma once

#include <functional>

#include <QApplication>
#include <QDialog>
#include <QTimer>

/// Answers the next modal dialog once it is running: `answer` gets the dialog and must close it.
/// Queued before the call that runs the dialog's exec(), as modal dialogs block the test's flow.
inline void answerNextModal(std::function<void(QDialog*)> answer, int tries = 200)
{
    QTimer::singleShot(10, [answer = std::move(answer), tries]() mutable {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible())
            answer(dialog);
        else if (tries > 0)
            answerNextModal(std::move(answer), tries - 1);
    });
}
