#include "app/error_report.h"

#include <QApplication>
#include <QMessageBox>

namespace {
ErrorSink& currentSink()
{
    static ErrorSink sink;
    return sink;
}
} // namespace

void setErrorSink(ErrorSink sink)
{
    currentSink() = std::move(sink);
}

namespace {
void showBox(QMessageBox::Icon icon, const QString& text, std::function<void()> onClosed)
{
    if (currentSink()) {
        currentSink()(text);
        if (onClosed)
            onClosed();
        return;
    }
    // Above the modal dialog in use, if any, so the box can be read and closed; never modal itself,
    // so no nested loop holds up the caller.
    QWidget* parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
    auto* box = new QMessageBox(icon, QStringLiteral("Belvane"), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    if (onClosed)
        QObject::connect(box, &QMessageBox::finished, box, [onClosed = std::move(onClosed)] { onClosed(); });
    box->show();
    box->raise();
}
} // namespace

void reportError(const QString& text, std::function<void()> onClosed)
{
    showBox(QMessageBox::Critical, text, std::move(onClosed));
}

void reportNotice(const QString& text)
{
    showBox(QMessageBox::Information, text, {});
}
