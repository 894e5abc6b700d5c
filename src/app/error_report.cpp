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

void reportError(const QString& text)
{
    if (currentSink()) {
        currentSink()(text);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Belvane"), text);
}
