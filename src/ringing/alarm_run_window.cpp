#include "ringing/alarm_run_window.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>

#include "alarms/alarm_settings_file.h"
#include "media/prerolled_sound.h"
#include "media/run_play_window.h"
#include "platform/clock.h"
#include "platform/power_control.h"
#include "platform/text_codec.h"
#include "shell/ring_notification.h"
#include "ui/error_report.h"
#include "ui/services.h"
#include "ui/window_centring.h"
#include "ui/window_flags.h"

namespace {

QFont songFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

void TAlarmRun::prepareFonts()
{
    for (const QFont& font : {songFont(12), songFont(26, true), songFont(14)})
        QFontMetrics(font).horizontalAdvance(QStringLiteral("闹铃打盹儿确定 0123456789:"));
}

void TAlarmRun::releaseFonts()
{
    // Drops the program's cache of opened fonts: a font no window holds is closed, and its file
    // with it.
    QFont::cleanup();
}

TAlarmRun::TAlarmRun(RingRequest request, Services& services, TFormRunPlay& player, QWidget* parent)
    // Above every window, of this program and of others: an alarm is seen.
    : FormDialog(parent, kFixedDialogFlags | Qt::WindowStaysOnTopHint), m_request(std::move(request)),
      m_services(services), m_player(player), m_locale(DateTimeLocale::system())
{
    setObjectName(QStringLiteral("AlarmRun"));
    setFont(songFont(12));
    setFixedSize(345, 299);

    LabelTime = new QLabel(this);
    LabelTime->setObjectName(QStringLiteral("LabelTime"));
    LabelTime->setGeometry(8, 8, 321, 33);
    LabelTime->setAlignment(Qt::AlignCenter);
    LabelTime->setFont(songFont(26, true));
    LabelDate = new QLabel(this);
    LabelDate->setObjectName(QStringLiteral("LabelDate"));
    LabelDate->setGeometry(8, 40, 321, 17);
    LabelDate->setAlignment(Qt::AlignCenter);
    LabelDate->setFont(songFont(14));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 61);
    LabelLate = new QLabel(this);
    LabelLate->setObjectName(QStringLiteral("LabelLate"));
    LabelLate->setStyleSheet(QStringLiteral("color: #c00000"));
    LabelLate->setWordWrap(true);
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setGeometry(16, 80, 313, 169);
    Memo->setReadOnly(true);
    // Below the reminder, which gives up a line for it, while the built-in sound stands in for the list.
    LabelFallback = new QLabel(this);
    LabelFallback->setObjectName(QStringLiteral("LabelFallback"));
    LabelFallback->setStyleSheet(QStringLiteral("color: #c00000"));
    LabelFallback->setWordWrap(true);
    LabelFallback->hide();
    ButtonSnooze = new QPushButton(this);
    ButtonSnooze->setObjectName(QStringLiteral("ButtonSnooze"));
    ButtonSnooze->setGeometry(192, 264, 75, 25);
    ButtonOK = new QPushButton(this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setGeometry(272, 264, 59, 25);
    retranslate();
    setTabOrder(ButtonSnooze, ButtonOK);
    setTabOrder(ButtonOK, Memo);
    // The buttons get the focus only once the window has been up for a while (see showEvent).
    Memo->setFocus();
    m_keyGuard.setSingleShot(true);
    m_keyGuard.setInterval(kKeyGuardMs);
    connect(&m_keyGuard, &QTimer::timeout, this, &TAlarmRun::acceptKeys);

    connect(ButtonSnooze, &QPushButton::clicked, this, [this] { ButtonSnoozeClick(); });
    connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
    m_notification = std::make_unique<RingNotification>();
    connect(m_notification.get(), &RingNotification::snoozeRequested, this, [this] { ButtonSnoozeClick(); });
    connect(m_notification.get(), &RingNotification::okRequested, this, [this] { ButtonOKClick(); });
    Timer.setInterval(200);
    connect(&Timer, &QTimer::timeout, this, [this] { guarded([this] { TimerTimer(); }); });

    centreOnScreenWithFrame(*this);
    FormCreate();
}

TAlarmRun::~TAlarmRun()
{
    FormClose();
}

void TAlarmRun::FormCreate()
{
    showClock();
    m_session.SnoozeRequested = false;
    ActionReadAlarmInfoExecute();
}

void TAlarmRun::ActionReadAlarmInfoExecute()
{
    m_session.start(m_services.clock.now());
    Timer.start();
    QString memo;
    m_session.load(ringingSettings(m_request, memo), m_request.programFolder);
    if (m_request.trial) {
        m_session.PowerAction = 0;
        m_session.FadeInSecondsOverride = kTrialFadeInSeconds;
    }
    Memo->setPlainText(memo);
    showFallbackNote();
}

void TAlarmRun::retranslate()
{
    setWindowTitle(tr("闹铃"));
    Label1->setText(tr("提醒："));
    Label1->adjustSize();
    LabelLate->setText(lateRingingNote(m_request));
    Memo->setAccessibleName(tr("提醒"));
    ButtonSnooze->setText(tr("打盹儿"));
    ButtonOK->setText(tr("确定"));
    if (!LabelFallback->isHidden())
        LabelFallback->setText(m_session.note());
    layOutNotes();
}

void TAlarmRun::layOutNotes()
{
    // Each note takes the lines its words need at its width, in any language; the reminder gives up
    // the room, from above for the late note beside "提醒：" and from below for the note over the
    // buttons.
    const int lateLeft = Label1->geometry().right() + 8;
    const int lateWidth = 329 - lateLeft;
    LabelLate->setGeometry(lateLeft, 61, lateWidth, std::max(17, LabelLate->heightForWidth(lateWidth)));
    const int memoTop = std::max(80, LabelLate->geometry().bottom() + 3);
    int memoEnd = 249;
    if (!LabelFallback->isHidden()) {
        const int height = std::max(17, LabelFallback->heightForWidth(313));
        LabelFallback->setGeometry(16, 250 - height, 313, height);
        memoEnd = LabelFallback->y() - 4;
    }
    Memo->setGeometry(16, memoTop, 313, memoEnd - memoTop);
}

void TAlarmRun::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    FormDialog::changeEvent(event);
}

void TAlarmRun::showFallbackNote()
{
    const QString note = m_session.note();
    if (note.isEmpty() || LabelFallback->text() == note)
        return;
    LabelFallback->setText(note);
    LabelFallback->show();
    layOutNotes();
}

void TAlarmRun::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // A ringing alarm comes to the front, whatever the user is doing. It takes the keyboard at
        // once, but a key typed just as it appears (meant for another window) neither snoozes nor
        // dismisses it unseen: keys count from a second on.
        raise();
        activateWindow();
        qApp->installEventFilter(this);
        m_keyGuard.start();
        FormShow();
    }
}

bool TAlarmRun::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
        if (watched == this || (watched->isWidgetType() && isAncestorOf(static_cast<QWidget*>(watched))))
            return true;
        break;
    default:
        break;
    }
    return FormDialog::eventFilter(watched, event);
}

void TAlarmRun::acceptKeys()
{
    qApp->removeEventFilter(this);
    ButtonSnooze->setFocus();
}

bool TAlarmRun::keysAccepted() const
{
    return m_shown && !m_keyGuard.isActive();
}

void TAlarmRun::FormShow()
{
    if (!m_ringing) {
        takeOutputDevice();
        // The first tick runs at once rather than a timer interval later, so the alarm sounds within
        // milliseconds of its second, whether or not a window manager ever activates this window.
        QTimer::singleShot(0, this, [this] {
            if (Timer.isActive())
                guarded([this] { TimerTimer(); });
        });
    }
    m_notification->show(decodeText(m_request.occurrence.row.caption), LabelTime->text(),
                         Memo->toPlainText());
}

void TAlarmRun::startRinging()
{
    if (m_ringing || m_closed)
        return;
    takeOutputDevice();
    guarded([this] { TimerTimer(); });
}

void TAlarmRun::takeOutputDevice()
{
    m_ringing = true;
    OutputVolume& volume = m_services.volume;
    m_server = volume.server();
    m_volumeBefore = volume.read();
    // A muted device would silence the alarm.
    if (m_volumeBefore && m_volumeBefore->muted)
        volume.setMuted(false);
    m_session.show(*this);
}

void TAlarmRun::giveBackOutputDevice()
{
    if (const std::optional<DeviceVolume> before = std::exchange(m_volumeBefore, std::nullopt)) {
        OutputVolume& volume = m_services.volume;
        volume.setVolume(before->packed);
        volume.setMuted(before->muted);
    }
}

void TAlarmRun::followSoundServer()
{
    OutputVolume& volume = m_services.volume;
    const quint64 server = volume.server();
    if (server == 0 || server == m_server)
        return;
    // What the alarm found on the old server went with it: the new one is put back as it was before
    // the alarm changed it.
    m_server = server;
    m_volumeBefore = volume.read();
    if (m_volumeBefore && m_volumeBefore->muted)
        volume.setMuted(false);
    m_session.soundServerChanged(*this);
}

void TAlarmRun::setPrerolledSound(std::unique_ptr<PrerolledSound> sound)
{
    m_prerolled = std::move(sound);
}

bool TAlarmRun::event(QEvent* event)
{
    const bool handled = FormDialog::event(event);
    // A video started by the first tick may have opened before the window manager put this window
    // up; once it has, the video goes back over it so it is seen.
    if (event->type() == QEvent::WindowActivate && !std::exchange(m_activatedOnce, true) &&
        m_player.isVisible())
        m_player.raise();
    return handled;
}

void TAlarmRun::showClock()
{
    const QDateTime now = m_services.clock.now();
    LabelTime->setText(formatDateTime(m_locale.longTimeFormat, now, m_locale));
    LabelDate->setText(formatDateTime(QStringLiteral("ddd, mmmm,dd, yyyy"), now, m_locale));
}

void TAlarmRun::TimerTimer()
{
    showClock();
    m_closeRequested = false;
    // Once a play list has been played through the ticks stop, also when the tick raised.
    const bool silencedBefore = m_session.Silenced;
    const auto stopWhenFinished = qScopeGuard([this, silencedBefore] {
        if (!m_session.timerEnabled())
            Timer.stop();
        showFallbackNote();
        if (m_session.Silenced != silencedBefore)
            emit snoozeChanged();
    });
    if (m_ringing && m_session.timerEnabled())
        followSoundServer();
    m_session.tick(m_services.clock.now(), *this);
    // A close asked for during the tick takes effect now that it has run, after the power action.
    if (m_closeRequested)
        close();
}

void TAlarmRun::ButtonSnoozeClick()
{
    emit answered(QStringLiteral("snooze"));
    m_session.snoozePressed();
}

void TAlarmRun::ButtonOKClick()
{
    if (!m_closed)
        emit answered(QStringLiteral("ok"));
    close();
}

void TAlarmRun::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    Timer.stop();
    m_keyGuard.stop();
    qApp->removeEventFilter(this);
    m_player.FormClose();
    m_prerolled.reset();
    giveBackOutputDevice();
    m_notification->withdraw();
}

void TAlarmRun::ringingUnanswered()
{
    m_notification->withdraw();
    giveBackOutputDevice();
    emit unanswered();
}

bool TAlarmRun::playerIdle() const
{
    return m_player.Idle();
}

void TAlarmRun::playFile(const QString& path)
{
    if (m_prerolled && m_prerolled->file() == path) {
        const std::unique_ptr<PrerolledSound> sound = std::move(m_prerolled);
        try {
            if (m_player.playPrerolled(*sound))
                return;
        } catch (const BelvaneError&) {
            // Loaded afresh below: the sound server may have gone since the preroll.
        }
    }
    m_player.setMediaFile(path);
    m_player.ButtonPlayClick();
    // A file plays: what was made ready for the start is no longer wanted.
    m_prerolled.reset();
}

bool TAlarmRun::fileExists(const QString& path) const
{
    return QFileInfo(path).isFile();
}

void TAlarmRun::closePlayer()
{
    m_player.FormClose();
}

void TAlarmRun::setDeviceVolume(quint32 packed)
{
    m_services.volume.setVolume(packed);
}

void TAlarmRun::powerAction(int action)
{
    PowerControl& power = m_services.power;
    switch (action) {
    case 1:
        power.displayOff();
        break;
    case 2:
        power.standby();
        break;
    case 3:
        power.shutDown();
        break;
    default:
        break;
    }
}
