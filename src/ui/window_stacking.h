#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

/// Keeps the program's windows where a user expects them among the windows of other programs. The clock
/// face stays on top of other programs, and so do the ringing window and whatever opens over it, and
/// the reports (error boxes, notices) until they are read. The program's ordinary windows (the alarm
/// list, the editor, the options, help, about, the preview player) are stacked as any program's: the window the user works in, of this program
/// or another, is in front, and another program's window can cover them.
///
/// An ordinary window is made transient for the modal window it was opened over, so that window does
/// not block it, else for the window it was opened from, never for the face: a transient of the face
/// would share its layer and float above every other program. While one of the program's ordinary
/// windows is active, the face drops its stays-on-top state (_NET_WM_STATE_ABOVE on X11) and lies under
/// that window as an ordinary window would; it takes the state back as soon as none is active. (Giving
/// the active window the state instead would leave the window it was opened from, the list under the
/// editor, under the face.) A window shown while the face was not (an error box with the face in the
/// tray) is brought to the front, above the face, when the face shows.
class WindowStacking : public QObject {
public:
    /// Watches every window the application shows from now on, for as long as the face lives.
    explicit WindowStacking(QWidget& face);
    ~WindowStacking() override;

    /// The window a window about to show is stacked over: the modal window in front (not an ordinary
    /// one for a modal window that stays on top), else the shown window it was opened from; the face
    /// only for a window that stays on top itself. None when there is no such window.
    QWidget* ownerFor(const QWidget& window) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Puts the face on top of other programs, or among them, after what is active changed.
    void followActiveWindow();
    void placeFace();
    void bringForwardWindowsShownBeforeFace();

    QPointer<QWidget> m_face;
    QPointer<QWidget> m_shownWithoutFace; // the ordinary window shown last while the face was hidden
    bool m_facePending = false;           // the face has shown and not yet been exposed
    bool m_placePending = false;          // a change of the active window waits to be followed
};

/// Shows a window without waiting for it, in front and usable: over a modal window that is open it
/// is stacked on that window (and so not blocked by it), shown again there if it was open elsewhere.
void showWithoutWaiting(QWidget& window);
