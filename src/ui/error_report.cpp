#include "ui/error_report.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace {
ErrorSink& currentSink()
{
    static ErrorSink sink;
    return sink;
}

QPointer<QWidget>& fallbackParent()
{
    static QPointer<QWidget> parent;
    return parent;
}
} // namespace

void setErrorSink(ErrorSink sink)
{
    currentSink() = std::move(sink);
}

void setErrorBoxOwner(QWidget* window)
{
    fallbackParent() = window;
}

namespace {

/// A box raised over a dialog stays readable above it, but belongs to the application: when that
/// dialog goes (a ringing window closes and is deleted), the box moves to the clock face instead of
/// going with it.
class BoxKeeper : public QObject {
public:
    BoxKeeper(QWidget* dialog, QMessageBox* box) : QObject(box), m_box(box)
    {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide && m_box) {
            watched->removeEventFilter(this);
            const bool shown = m_box->isVisible();
            m_box->setParent(fallbackParent(), m_box->windowFlags());
            if (shown) {
                m_box->show();
                m_box->raise();
            }
        }
        return false;
    }

private:
    QPointer<QMessageBox> m_box;
};

void showBox(QMessageBox::Icon icon, const QString& text, std::function<void()> onClosed)
{
    if (currentSink()) {
        currentSink()(text);
        if (onClosed)
            onClosed();
        return;
    }
    // Above the modal dialog in use, if any, so the box can be read and closed, else over the active
    // window or the clock face (shown in front, the box is active and the face goes under it: see
    // WindowStacking); never modal itself, so no nested loop holds up the caller.
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    if (!parent)
        parent = fallbackParent();
    auto* box = new QMessageBox(icon, QStringLiteral("Belvane"), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (parent && parent != fallbackParent())
        new BoxKeeper(parent, box);
    box->setWindowModality(Qt::NonModal);
    if (onClosed)
        QObject::connect(box, &QMessageBox::finished, box, [onClosed = std::move(onClosed)] { onClosed(); });
    const auto show = [box] {
        box->show();
        box->raise();
    };
    // A problem found while the program starts is reported before the face is shown; a box shown
    // then would belong to no window and lie under the face. It is shown once the program runs.
    if (parent && !parent->isVisible())
        QTimer::singleShot(0, box, show);
    else
        show();
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
