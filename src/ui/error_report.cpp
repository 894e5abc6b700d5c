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

/// A report stays on top of the windows of every program, so the always-on-top face never covers it.
/// Raised over a dialog it stays readable above it, but belongs to the application: when that dialog
/// goes (a ringing window closes and is deleted), the box moves to the clock face instead of going
/// with it. A modal window opened while the box is open (the alarm list, run from the face's menu)
/// would block it, out of reach until that window closed: the box moves over that window instead.
class ReportBox : public QMessageBox {
public:
    ReportBox(Icon icon, const QString& text, QWidget* parent)
        : QMessageBox(icon, QStringLiteral("Belvane"), text, QMessageBox::Ok, parent)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowModality(Qt::NonModal);
        setWindowFlag(Qt::WindowStaysOnTopHint); // after the modality, which resets the flags
        follow(parent);
    }

protected:
    bool event(QEvent* event) override
    {
        // Moved once the blocking window is shown, so the box can be stacked over it.
        if (event->type() == QEvent::WindowBlocked)
            QTimer::singleShot(0, this, [this] {
                if (QWidget* modal = QApplication::activeModalWidget(); modal && isVisible())
                    moveOver(modal);
            });
        return QMessageBox::event(event);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // At once: the window may be deleted next, and the box with it.
        if (event->type() == QEvent::Hide && watched == m_owner)
            moveOver(fallbackParent());
        return false;
    }

private:
    void follow(QWidget* owner)
    {
        if (m_owner)
            m_owner->removeEventFilter(this);
        m_owner = owner && owner != fallbackParent() ? owner : nullptr;
        if (m_owner)
            m_owner->installEventFilter(this);
    }
    /// Makes the box a window of `owner` (none: of no window), shown again if it was shown.
    void moveOver(QWidget* owner)
    {
        if (owner == parentWidget() || owner == this)
            return;
        const bool shown = isVisible();
        follow(owner);
        setParent(owner, windowFlags());
        if (shown) {
            show();
            raise();
            activateWindow();
        }
    }

    QPointer<QWidget> m_owner;
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
    auto* box = new ReportBox(icon, text, parent);
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
