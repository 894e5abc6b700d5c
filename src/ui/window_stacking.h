#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

/// Keeps the program's own windows above its clock face, which stays on top of other programs.
/// Every dialog, message box, player and help window the program shows becomes transient for the
/// window it was opened over: the modal window in front if there is one, else the face. The window
/// manager then stacks it above that window, in its layer, and raises it together with it, so the
/// face never covers a window of its own program and a window opened from a modal one stays usable.
/// Windows shown while the face was not (an error box with the face in the tray) are
/// stacked on the face when it shows.
class WindowStacking : public QObject {
public:
    /// Watches every window the application shows from now on, for as long as the face lives.
    explicit WindowStacking(QWidget& face);
    ~WindowStacking() override;

    /// The window a window about to show is stacked over: the modal window in front, else the face
    /// while it is shown; none when neither is there.
    QWidget* ownerFor(const QWidget& window) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void adoptWindowsShownBeforeFace();

    QPointer<QWidget> m_face;
    bool m_ownersPending = false; // the face has shown and not yet been exposed
};

/// Shows a window without waiting for it, in front and usable: over a modal window that is open it
/// is stacked on that window (and so not blocked by it), shown again there if it was open elsewhere.
void showWithoutWaiting(QWidget& window);
