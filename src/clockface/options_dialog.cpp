#include "clockface/options_dialog.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimeEdit>

#include "media/media_formats.h"
#include "media/preview_window.h"
#include "ui/caption_fit.h"
#include "ui/date_time_fields.h"
#include "ui/error_report.h"
#include "ui/file_dialog_fit.h"
#include "ui/window_centring.h"
#include "ui/window_flags.h"

namespace {

template <class Control> Control* place(QWidget* parent, const char* name, QRect geometry)
{
    auto* control = new Control(parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(geometry);
    return control;
}

QLabel* placeLabel(QWidget* parent, const char* name, QPoint at)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(at);
    return label;
}

QTimeEdit* placeTimePicker(QWidget* parent, const char* name, QRect geometry)
{
    auto* picker = new TimeFieldPicker(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setDisplayFormat(QStringLiteral("H:mm:ss"));
    picker->setGeometry(geometry);
    return picker;
}

QString runFileDialog(QFileDialog& dialog)
{
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace

TFormOptions::TFormOptions(const AppFolders& folders, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags), runOpenDialog(runFileDialog), m_programFolder(folders.program),
      m_optionsPath(folders.data + QStringLiteral("Options.ini"))
{
    setObjectName(QStringLiteral("FormOptions"));
    // An outer size of 393 x 343 with a 4-pixel frame and a 26-pixel caption.
    setFixedSize(385, 309);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setGeometry(8, 8, 369, 249);
    TabBasic = new QWidget;
    TabBasic->setObjectName(QStringLiteral("TabBasic"));
    TabChimes = new QWidget;
    TabChimes->setObjectName(QStringLiteral("TabChimes"));
    PageControl->addTab(TabBasic, QString());
    PageControl->addTab(TabChimes, QString());

    cbStartup = place<QCheckBox>(TabBasic, "cbStartup", {24, 24, 225, 17});
    cbSystemTray = place<QCheckBox>(TabBasic, "cbSystemTray", {24, 56, 265, 17});
    cbFullScreen = place<QCheckBox>(TabBasic, "cbFullScreen", {24, 88, 209, 17});
    Label4 = placeLabel(TabBasic, "Label4", {24, 120});
    rbStandard = place<QRadioButton>(TabBasic, "rbStandard", {40, 144, 130, 17});
    rbMilitary = place<QRadioButton>(TabBasic, "rbMilitary", {40, 168, 149, 17});

    Label2 = placeLabel(TabChimes, "Label2", {16, 8});
    EditChimeSound = new QLineEdit(TabChimes);
    EditChimeSound->setObjectName(QStringLiteral("EditChimeSound"));
    EditChimeSound->setGeometry(24, 32, 217, 21);
    EditChimeSound->setReadOnly(true);
    Button3 = place<QPushButton>(TabChimes, "Button3", {256, 32, 25, 25});
    Button4 = place<QPushButton>(TabChimes, "Button4", {288, 32, 57, 25});
    cbHourly = place<QCheckBox>(TabChimes, "cbHourly", {16, 72, 99, 17});
    cbHalfHourly = place<QCheckBox>(TabChimes, "cbHalfHourly", {16, 96, 100, 17});
    cbQuarterHourly = place<QCheckBox>(TabChimes, "cbQuarterHourly", {16, 120, 113, 17});
    cbNoChimeBetween = place<QCheckBox>(TabChimes, "cbNoChimeBetween", {16, 152, 201, 17});
    Label1 = placeLabel(TabChimes, "Label1", {39, 188});
    TimePicker1 = placeTimePicker(TabChimes, "TimePicker1", {64, 184, 89, 21});
    Label3 = placeLabel(TabChimes, "Label3", {164, 188});
    TimePicker2 = placeTimePicker(TabChimes, "TimePicker2", {184, 184, 89, 21});

    Button1 = place<QPushButton>(this, "Button1", {216, 272, 75, 25});
    Button2 = place<QPushButton>(this, "Button2", {296, 272, 75, 25});

    const QList<QWidget*> tabOrder{PageControl,  cbStartup,       cbSystemTray,     cbFullScreen, rbStandard,
                                   rbMilitary,   EditChimeSound,  Button3,          Button4,      cbHourly,
                                   cbHalfHourly, cbQuarterHourly, cbNoChimeBetween, TimePicker1,  TimePicker2,
                                   Button1,      Button2};
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);

    auto handler = [this](void (TFormOptions::*method)()) {
        return [this, method] { guarded([this, method] { (this->*method)(); }); };
    };
    connect(Button1, &QPushButton::clicked, this, handler(&TFormOptions::Button1Click));
    connect(Button2, &QPushButton::clicked, this, handler(&TFormOptions::Button2Click));
    connect(Button3, &QPushButton::clicked, this, handler(&TFormOptions::Button3Click));
    connect(Button4, &QPushButton::clicked, this, handler(&TFormOptions::Button4Click));
    connect(cbNoChimeBetween, &QCheckBox::toggled, this, handler(&TFormOptions::cbNoChimeBetweenClick));

    retranslate();
    showSettings(OptionsSettings{});
    centreOnScreenWithFrame(*this);
}

TFormOptions::~TFormOptions() = default;

void TFormOptions::retranslate()
{
    setWindowTitle(tr("选项"));
    PageControl->setTabText(0, tr("基本选项"));
    PageControl->setTabText(1, tr("整点闹铃声"));
    cbStartup->setText(tr("登录时运行闹铃"));
    cbSystemTray->setText(tr("程序启动后自动最小化到系统栏"));
    cbFullScreen->setText(tr("以全屏模式播放闹铃视频"));
    Label4->setText(tr("时间格式："));
    rbStandard->setText(tr("标准格式 (AM/PM)"));
    rbMilitary->setText(tr("官方格式 (24 小时制)"));
    Label2->setText(tr("选择一个声音文件作为闹铃声："));
    Button3->setText(QStringLiteral("..."));
    Button4->setText(tr("播放"));
    cbHourly->setText(tr("启用整点闹铃"));
    cbHalfHourly->setText(tr("启用半点闹铃"));
    cbQuarterHourly->setText(tr("启用每刻钟闹铃"));
    cbNoChimeBetween->setText(tr("只在下面时间范围内启用闹铃："));
    Label1->setText(tr("从"));
    Label3->setText(tr("到"));
    EditChimeSound->setAccessibleName(tr("闹铃声文件"));
    TimePicker1->setAccessibleName(tr("从（小时，分钟，秒）"));
    TimePicker2->setAccessibleName(tr("到（小时，分钟，秒）"));
    Button1->setText(tr("确定"));
    Button2->setText(tr("取消"));
    if (m_fitted)
        fitTexts();
}

void TFormOptions::fitTexts()
{
    for (QLabel* label : {Label1, Label2, Label3, Label4})
        label->adjustSize();
    // A longer caption than "从" ends where the picker begins instead of under it.
    Label1->move(std::min(39, TimePicker1->x() - 4 - Label1->width()), Label1->y());
    fitCaptions(*this);
}

void TFormOptions::showEvent(QShowEvent* event)
{
    // The dialog takes its font, and fits its texts to it, when it is first shown, before it is on
    // screen: the options live from the start, but a clock whose options are never opened never loads
    // the font nor measures a text.
    if (!event->spontaneous())
        showWhetherStartsWithDesktop();
    if (!m_fitted) {
        m_fitted = true;
        QFont song(QStringLiteral("宋体"));
        song.setPixelSize(12);
        setFont(song);
        fitTexts();
    }
    QDialog::showEvent(event);
}

void TFormOptions::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void TFormOptions::FormCreate()
{
    OptionsSettings read;
    QString error;
    try {
        if (!loadOptions(m_optionsPath, read))
            read = defaultOptions(m_programFolder);
    } catch (const BelvaneError& e) {
        error = e.text();
    }
    // What was read counts even when the rest of the file could not be.
    showSettings(read);
    // Reported from the event loop, once every window exists: the message box's own loop delivers
    // scheduler ticks, and a tick may need the players made after this dialog.
    if (!error.isEmpty())
        QMetaObject::invokeMethod(
            this, [error] { reportError(error); }, Qt::QueuedConnection);
}

void TFormOptions::showWithoutWaiting()
{
    if (!isVisible())
        setWindowModality(QApplication::activeModalWidget() ? Qt::ApplicationModal : Qt::NonModal);
    show();
    raise();
    activateWindow();
}

void TFormOptions::showWhetherStartsWithDesktop()
{
    if (startsWithDesktop)
        cbStartup->setChecked(startsWithDesktop());
}

bool TFormOptions::startWithDesktop() const
{
    return cbStartup->isChecked();
}

bool TFormOptions::startInTray() const
{
    return cbSystemTray->isChecked();
}

bool TFormOptions::fullScreenVideo() const
{
    return cbFullScreen->isChecked();
}

bool TFormOptions::military() const
{
    return rbMilitary->isChecked();
}

ChimeOptions TFormOptions::chimes() const
{
    return ChimeOptions{
        EditChimeSound->text(),       cbHourly->isChecked(),         cbHalfHourly->isChecked(),
        cbQuarterHourly->isChecked(), cbNoChimeBetween->isChecked(), TimePicker1->time(),
        TimePicker2->time()};
}

OptionsSettings TFormOptions::settings() const
{
    OptionsSettings s;
    s.startup = startWithDesktop();
    s.systemTray = startInTray();
    s.fullScreen = fullScreenVideo();
    s.timeFormat = rbStandard->isChecked()   ? TimeFormat::Standard
                   : rbMilitary->isChecked() ? TimeFormat::Military
                                             : TimeFormat::Neither;
    s.chime = chimes();
    return s;
}

void TFormOptions::showSettings(const OptionsSettings& s)
{
    cbStartup->setChecked(s.startup);
    cbSystemTray->setChecked(s.systemTray);
    cbFullScreen->setChecked(s.fullScreen);
    // Exclusive buttons refuse to be unchecked, and a file may choose neither.
    rbStandard->setAutoExclusive(false);
    rbMilitary->setAutoExclusive(false);
    rbStandard->setChecked(s.timeFormat == TimeFormat::Standard);
    rbMilitary->setChecked(s.timeFormat == TimeFormat::Military);
    rbStandard->setAutoExclusive(true);
    rbMilitary->setAutoExclusive(true);
    EditChimeSound->setText(s.chime.file);
    cbHourly->setChecked(s.chime.hourly);
    cbHalfHourly->setChecked(s.chime.halfHourly);
    cbQuarterHourly->setChecked(s.chime.quarterHourly);
    cbNoChimeBetween->setChecked(s.chime.onlyBetween);
    TimePicker1->setTime(s.chime.from);
    TimePicker2->setTime(s.chime.to);
    cbNoChimeBetweenClick();
}

void TFormOptions::Button1Click()
{
    saveOptions(m_optionsPath, settings());
    if (setStartWithDesktop)
        setStartWithDesktop(cbStartup->isChecked());
    accept();
}

void TFormOptions::Button2Click()
{
    reject();
}

void TFormOptions::Button3Click()
{
    QFileDialog OpenDialog(this);
    OpenDialog.setObjectName(QStringLiteral("OpenDialog"));
    OpenDialog.setOption(QFileDialog::DontUseNativeDialog);
    // The entries show their descriptions alone; the patterns are in the descriptions where they matter.
    OpenDialog.setOption(QFileDialog::HideNameFilterDetails);
    OpenDialog.setFileMode(QFileDialog::ExistingFile);
    OpenDialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = mediaFileNameFilters();
    OpenDialog.setNameFilters(filters);
    OpenDialog.selectNameFilter(filters.first());
    OpenDialog.setDirectory(m_programFolder + QStringLiteral("sounds/"));
    fitFileDialog(OpenDialog);
    const QString chosen = runOpenDialog(OpenDialog);
    if (!chosen.isEmpty())
        EditChimeSound->setText(chosen);
}

void TFormOptions::Button4Click()
{
    if (m_preview)
        m_preview->PreviewFile(EditChimeSound->text());
}

void TFormOptions::cbNoChimeBetweenClick()
{
    TimePicker1->setEnabled(cbNoChimeBetween->isChecked());
    TimePicker2->setEnabled(cbNoChimeBetween->isChecked());
}
