#include "clockface/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "alarms/alarm_list_window.h"
#include "clockface/face_change.h"
#include "clockface/skin_choice.h"
#include "clockface/window_shape.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "shell/help_book.h"
#include "shell/help_viewer.h"
#include "shell/program_icon.h"
#include "shell/sys_tray.h"
#include "ui/error_report.h"
#include "ui/services.h"
#include "ui/window_stacking.h"
#include <QCoreApplication>

namespace {

QPixmap loadPicture(const QString& path)
{
    QPixmap picture(path);
    if (picture.isNull())
        throw IoError(QCoreApplication::translate("TFormMain", "无法打开图片文件\"%1\"").arg(path));
    return picture;
}

bool samePlacement(const PicturePlacement& a, const PicturePlacement& b)
{
    return a.picture == b.picture && a.digit == b.digit && a.rect == b.rect && a.visible == b.visible;
}

// The face shown while no skin could be loaded: the time as text, so the clock still tells it.
constexpr QSize kPlainFaceSize(180, 56);

} // namespace

TFormMain::TFormMain(Services& services, const AppFolders& folders, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_services(services),
      m_programFolder(folders.program), m_dataFolder(folders.data)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Belvane"));
    if (windowMasksApply())
        setAttribute(Qt::WA_OpaquePaintEvent); // the background picture covers every pixel
    else
        setAttribute(Qt::WA_TranslucentBackground); // what lies outside the outline stays clear
    // The program's other windows open above the face; those a user works in stack among the windows
    // of other programs, over which the face stays.
    new WindowStacking(*this);
    buildMenu();

    SysTray = new TSysTray(this);
    SysTray->setIcon(programIcon());
    SysTray->setHint(QStringLiteral("Belvane"));
    SysTray->setPopupMenu(PopupMenu);
    SysTray->setPopupMode(Tray::TPopupModeFlag::pmRightClick);
    SysTray->setPopupAlign(Tray::TPopupAlign::paRight);
    SysTray->OnIconDoubleClick = [this](TSysTray*, Qt::MouseButton, int, int) { SendtotrayClick(); };
    // A face hidden in a notification area that goes away (the panel restarting or crashing) comes
    // back at once: it would have no way back. When an area comes back the icon returns to it and the
    // face stays where it is.
    connect(SysTray, &TSysTray::availableChanged, this, [this](bool available) {
        if (!available && !isVisible())
            SendtotrayClick();
    });
    SysTray->setActive(true);

    // One wake-up per half second, and none while hidden: an idle alarm clock should cost nothing.
    // Precise, so the colon changes within a millisecond or two of the wall clock's half-second.
    Timer1.setSingleShot(true);
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    FormCreate();
}

TFormMain::~TFormMain() = default;

void TFormMain::buildMenu()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    auto add = [this](QMenu* menu, const char* name, const QString& caption, const char* glyph,
                      void (TFormMain::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (glyph)
            action->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QString::fromLatin1(glyph))));
        if (handler)
            connect(action, &QAction::triggered, this,
                    [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
        return action;
    };
    Sendtotray =
        add(PopupMenu, "Sendtotray", tr("Send to tray"), "menu-sendtotray", &TFormMain::SendtotrayClick);
    PopupMenu->addSeparator();
    add(PopupMenu, "Alarms1", QString(), "menu-alarms", &TFormMain::Alarms1Click);
    add(PopupMenu, "Options1", QString(), "menu-options", &TFormMain::Options1Click);
    QMenu* skins = PopupMenu->addMenu(QIcon(QStringLiteral(":/icons/menu-skins.png")), QString());
    skins->menuAction()->setObjectName(QStringLiteral("Skins1"));
    MenuSkinDigital = add(skins, "MenuSkinDigital", QString(), nullptr, nullptr);
    MenuSkinSantaClaus = add(skins, "MenuSkinSantaClaus", QString(), nullptr, nullptr);
    auto* group = new QActionGroup(this);
    for (QAction* skin : {MenuSkinDigital, MenuSkinSantaClaus}) {
        skin->setCheckable(true);
        group->addAction(skin);
    }
    connect(MenuSkinDigital, &QAction::triggered, this,
            [this] { guarded([this] { changeSkin(kSkinDigital); }); });
    connect(MenuSkinSantaClaus, &QAction::triggered, this,
            [this] { guarded([this] { changeSkin(kSkinSantaClaus); }); });
    PopupMenu->addSeparator();
    add(PopupMenu, "menuAbout", QString(), "menu-about", &TFormMain::menuAboutClick);
    add(PopupMenu, "Help1", QString(), "menu-help", &TFormMain::Help1Click);
    PopupMenu->addSeparator();
    add(PopupMenu, "menuExit", QString(), "menu-exit", &TFormMain::menuExitClick);
    retranslateMenu();
}

void TFormMain::retranslateMenu()
{
    const auto caption = [this](const char* name, const QString& text) {
        if (auto* action = PopupMenu->findChild<QAction*>(QString::fromLatin1(name)))
            action->setText(text);
    };
    caption("Alarms1", tr("闹钟"));
    caption("Options1", tr("选项"));
    caption("Skins1", tr("皮肤"));
    caption("MenuSkinDigital", tr("电子表"));
    caption("MenuSkinSantaClaus", tr("圣诞老人"));
    caption("menuAbout", tr("关于"));
    caption("Help1", tr("帮助"));
    caption("menuExit", tr("退出"));
    // The first entry names the next toggle once the face has been shown or sent to the tray.
    if (m_sendtotrayToggled)
        setSendtotrayCaption(isVisible() ? tr("隐藏") : tr("恢复"));
    else
        Sendtotray->setText(tr("Send to tray"));
}

void TFormMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateMenu();
    QWidget::changeEvent(event);
}

void TFormMain::setPartners(std::function<QDialog*()> alarms, QDialog* options, QDialog* about)
{
    m_alarms = std::move(alarms);
    m_optionsDialog = options;
    m_about = about;
}

void TFormMain::FormCreate()
{
    m_militaryShown = false;
    m_militaryApplied = false;
    ReadSkinChoice();
    ApplySkinLayout();
    // A skin that cannot be loaded is reported; the face then tells the time as plain text and
    // everything else (menu, alarms, tray) goes on working.
    guarded([this] { ShapeWindow(); });
    DrawClock();
    centreOnScreen();
    // The first tick runs as soon as the face is shown (see showEvent).
    m_firstTickPending = true;
}

void TFormMain::ReadSkinChoice()
{
    m_skinName = ::ReadSkinChoice(m_dataFolder);
    checkSkinEntry();
}

void TFormMain::ApplySkinLayout()
{
    m_layout = skinLayoutFor(m_skinName);
    m_redrawAll = true;
}

void TFormMain::LoadSkinPictures(const QString& skinName)
{
    const QString folder = m_programFolder + skinName + QLatin1Char('/');
    SkinPictures loaded;
    loaded.background = QImage(folder + QStringLiteral("Background.bmp"));
    if (loaded.background.isNull())
        throw IoError(tr("无法打开图片文件\"%1\"").arg(folder + QStringLiteral("Background.bmp")));
    loaded.ImageBack = QPixmap::fromImage(loaded.background);
    for (int d = 0; d < 10; ++d)
        loaded.HourDigits[d] = loadPicture(folder + QStringLiteral("hour_%1.bmp").arg(d));
    loaded.MinuteDigits = loaded.HourDigits;
    const bool ownSeconds = skinLayoutFor(skinName).secondsOwnDigits;
    for (int d = 0; d < 10; ++d)
        loaded.SecondDigits[d] =
            ownSeconds ? loadPicture(folder + QStringLiteral("Second_%1.bmp").arg(d)) : loaded.HourDigits[d];
    loaded.am = loadPicture(folder + QStringLiteral("AM.bmp"));
    loaded.pm = loadPicture(folder + QStringLiteral("PM.bmp"));
    loaded.colonOn = loadPicture(folder + QStringLiteral("Colon_ON.bmp"));
    loaded.colonOff = loadPicture(folder + QStringLiteral("Colon_OFF.bmp"));
    // Only a complete set replaces the pictures in use.
    m_pictures = std::move(loaded);
    m_picturesLoaded = true;
    m_slotPictures.reset(m_pictures.ImageBack);
    setFixedSize(m_pictures.background.size());
}

void TFormMain::ShapeWindow()
{
    try {
        LoadSkinPictures(m_skinName);
    } catch (...) {
        if (!m_picturesLoaded)
            setFixedSize(kPlainFaceSize);
        throw;
    }
    const std::optional<QColor> key =
        m_layout.useFixedKeyColour
            ? std::optional<QColor>(
                  QColor(m_layout.keyColour.red, m_layout.keyColour.green, m_layout.keyColour.blue))
            : std::nullopt;
    const QRegion outline = RegionFromBitmap(m_pictures.background, key);
    if (windowMasksApply())
        setMask(outline);
    else
        m_outline = outline;
    m_redrawAll = true;
    update();
}

SkinPictureSizes TFormMain::SkinPictures::sizes() const
{
    SkinPictureSizes s;
    for (int d = 0; d < 10; ++d) {
        s.hourDigits[d] = HourDigits[d].size();
        s.secondDigits[d] = SecondDigits[d].size();
    }
    s.am = am.size();
    s.pm = pm.size();
    s.colonOn = colonOn.size();
    s.colonOff = colonOff.size();
    return s;
}

void TFormMain::DrawClock()
{
    const QTime now = m_services.clock.now().time();
    // A screen reader speaks the time the face shows, to the minute.
    const QString spoken = faceTimeText(now, m_militaryShown, false);
    if (accessibleName() != spoken)
        setAccessibleName(spoken);
    if (!m_picturesLoaded) {
        m_drawn = FacePlacement{};
        ++m_drawRequests;
        update();
        return;
    }
    const FacePlacement placed = placeFace(m_layout, m_pictures.sizes(), now, m_militaryShown);
    // Only what changed is repainted: most draws change the colon and a second digit alone.
    QRegion changed;
    const auto before = m_drawn.all();
    const auto after = placed.all();
    for (size_t i = 0; i < after.size(); ++i) {
        if (m_redrawAll || !samePlacement(before[i], after[i])) {
            changed += before[i].rect;
            changed += after[i].rect;
        }
    }
    m_drawn = placed;
    if (m_redrawAll) {
        m_redrawAll = false;
        changed = rect();
    }
    if (!changed.isEmpty()) {
        ++m_drawRequests;
        update(changed);
    }
}

const QPixmap* TFormMain::pictureFor(const PicturePlacement& p) const
{
    switch (p.picture) {
    case FacePicture::HourDigit:
        return &m_pictures.HourDigits[p.digit];
    case FacePicture::SecondDigit:
        return &m_pictures.SecondDigits[p.digit];
    case FacePicture::Am:
        return &m_pictures.am;
    case FacePicture::Pm:
        return &m_pictures.pm;
    case FacePicture::ColonOn:
        return &m_pictures.colonOn;
    case FacePicture::ColonOff:
        return &m_pictures.colonOff;
    case FacePicture::None:
        break;
    }
    return nullptr;
}

void TFormMain::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (!m_picturesLoaded) {
        painter.fillRect(rect(), QColor(32, 32, 32));
        painter.setPen(QColor(255, 80, 60));
        QFont font = painter.font();
        font.setPixelSize(28);
        painter.setFont(font);
        painter.drawText(rect(), Qt::AlignCenter,
                         faceTimeText(m_services.clock.now().time(), m_militaryShown, true));
        return;
    }
    // A tick's few changed places are copied from pictures composed once; what else is to be
    // painted (an expose, a new skin) gets the background and the pictures over it.
    QRegion rest = event->region();
    if (m_outline.isEmpty() && !placesOverlap(m_drawn)) {
        for (const PicturePlacement& p : m_drawn.all()) {
            if (p.rect.isEmpty() || !rest.intersects(p.rect))
                continue;
            painter.drawPixmap(p.rect.topLeft(), m_slotPictures.at(p, pictureFor(p)));
            rest -= p.rect;
        }
        if (rest.isEmpty())
            return;
    }
    painter.setClipRegion(m_outline.isEmpty() ? rest : rest & m_outline);
    painter.drawPixmap(0, 0, m_pictures.ImageBack);
    for (const PicturePlacement& p : m_drawn.all()) {
        const QPixmap* picture = pictureFor(p);
        if (p.visible && picture && rest.intersects(p.rect))
            painter.drawPixmap(p.rect.topLeft(), *picture);
    }
}

void TFormMain::Timer1Timer()
{
    if (m_firstTickPending) {
        m_firstTickPending = false;
        if (m_options->startInTray() && isVisible())
            SendtotrayClick();
    }
    m_militaryShown = m_options->military();
    if (m_militaryShown != m_militaryApplied) {
        ApplySkinLayout();
        m_militaryApplied = m_militaryShown;
    }
    DrawClock();
    // Armed from the wall clock's reading at every tick, so the ticks never drift from it: a timer
    // that fires a moment early (the monotonic and wall clocks differ by a slew) draws nothing new
    // and is armed for the few milliseconds left; a wall clock that is set shows from the next tick.
    if (isVisible() && !isMinimized())
        armForNextChange();
}

void TFormMain::armForNextChange()
{
    const qint64 now = m_services.clock.epochMs();
    m_nextDrawAt = nextFaceChangeAfter(now);
    Timer1.start(int(m_nextDrawAt - now));
}

void TFormMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // At once: the face shows the time of now, not of when it was hidden, and the first tick's
    // start-in-tray rule runs without a visible delay.
    Timer1.start(0);
}

void TFormMain::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    Timer1.stop();
}

void TFormMain::setSendtotrayCaption(const QString& caption)
{
    m_sendtotrayToggled = true;
    Sendtotray->setText(caption);
}

void TFormMain::SendtotrayClick()
{
    if (isVisible()) {
        // Without a notification area a hidden face could not be brought back.
        if (!SysTray->available())
            return;
        setSendtotrayCaption(tr("恢复"));
        hide();
    } else {
        setSendtotrayCaption(tr("隐藏"));
        show();
    }
}

void TFormMain::bringToFront()
{
    if (!isVisible())
        SendtotrayClick();
    else if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TFormMain::Alarms1Click()
{
    if (m_alarms)
        if (QDialog* list = m_alarms())
            list->exec();
}

void TFormMain::Options1Click()
{
    if (!m_optionsDialog)
        return;
    m_optionsDialog->exec();
    // A changed 12/24-hour choice shows at once, not at the next half second.
    m_militaryShown = m_options->military();
    m_militaryApplied = m_militaryShown;
    ApplySkinLayout();
    DrawClock();
}

void TFormMain::menuAboutClick()
{
    if (m_about)
        m_about->exec();
}

void TFormMain::Help1Click()
{
    ShowHelp(this, helpTopicPath(m_programFolder));
}

void TFormMain::changeSkin(const QString& skinName)
{
    const bool showing = isVisible();
    if (showing)
        hide();
    const QString previous = m_skinName;
    m_skinName = skinName;
    ApplySkinLayout();
    auto finish = [&] {
        DrawClock();
        if (showing)
            show();
        checkSkinEntry();
    };
    try {
        ShapeWindow();
    } catch (...) {
        // The pictures in use stay, and with them their skin's name and layout.
        m_skinName = previous;
        ApplySkinLayout();
        finish();
        throw;
    }
    finish();
}

void TFormMain::checkSkinEntry()
{
    (m_skinName == kSkinSantaClaus ? MenuSkinSantaClaus : MenuSkinDigital)->setChecked(true);
}

void TFormMain::centreOnScreen()
{
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

void TFormMain::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        // The window manager moves the whole face with the mouse until the button is released.
        if (windowHandle())
            windowHandle()->startSystemMove();
    } else if (event->button() == Qt::RightButton) {
        popupMenuAt(event->globalPosition().toPoint());
    }
}

void TFormMain::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1)
        guarded([this] { Help1Click(); });
    else if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)
        popupMenuFromKeyboard();
}

void TFormMain::contextMenuEvent(QContextMenuEvent* event)
{
    // The right button opens the menu on its press already; this is the Menu key.
    if (event->reason() != QContextMenuEvent::Mouse)
        popupMenuFromKeyboard();
}

void TFormMain::popupMenuFromKeyboard()
{
    popupMenuAt(mapToGlobal(rect().center()));
}

void TFormMain::popupMenuAt(QPoint at)
{
    PopupMenu->popup(Tray::menuTopLeft(at, PopupMenu->sizeHint(), Tray::TPopupAlign::paRight,
                                       screen()->availableGeometry()));
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    guarded([this] { WriteSkinChoice(m_dataFolder, m_skinName); });
    event->accept();
    emit closed();
}
