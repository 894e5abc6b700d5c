#include "alarms/alarm_editor.h"

#include <array>
#include <exception>
#include <type_traits>

#include <QAbstractTextDocumentLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimeEdit>
#include <QTreeWidget>

#include "alarms/alarm_editor_rules.h"
#include "alarms/alarm_record.h"
#include "alarms/alarm_settings_file.h"
#include "media/media_formats.h"
#include "media/preview_window.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/line_file.h"
#include "ui/date_time_fields.h"
#include "ui/error_report.h"
#include "ui/file_dialog_fit.h"
#include "ui/services.h"
#include "ui/window_centring.h"
#include "ui/window_flags.h"
#include <QCoreApplication>

namespace {

const QString kWorkingFile = QStringLiteral("alarm.ini");

/// How each frequency shows the alarm's date and time. Only the display changes: the parts a picker
/// hides (the hour of an hourly alarm, the year of a yearly one) are kept and saved.
struct FrequencyView {
    bool minutesAndSeconds; // the time picker shows "mm:ss" instead of the system time format
    bool dateEnabled;
    const char* dateFormat; // nullptr: the system short date format
    bool weekdaysEnabled;
    const char* caption;
};

const std::array<FrequencyView, kFrequencyCount> kFrequencyViews = {{
    {false, true, nullptr, false, QT_TRANSLATE_NOOP("TAlarmOptions", "时间，日期")},
    {true, false, nullptr, false, QT_TRANSLATE_NOOP("TAlarmOptions", "小时，分钟")},
    {false, false, nullptr, false, QT_TRANSLATE_NOOP("TAlarmOptions", "时间")},
    {false, false, nullptr, true, QT_TRANSLATE_NOOP("TAlarmOptions", "时间，星期几")},
    {false, true, "dd", false, QT_TRANSLATE_NOOP("TAlarmOptions", "时间，日期")},
    {false, true, "MMMM-dd", false, QT_TRANSLATE_NOOP("TAlarmOptions", "时间，月份和日期")},
}};

const std::array<const char*, 7> kWeekdayCaptions = {
    QT_TRANSLATE_NOOP("TAlarmOptions", "星期天"), QT_TRANSLATE_NOOP("TAlarmOptions", "星期一"),
    QT_TRANSLATE_NOOP("TAlarmOptions", "星期二"), QT_TRANSLATE_NOOP("TAlarmOptions", "星期三"),
    QT_TRANSLATE_NOOP("TAlarmOptions", "星期四"), QT_TRANSLATE_NOOP("TAlarmOptions", "星期五"),
    QT_TRANSLATE_NOOP("TAlarmOptions", "星期六")};

MediaFileChooser& mediaFileChooser()
{
    static MediaFileChooser chooser;
    return chooser;
}

QString chooseMediaFile(QWidget* parent, const QStringList& nameFilters, const QString& selectedFilter)
{
    if (mediaFileChooser())
        return mediaFileChooser()(parent, nameFilters, selectedFilter);
    QFileDialog dialog(parent, QCoreApplication::translate("TAlarmOptions", "打开"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // a typed name is taken as it is
    // The types show their descriptions alone, as the chime's dialog does: dozens of patterns do not fit.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters);
    dialog.selectNameFilter(selectedFilter);
    fitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

/// The system's long time format without its time zone, which a time of day does not have.
QString systemTimeFormat()
{
    const QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            out += c;
    }
    return out.trimmed();
}

/// The system's short date format, with a four-digit year so that editing the year cannot move the
/// date into another century.
QString systemDateFormat()
{
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

QLabel* makeLabel(QWidget* parent, int x, int y)
{
    auto* label = new QLabel(parent);
    label->move(x, y);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, QRect geometry)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

template <class Button> Button* makeChoice(QWidget* parent, const char* name, int x, int y)
{
    auto* button = new Button(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->move(x, y);
    return button;
}

QComboBox* makeList(QWidget* parent, const char* name, const QStringList& items, QRect geometry)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    list->setEditable(false);
    list->setGeometry(geometry);
    return list;
}

/// A picker of a number of minutes: it shows only the minutes and is stepped with its arrows.
QTimeEdit* makeMinutesPicker(QWidget* parent, const char* name, int minutes)
{
    auto* picker = new TimeFieldPicker(QTime(0, minutes), parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setDisplayFormat(QStringLiteral("mm"));
    picker->setWrapping(true);
    picker->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    picker->resize(44, 20);
    return picker;
}

/// A check box or radio button whose caption holds a run of blanks with a minutes picker lying over
/// it, so caption and picker read as one sentence. The caption's text stays as it is; only its
/// blanks are drawn as wide as the picker needs, no wider and no narrower.
template <class Base> class GapButton : public Base {
public:
    GapButton(QWidget* parent, QTimeEdit* picker) : Base(parent), m_picker(picker)
    {
        m_gapWidth = picker->width() + 6;
    }

    /// Takes a caption (in any language, its blanks where the picker goes), fits the button to it and
    /// puts the picker over the blanks.
    void setCaption(const QString& caption)
    {
        m_gapStart = caption.indexOf(QStringLiteral("  "));
        m_gapEnd = m_gapStart;
        while (m_gapEnd >= 0 && m_gapEnd < caption.size() && caption[m_gapEnd] == QLatin1Char(' '))
            ++m_gapEnd;
        this->setText(caption);
        this->adjustSize();
        const QRect gap = gapRect().translated(this->pos());
        m_picker->move(gap.center().x() - m_picker->width() / 2 + 1,
                       this->y() + (this->height() - m_picker->height()) / 2);
        m_picker->raise();
    }

    /// Where the blanks are drawn, in the button's coordinates.
    QRect gapRect() const
    {
        const QRect text = textRect();
        return QRect(text.left() + this->fontMetrics().horizontalAdvance(before()), text.top(), gapWidth(),
                     text.height());
    }

    QSize sizeHint() const override
    {
        // Never narrower than the caption with all its blanks, which is what the button holds.
        const QSize base = Base::sizeHint();
        return QSize(base.width() + std::max(0, gapWidth() - this->fontMetrics().horizontalAdvance(blanks())),
                     base.height());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        this->initStyleOption(&option);
        option.text.clear(); // the indicator alone; the caption is drawn in two parts around the gap
        painter.drawControl(kIsCheckBox ? QStyle::CE_CheckBox : QStyle::CE_RadioButton, option);
        const QRect text = textRect();
        const QRect gap = gapRect();
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
        painter.drawItemText(QRect(text.left(), text.top(), gap.left() - text.left(), text.height()), flags,
                             option.palette, this->isEnabled(), before(), QPalette::WindowText);
        painter.drawItemText(
            QRect(gap.right() + 1, text.top(), this->width() - gap.right() - 1, text.height()), flags,
            option.palette, this->isEnabled(), after(), QPalette::WindowText);
    }
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }

private:
    static constexpr bool kIsCheckBox = std::is_same_v<Base, QCheckBox>;

    QRect textRect() const
    {
        QStyleOptionButton option;
        this->initStyleOption(&option);
        return this->style()->subElementRect(
            kIsCheckBox ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &option, this);
    }
    QString before() const { return this->text().left(m_gapStart); }
    QString blanks() const { return this->text().mid(m_gapStart, m_gapEnd - m_gapStart); }
    QString after() const { return this->text().mid(m_gapEnd); }
    // The blanks only mark the place: however many a translation has, the gap is the picker's.
    int gapWidth() const { return m_gapWidth; }

    QTimeEdit* m_picker;
    qsizetype m_gapStart = 0;
    qsizetype m_gapEnd = 0;
    int m_gapWidth = 0;
};

/// A button at (x, y) of `parent` whose caption will have `picker` in its gap.
template <class Base>
GapButton<Base>* makeChoiceWithPicker(QWidget* parent, const char* name, int x, int y, QTimeEdit* picker)
{
    auto* button = new GapButton<Base>(parent, picker);
    button->setObjectName(QString::fromLatin1(name));
    button->move(x, y);
    return button;
}

/// Checks or clears one button of an exclusive group; clearing can leave the whole group clear,
/// as a file that sets none of its choices does.
void setChoice(QButtonGroup* group, QAbstractButton* button, bool checked)
{
    if (checked || !button->isChecked()) {
        button->setChecked(checked);
        return;
    }
    group->setExclusive(false);
    button->setChecked(false);
    group->setExclusive(true);
}

/// A stored minutes value as a picker's time; only 0 to 59 are minutes.
QTime minutesTime(int minutes)
{
    if (minutes < 0 || minutes > 59)
        throw ConversionError(
            QCoreApplication::translate("TAlarmOptions", "%1 分钟超出了 0 到 59 分钟").arg(minutes));
    return QTime(0, minutes);
}

} // namespace

void setMediaFileChooser(MediaFileChooser chooser)
{
    mediaFileChooser() = std::move(chooser);
}

TAlarmOptions::TAlarmOptions(AlarmEditorParts parts, AlarmEditorStart start, QWidget* parent)
    : FormDialog(parent, kFixedDialogFlags), m_parts(std::move(parts)), m_start(start)
{
    setObjectName(QStringLiteral("AlarmOptions"));
    onEveryLanguage([this] { setWindowTitle(tr("闹钟设置")); });
    setFont(QFont(QStringLiteral("宋体"), 9));
    setFixedSize(392, 366);

    Table = new QTabWidget(this);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setGeometry(8, 8, 376, 318);
    TabSheet1 = new QWidget;
    SoundMusic = new QWidget;
    TabSheet4 = new QWidget;
    TabSheet2 = new QWidget;
    for (auto [page, name] : {std::pair{TabSheet1, "TabSheet1"},
                              {SoundMusic, "SoundMusic"},
                              {TabSheet4, "TabSheet4"},
                              {TabSheet2, "TabSheet2"}}) {
        page->setObjectName(QString::fromLatin1(name));
        Table->addTab(page, QString());
    }
    onEveryLanguage([this] {
        Table->setTabText(0, tr("基本设置"));
        Table->setTabText(1, tr("声音和音乐"));
        Table->setTabText(2, tr("音量控制"));
        Table->setTabText(3, tr("其他"));
    });
    buildBasicPage(TabSheet1);
    buildSoundPage(SoundMusic);
    buildVolumePage(TabSheet4);
    buildOtherPage(TabSheet2);
    onEveryLanguage([this] { nameForScreenReaders(); });

    OK = makeButton(this, "OK", QRect(228, 334, 75, 25));
    Cancel = makeButton(this, "Cancel", QRect(309, 334, 75, 25));
    keepText(OK, QT_TR_NOOP("确定"));
    keepText(Cancel, QT_TR_NOOP("取消"));

    FormCreate();

    connect(OK, &QPushButton::clicked, this, [this] { guarded([this] { OKClick(); }); });
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Frequency, &QComboBox::currentIndexChanged, this, [this] { ActionFrequencyChange(); });
    connect(TimeNow, &QPushButton::clicked, this, [this] { TimeNowClick(); });
    connect(RadioButtonPlayMusic, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            ActionPlayMusicSelected();
    });
    connect(RadioButtonPlaySound, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            ActionPlaySoundSelected();
    });
    connect(RadioButtonPlayMusic, &QRadioButton::toggled, this, [this] { showEmptyListWarning(); });
    connect(SongList->model(), &QAbstractItemModel::rowsInserted, this, [this] { showEmptyListWarning(); });
    connect(SongList->model(), &QAbstractItemModel::rowsRemoved, this, [this] { showEmptyListWarning(); });
    connect(SongList->model(), &QAbstractItemModel::modelReset, this, [this] { showEmptyListWarning(); });
    showEmptyListWarning();
    for (auto [box, picker] : {std::pair{FadeIn, FadeInTimePicker},
                               {FadeOut, FadeOutTimePicker},
                               {AutoSnooze, AutoSnoozeTimePicker}})
        connect(box, &QCheckBox::toggled, picker, &QWidget::setEnabled);
    connect(AlarmVolume, &QSlider::valueChanged, this, [this] { AlarmVolumeChange(); });
    connect(AddMusic, &QPushButton::clicked, this, [this] { guarded([this] { AddMusicClick(); }); });
    connect(DeleteMusic, &QPushButton::clicked, this, [this] { DeleteMusicClick(); });
    connect(UpMusic, &QPushButton::clicked, this, [this] { UpMusicClick(); });
    connect(DownMusic, &QPushButton::clicked, this, [this] { DownMusicClick(); });
    connect(PlayMusic, &QPushButton::clicked, this, [this] { PlayMusicClick(); });
    connect(PlaySound, &QPushButton::clicked, this, [this] { PlaySoundClick(); });
    connect(TryAlarm, &QPushButton::clicked, this, [this] { guarded([this] { TryAlarmClick(); }); });

    centreOnScreenWithFrame(*this);
}

TAlarmOptions::~TAlarmOptions()
{
    FormClose();
}

void TAlarmOptions::onEveryLanguage(std::function<void()> setTexts)
{
    setTexts();
    m_setTexts.push_back(std::move(setTexts));
}

void TAlarmOptions::keepText(QWidget* control, const char* source)
{
    onEveryLanguage([this, control, source] {
        const QString text = tr(source);
        if (auto* label = qobject_cast<QLabel*>(control)) {
            label->setText(text);
            label->adjustSize();
        } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
            box->setTitle(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            button->setText(text);
            if (!qobject_cast<QPushButton*>(button)) // check boxes and radio buttons fit their captions
                button->adjustSize();
        }
    });
}

QLabel* TAlarmOptions::makeCaption(QWidget* parent, const char* source, int x, int y)
{
    QLabel* label = makeLabel(parent, x, y);
    keepText(label, source);
    return label;
}

void TAlarmOptions::retranslate()
{
    // A new alarm's reminder that nobody has touched is the program's text, not the user's: it
    // follows the language too.
    const bool reminderUntouched =
        !m_untouchedReminder.isEmpty() && Memo->toPlainText() == m_untouchedReminder;
    for (const auto& setTexts : m_setTexts)
        setTexts();
    if (reminderUntouched) {
        m_untouchedReminder = defaultReminderText();
        Memo->setPlainText(m_untouchedReminder);
    }
}

void TAlarmOptions::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && !m_setTexts.empty())
        retranslate();
    FormDialog::changeEvent(event);
}

void TAlarmOptions::buildBasicPage(QWidget* page)
{
    makeCaption(page, QT_TR_NOOP("提醒文本："), 8, 8);
    m_untouchedReminder = defaultReminderText();
    Memo = new QPlainTextEdit(m_untouchedReminder, page);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setGeometry(8, 26, 352, 64);
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes on to the next field, as in every other field of the dialog; a reminder has no use for
    // tab characters.
    Memo->setTabChangesFocus(true);

    QLabel* frequencyLabel = makeCaption(page, QT_TR_NOOP("频率："), 8, 103);
    Frequency = makeList(page, "Frequency", QStringList(kFrequencyCount, QString()), QRect(56, 98, 120, 22));
    frequencyLabel->setBuddy(Frequency); // what a screen reader calls the list (see nameForScreenReaders)
    onEveryLanguage([this, frequencyLabel] {
        for (int i = 0; i < kFrequencyCount; ++i)
            Frequency->setItemText(i, frequencyCaption(i));
        // Beside its caption, however long the caption is in the interface's language.
        Frequency->move(std::max(56, frequencyLabel->geometry().right() + 5), 98);
    });

    GroupBoxTDD = new QGroupBox(page);
    GroupBoxTDD->setObjectName(QStringLiteral("GroupBoxTDD"));
    GroupBoxTDD->setGeometry(8, 130, 352, 150);
    onEveryLanguage([this] { GroupBoxTDD->setTitle(tr(m_timeGroupCaption)); });
    makeCaption(GroupBoxTDD, QT_TR_NOOP("时间："), 12, 27);
    TimePicker = new TimeFieldPicker(GroupBoxTDD);
    TimePicker->setObjectName(QStringLiteral("TimePicker"));
    TimePicker->setGeometry(64, 22, 120, 22);
    TimePicker->setDisplayFormat(systemTimeFormat());
    makeCaption(GroupBoxTDD, QT_TR_NOOP("日期："), 12, 57);
    DatePicker = new DateFieldPicker(GroupBoxTDD);
    DatePicker->setObjectName(QStringLiteral("DatePicker"));
    DatePicker->setGeometry(64, 52, 120, 22);
    DatePicker->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    DatePicker->setCalendarPopup(true);
    DatePicker->setDisplayFormat(systemDateFormat());
    TimeNow = makeButton(GroupBoxTDD, "TimeNow", QRect(200, 21, 100, 24));
    keepText(TimeNow, QT_TR_NOOP("获取当前时间"));
    makeCaption(GroupBoxTDD, QT_TR_NOOP("星期几："), 12, 86);
    for (int i = 0; i < 7; ++i) {
        const QByteArray name = "CheckBox" + QByteArray::number(i + 1);
        CheckBox[i] =
            makeChoice<QCheckBox>(GroupBoxTDD, name.constData(), 12 + (i % 4) * 80, 104 + (i / 4) * 22);
        keepText(CheckBox[i], kWeekdayCaptions[i]);
    }
}

void TAlarmOptions::buildSoundPage(QWidget* page)
{
    m_playGroup = new QButtonGroup(this);
    RadioButtonPlayMusic = makeChoice<QRadioButton>(page, "RadioButtonPlayMusic", 8, 8);
    keepText(RadioButtonPlayMusic, QT_TR_NOOP("播放音频和视频："));
    m_playGroup->addButton(RadioButtonPlayMusic);

    GroupBoxPlayList = new QGroupBox(page);
    GroupBoxPlayList->setObjectName(QStringLiteral("GroupBoxPlayList"));
    GroupBoxPlayList->setGeometry(8, 30, 352, 172);
    keepText(GroupBoxPlayList, QT_TR_NOOP("播放列表"));
    SongList = new QTreeWidget(GroupBoxPlayList);
    SongList->setObjectName(QStringLiteral("SongList"));
    SongList->setGeometry(8, 22, 284, 140);
    SongList->setColumnCount(2);
    onEveryLanguage([this] { SongList->setHeaderLabels({tr("文件名"), tr("位置")}); });
    SongList->header()->resizeSection(0, 130);
    SongList->header()->resizeSection(1, 146);
    SongList->setRootIsDecorated(false);
    SongList->setSelectionBehavior(QAbstractItemView::SelectRows);
    SongList->setSelectionMode(QAbstractItemView::SingleSelection);
    SongList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SongList->setAllColumnsShowFocus(true);
    AddMusic = makeButton(GroupBoxPlayList, "AddMusic", QRect(298, 22, 46, 24));
    DeleteMusic = makeButton(GroupBoxPlayList, "DeleteMusic", QRect(298, 50, 46, 24));
    UpMusic = makeButton(GroupBoxPlayList, "UpMusic", QRect(298, 78, 46, 24));
    DownMusic = makeButton(GroupBoxPlayList, "DownMusic", QRect(298, 106, 46, 24));
    PlayMusic = makeButton(GroupBoxPlayList, "PlayMusic", QRect(298, 138, 46, 24));
    keepText(AddMusic, QT_TR_NOOP("添加"));
    keepText(DeleteMusic, QT_TR_NOOP("删除"));
    keepText(UpMusic, QT_TR_NOOP("上移"));
    keepText(DownMusic, QT_TR_NOOP("下移"));
    keepText(PlayMusic, QT_TR_NOOP("播放"));
    // In the empty list's own space, where the entries would be, over it but letting clicks through
    // to it: the alarm would ring the built-in sound instead.
    LabelEmptyList = new QLabel(GroupBoxPlayList);
    LabelEmptyList->setObjectName(QStringLiteral("LabelEmptyList"));
    const int headerHeight = SongList->header()->sizeHint().height();
    LabelEmptyList->setGeometry(SongList->geometry().adjusted(8, headerHeight + 8, -8, -8));
    LabelEmptyList->setAlignment(Qt::AlignCenter);
    LabelEmptyList->setWordWrap(true);
    LabelEmptyList->setStyleSheet(QStringLiteral("color: #c00000"));
    LabelEmptyList->setAttribute(Qt::WA_TransparentForMouseEvents);
    LabelEmptyList->hide();
    onEveryLanguage([this] { LabelEmptyList->setText(tr("播放列表是空的：响铃时将改放闹铃声音")); });

    RadioButtonPlaySound = makeChoice<QRadioButton>(page, "RadioButtonPlaySound", 8, 212);
    keepText(RadioButtonPlaySound, QT_TR_NOOP("播放闹铃声音"));
    m_playGroup->addButton(RadioButtonPlaySound);
    LabelPlay = makeCaption(page, QT_TR_NOOP("播放"), 26, 242);
    LabelPlay->setObjectName(QStringLiteral("LabelPlay"));
    SoundComboBox =
        makeList(page, "SoundComboBox", QStringList(kBuiltInSoundCount, QString()), QRect(56, 237, 100, 22));
    onEveryLanguage([this] {
        for (int i = 0; i < kBuiltInSoundCount; ++i)
            SoundComboBox->setItemText(i, builtInSoundCaption(i));
    });
    LabelPlay->setBuddy(SoundComboBox); // what a screen reader calls the list (see nameForScreenReaders)
    LabelLasting = makeCaption(page, QT_TR_NOOP("持续"), 166, 242);
    LabelLasting->setObjectName(QStringLiteral("LabelLasting"));
    SoundTimePicker = makeMinutesPicker(page, "SoundTimePicker", 15);
    LabelMinutes = makeCaption(page, QT_TR_NOOP("分钟"), 0, 242);
    LabelMinutes->setObjectName(QStringLiteral("LabelMinutes"));
    onEveryLanguage([this] {
        SoundTimePicker->move(LabelLasting->geometry().right() + 5, 238);
        LabelMinutes->move(SoundTimePicker->geometry().right() + 5, 242);
    });
    PlaySound = makeButton(page, "PlaySound", QRect(298, 236, 62, 24));
    TryAlarm = makeButton(page, "TryAlarm", QRect(298, 262, 62, 24)); // inside the page's 287 px
    keepText(PlaySound, QT_TR_NOOP("播放"));
    keepText(TryAlarm, QT_TR_NOOP("试响"));
    onEveryLanguage([this] { TryAlarm->setToolTip(tr("现在按这些设置响铃一次，不保存")); });
}

void TAlarmOptions::buildVolumePage(QWidget* page)
{
    auto* box = new QGroupBox(page);
    box->setObjectName(QStringLiteral("GroupBoxVolume"));
    box->setGeometry(8, 8, 352, 250);
    keepText(box, QT_TR_NOOP("音量控制"));

    FadeInTimePicker = makeMinutesPicker(box, "FadeInTimePicker", 5);
    auto* fadeIn = makeChoiceWithPicker<QCheckBox>(box, "FadeIn", 12, 28, FadeInTimePicker);
    FadeOutTimePicker = makeMinutesPicker(box, "FadeOutTimePicker", 30);
    auto* fadeOut = makeChoiceWithPicker<QCheckBox>(box, "FadeOut", 12, 60, FadeOutTimePicker);
    AutoSnoozeTimePicker = makeMinutesPicker(box, "AutoSnoozeTimePicker", 2);
    auto* autoSnooze = makeChoiceWithPicker<QCheckBox>(box, "AutoSnooze", 12, 60, AutoSnoozeTimePicker);
    onEveryLanguage([this, fadeIn, fadeOut, autoSnooze] {
        fadeIn->setCaption(tr("开头      分钟进行淡入处理"));
        fadeOut->setCaption(tr("播放       分钟后开始进行淡出处理"));
        autoSnooze->setCaption(tr("播放音乐      分钟后自动开始打盹儿"));
    });
    FadeIn = fadeIn;
    FadeOut = fadeOut;
    AutoSnooze = autoSnooze;
    FadeOut->hide();
    FadeOutTimePicker->hide();

    QLabel* snooze = makeCaption(box, QT_TR_NOOP("默认打盹儿时间："), 14, 98);
    SnoozeTimePicker = makeMinutesPicker(box, "SnoozeTimePicker", 15);
    QLabel* snoozeMinutes = makeCaption(box, QT_TR_NOOP("分钟"), 0, 98);
    onEveryLanguage([this, snooze, snoozeMinutes] {
        SnoozeTimePicker->move(snooze->geometry().right() + 5, 94);
        snoozeMinutes->move(SnoozeTimePicker->geometry().right() + 5, 98);
    });

    makeCaption(box, QT_TR_NOOP("闹铃音量"), 14, 140);
    AlarmVolume = new QSlider(Qt::Horizontal, box);
    AlarmVolume->setObjectName(QStringLiteral("AlarmVolume"));
    AlarmVolume->setGeometry(12, 160, 270, 32);
    AlarmVolume->setRange(0, 100);
    AlarmVolume->setTickInterval(10);
    AlarmVolume->setTickPosition(QSlider::TicksBelow);
    AlarmVolume->setPageStep(10);
    AlarmVolume->setValue(100);
    LabelVolume = new QLabel(QStringLiteral("100%"), box);
    LabelVolume->move(292, 168);
    LabelVolume->adjustSize();
    LabelVolume->setObjectName(QStringLiteral("LabelVolume"));
    LabelVolume->setFixedWidth(48);
}

void TAlarmOptions::buildOtherPage(QWidget* page)
{
    auto* closing = new QGroupBox(page);
    closing->setObjectName(QStringLiteral("GroupBoxClosing"));
    closing->setGeometry(8, 8, 352, 80);
    keepText(closing, QT_TR_NOOP("关闭方式"));
    m_closingGroup = new QButtonGroup(this);
    RadioButton1 = makeChoice<QRadioButton>(closing, "RadioButton1", 12, 26);
    RadioButton2 = makeChoice<QRadioButton>(closing, "RadioButton2", 12, 50);
    keepText(RadioButton1, QT_TR_NOOP("不自动关闭闹铃窗口。"));
    keepText(RadioButton2, QT_TR_NOOP("播放声音或音乐文件完毕后自动关闭窗口。"));
    AutoCloseTimePicker = makeMinutesPicker(closing, "AutoCloseTimePicker", 2);
    auto* closeAfter =
        makeChoiceWithPicker<QRadioButton>(closing, "RadioButton3", 12, 74, AutoCloseTimePicker);
    onEveryLanguage([this, closeAfter] { closeAfter->setCaption(tr("自动关闭于        分钟后。")); });
    RadioButton3 = closeAfter;
    RadioButton3->hide();
    AutoCloseTimePicker->hide();
    for (QRadioButton* b : {RadioButton1, RadioButton2, RadioButton3})
        m_closingGroup->addButton(b);

    auto* power = new QGroupBox(page);
    power->setObjectName(QStringLiteral("GroupBoxPower"));
    power->setGeometry(8, 100, 352, 92);
    keepText(power, QT_TR_NOOP("节电"));
    QLabel* hint = makeLabel(power, 14, 26);
    hint->setWordWrap(true);
    hint->setFixedWidth(326);
    keepText(hint, QT_TR_NOOP("您可以通过关机或关闭显示器来节电。"));
    PowerComboBox = makeList(power, "PowerComboBox", QStringList(4, QString()), QRect(12, 54, 130, 22));
    onEveryLanguage([this] {
        const QString actions[] = {tr("什么也不做"), tr("关闭显示器"), tr("待机"), tr("关机")};
        for (int i = 0; i < 4; ++i)
            PowerComboBox->setItemText(i, actions[i]);
    });
}

void TAlarmOptions::nameForScreenReaders()
{
    // What a screen reader says for a field: its caption, and in brackets what it holds. Without
    // these a field would read as its group's title, the same for every field of the group. A list
    // (combo box) reads as its chosen item instead, whatever name it is given: it is called by the
    // label it is the buddy of, or by its group's title.
    const std::pair<QWidget*, const char*> names[] = {
        {Memo, QT_TRANSLATE_NOOP("TAlarmOptions", "提醒文本")},
        {TimePicker, QT_TRANSLATE_NOOP("TAlarmOptions", "时间（小时，分钟，秒）")},
        {DatePicker, QT_TRANSLATE_NOOP("TAlarmOptions", "日期（年，月，日）")},
        {SongList, QT_TRANSLATE_NOOP("TAlarmOptions", "播放列表")},
        {SoundTimePicker, QT_TRANSLATE_NOOP("TAlarmOptions", "持续（分钟）")},
        {FadeInTimePicker, QT_TRANSLATE_NOOP("TAlarmOptions", "开头进行淡入处理（分钟）")},
        {FadeOutTimePicker, QT_TRANSLATE_NOOP("TAlarmOptions", "播放后开始进行淡出处理（分钟）")},
        {AutoSnoozeTimePicker, QT_TRANSLATE_NOOP("TAlarmOptions", "播放音乐后自动开始打盹儿（分钟）")},
        {SnoozeTimePicker, QT_TRANSLATE_NOOP("TAlarmOptions", "默认打盹儿时间（分钟）")},
        {AlarmVolume, QT_TRANSLATE_NOOP("TAlarmOptions", "闹铃音量（百分比）")},
        {AutoCloseTimePicker, QT_TRANSLATE_NOOP("TAlarmOptions", "自动关闭于（分钟）")},
    };
    for (const auto& [control, name] : names)
        control->setAccessibleName(tr(name));
}

void TAlarmOptions::FormCreate()
{
    // The same defaults as an alarm added by a command or over D-Bus.
    const AlarmSettings d = newAlarmSettings(m_parts.services.clock.now());
    TimePicker->setTime(QTime(d.hour, d.minute, d.second));
    Frequency->setCurrentIndex(d.frequencyIndex); // the frequency's display is left as it is
    DatePicker->setDate(QDate(d.year, d.month, d.day));
    DatePicker->setEnabled(false);

    for (int i = 0; i < 7; ++i)
        CheckBox[i]->setChecked(d.weekdays[i]);

    RadioButtonPlayMusic->setChecked(d.playMusic);
    ActionPlayMusicSelected();
    SongList->clear();
    SoundComboBox->setCurrentIndex(d.soundIndex);

    FadeIn->setChecked(d.fadeIn);
    FadeOut->setChecked(d.fadeOut);
    AutoSnooze->setChecked(d.autoSnooze);
    for (QTimeEdit* picker : {FadeInTimePicker, FadeOutTimePicker, AutoSnoozeTimePicker})
        picker->setEnabled(false);
    const std::pair<QTimeEdit*, int> minutes[] = {
        {SoundTimePicker, d.soundMinutes},           {FadeInTimePicker, d.fadeInMinutes},
        {FadeOutTimePicker, d.fadeOutMinutes},       {SnoozeTimePicker, d.snoozeMinutes},
        {AutoSnoozeTimePicker, d.autoSnoozeMinutes}, {AutoCloseTimePicker, d.autoCloseMinutes}};
    for (const auto& [picker, value] : minutes)
        picker->setTime(minutesTime(value));

    m_savedVolume = m_parts.services.volume.read();
    SetSystemVolume(d.volume);
    AlarmVolume->setValue(d.volume);

    RadioButton1->setChecked(d.closeNever);
    PowerComboBox->setCurrentIndex(d.powerAction);
    Table->setCurrentIndex(0);
}

void TAlarmOptions::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        guarded([this] { FormShow(); });
    }
}

void TAlarmOptions::FormShow()
{
    if (m_missingFile)
        throw IoError(tr("找不到文件\"%1\"").arg(*m_missingFile));
    if (m_start == AlarmEditorStart::WorkingFile)
        ActionReadAlarmInfo();
}

void TAlarmOptions::startFromRow(const AlarmEntry& row, const QString& missingFile)
{
    m_missingFile = missingFile;
    // Each field the row holds in a readable form is taken; one that is damaged keeps the default.
    for (int i = 0; i < kFrequencyCount; ++i) {
        if (row.frequencyText == frequencyBytes(i)) {
            Frequency->setCurrentIndex(i);
            ActionFrequencyChange();
        }
    }
    try {
        const TimeOfDay t = decodeTimeCode(row.timeCode);
        TimePicker->setTime(QTime(t.hour, t.minute, t.second));
    } catch (const ConversionError&) {
    }
    try {
        const CalendarDate d = decodeDateCode(row.dateCode);
        DatePicker->setDate(QDate(d.year, d.month, d.day));
    } catch (const ConversionError&) {
    }
    if (row.weekdayMask.size() == 7)
        for (int i = 0; i < 7; ++i)
            CheckBox[i]->setChecked(row.weekdayMask[i] == '1');
}

void TAlarmOptions::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    if (m_savedVolume)
        m_parts.services.volume.setVolume(m_savedVolume->packed);
}

void TAlarmOptions::ActionReadAlarmInfo()
{
    const QString path = m_parts.dataFolder + kWorkingFile;
    AlarmSettings loaded;
    std::exception_ptr readError;
    try {
        ReadAlarmSettingsFile(m_parts.dataFolder, kWorkingFile, SettingsReader::Editor, loaded);
    } catch (const BelvaneError&) {
        readError = std::current_exception();
    }
    // The controls take what was read before a bad line; the error is shown after them.
    try {
        showSettings(loaded);
        if (readError)
            std::rethrow_exception(readError);
    } catch (const ConversionError& e) {
        throw ConversionError(QStringLiteral("%1: %2").arg(path, e.text()));
    }
}

void TAlarmOptions::showSettings(const AlarmSettings& s)
{
    auto read = [&](SettingsField f) { return s.fieldsRead >= int(f); };
    if (!read(SettingsField::Frequency))
        return;
    Frequency->setCurrentIndex(s.frequencyIndex);
    ActionFrequencyChange();
    if (!read(SettingsField::Time))
        return;
    TimePicker->setTime(QTime(s.hour, s.minute, s.second));
    if (!read(SettingsField::Date))
        return;
    DatePicker->setDate(QDate(s.year, s.month, s.day));
    if (!read(SettingsField::Weekdays))
        return;
    for (int i = 0; i < 7; ++i)
        CheckBox[i]->setChecked(s.weekdays[i]);
    if (!read(SettingsField::PlayMusic))
        return;
    setChoice(m_playGroup, RadioButtonPlayMusic, s.playMusic);
    if (s.playMusic)
        ActionPlayMusicSelected();
    if (!read(SettingsField::PlayList))
        return;
    SongList->clear();
    for (const QString& entry : s.playList)
        appendSong(entry);
    if (!read(SettingsField::PlaySound))
        return;
    setChoice(m_playGroup, RadioButtonPlaySound, s.playSound);
    if (s.playSound)
        ActionPlaySoundSelected();
    if (!read(SettingsField::SoundIndex))
        return;
    SoundComboBox->setCurrentIndex(s.soundIndex);
    if (!read(SettingsField::SoundMinutes))
        return;
    SoundTimePicker->setTime(minutesTime(s.soundMinutes));
    if (!read(SettingsField::FadeIn))
        return;
    FadeIn->setChecked(s.fadeIn);
    if (!read(SettingsField::FadeInMinutes))
        return;
    FadeInTimePicker->setTime(minutesTime(s.fadeInMinutes));
    if (!read(SettingsField::FadeOut))
        return;
    FadeOut->setChecked(s.fadeOut);
    if (!read(SettingsField::FadeOutMinutes))
        return;
    FadeOutTimePicker->setTime(minutesTime(s.fadeOutMinutes));
    if (!read(SettingsField::SnoozeMinutes))
        return;
    SnoozeTimePicker->setTime(minutesTime(s.snoozeMinutes));
    if (!read(SettingsField::AutoSnooze))
        return;
    AutoSnooze->setChecked(s.autoSnooze);
    if (!read(SettingsField::AutoSnoozeMinutes))
        return;
    AutoSnoozeTimePicker->setTime(minutesTime(s.autoSnoozeMinutes));
    if (!read(SettingsField::Volume))
        return;
    AlarmVolume->setValue(s.volume);
    if (!read(SettingsField::ClosingMethod))
        return;
    setChoice(m_closingGroup, RadioButton1, s.closeNever);
    setChoice(m_closingGroup, RadioButton2, s.closeWhenFinished);
    setChoice(m_closingGroup, RadioButton3, s.closeAfterMinutes);
    if (!read(SettingsField::AutoCloseMinutes))
        return;
    AutoCloseTimePicker->setTime(minutesTime(s.autoCloseMinutes));
    if (!read(SettingsField::PowerAction))
        return;
    PowerComboBox->setCurrentIndex(s.powerAction);
    if (!read(SettingsField::ReminderText))
        return;
    Memo->setPlainText(memoTextFromReminder(s.reminderText));
    m_untouchedReminder.clear();
}

AlarmSettings TAlarmOptions::settingsFromControls() const
{
    AlarmSettings s;
    s.frequencyIndex = Frequency->currentIndex();
    const QTime t = TimePicker->time();
    s.hour = t.hour(), s.minute = t.minute(), s.second = t.second();
    const QDate d = DatePicker->date();
    s.year = d.year(), s.month = d.month(), s.day = d.day();
    for (int i = 0; i < 7; ++i)
        s.weekdays[i] = CheckBox[i]->isChecked();
    s.playMusic = RadioButtonPlayMusic->isChecked();
    for (int i = 0; i < SongList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = SongList->topLevelItem(i);
        s.playList.append(PlayListEntry{item->text(0), item->text(1)}.path());
    }
    s.playSound = RadioButtonPlaySound->isChecked();
    s.soundIndex = SoundComboBox->currentIndex();
    s.soundMinutes = SoundTimePicker->time().minute();
    s.fadeIn = FadeIn->isChecked();
    s.fadeInMinutes = FadeInTimePicker->time().minute();
    s.fadeOut = FadeOut->isChecked();
    s.fadeOutMinutes = FadeOutTimePicker->time().minute();
    s.snoozeMinutes = SnoozeTimePicker->time().minute();
    s.autoSnooze = AutoSnooze->isChecked();
    s.autoSnoozeMinutes = AutoSnoozeTimePicker->time().minute();
    s.volume = AlarmVolume->value();
    s.closeNever = RadioButton1->isChecked();
    s.closeWhenFinished = RadioButton2->isChecked();
    s.closeAfterMinutes = RadioButton3->isChecked();
    s.autoCloseMinutes = AutoCloseTimePicker->time().minute();
    s.powerAction = PowerComboBox->currentIndex();
    s.reminderText = reminderLinesFromMemo(Memo->toPlainText());
    return s;
}

void TAlarmOptions::OKClick()
{
    const AlarmSettings s = settingsFromControls();
    // A file that cannot be written raises here: the dialog stays open and nothing is handed back.
    writeFileAtomically(m_parts.dataFolder + kWorkingFile, WriteAlarmSettings(s));

    m_edited = editedAlarmInfo(s, firstDisplayedLine());
    accept();
}

QString TAlarmOptions::firstDisplayedLine() const
{
    const QTextBlock block = Memo->document()->firstBlock();
    // Asking for the block's rectangle lays it out at the memo's width if it is not yet.
    Memo->document()->documentLayout()->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return block.text();
    const QTextLine line = layout->lineAt(0);
    return block.text().mid(line.textStart(), line.textLength());
}

void TAlarmOptions::TimeNowClick()
{
    const QDateTime now = m_parts.services.clock.now();
    TimePicker->setTime(now.time());
    DatePicker->setDate(now.date());
}

void TAlarmOptions::ActionFrequencyChange()
{
    const int index = Frequency->currentIndex();
    if (index < 0 || index >= kFrequencyCount)
        return;
    const FrequencyView& view = kFrequencyViews[index];
    TimePicker->setDisplayFormat(view.minutesAndSeconds ? QStringLiteral("mm:ss") : systemTimeFormat());
    DatePicker->setDisplayFormat(view.dateFormat ? QString::fromLatin1(view.dateFormat) : systemDateFormat());
    DatePicker->setEnabled(view.dateEnabled);
    EnableWeekdayBoxes(view.weekdaysEnabled);
    m_timeGroupCaption = view.caption;
    GroupBoxTDD->setTitle(tr(m_timeGroupCaption));
}

void TAlarmOptions::EnableWeekdayBoxes(bool enabled)
{
    for (QCheckBox* box : CheckBox)
        box->setEnabled(enabled);
}

void TAlarmOptions::ActionPlayMusicSelected()
{
    for (QWidget* w : std::initializer_list<QWidget*>{GroupBoxPlayList, SongList, AddMusic, DeleteMusic,
                                                      UpMusic, DownMusic, PlayMusic})
        w->setEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{LabelPlay, SoundComboBox, LabelLasting, SoundTimePicker,
                                                      LabelMinutes, PlaySound})
        w->setEnabled(false);
}

void TAlarmOptions::ActionPlaySoundSelected()
{
    for (QWidget* w : std::initializer_list<QWidget*>{GroupBoxPlayList, SongList, AddMusic, DeleteMusic,
                                                      UpMusic, DownMusic, PlayMusic})
        w->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{LabelPlay, SoundComboBox, LabelLasting, SoundTimePicker,
                                                      LabelMinutes, PlaySound})
        w->setEnabled(true);
}

void TAlarmOptions::showEmptyListWarning()
{
    LabelEmptyList->setVisible(RadioButtonPlayMusic->isChecked() && SongList->topLevelItemCount() == 0);
    LabelEmptyList->raise();
}

void TAlarmOptions::SetSystemVolume(int percent)
{
    m_parts.services.volume.setVolume(alarmVolumeValue(percent));
}

void TAlarmOptions::AlarmVolumeChange()
{
    SetSystemVolume(AlarmVolume->value());
    LabelVolume->setText(QString::number(AlarmVolume->value()) + QLatin1Char('%'));
}

// The play list. An entry shows its file name in column 0 and its folder in column 1.

int TAlarmOptions::selectedSong() const
{
    const QList<QTreeWidgetItem*> selected = SongList->selectedItems();
    return selected.isEmpty() ? -1 : SongList->indexOfTopLevelItem(selected.first());
}

void TAlarmOptions::selectSong(int index)
{
    if (QTreeWidgetItem* item = SongList->topLevelItem(index)) {
        SongList->setCurrentItem(item);
        item->setSelected(true);
    } else {
        SongList->clearSelection();
        SongList->setCurrentItem(nullptr);
    }
}

void TAlarmOptions::swapSongs(int a, int b)
{
    QTreeWidgetItem* first = SongList->topLevelItem(a);
    QTreeWidgetItem* second = SongList->topLevelItem(b);
    for (int column = 0; column < 2; ++column) {
        const QString text = first->text(column);
        first->setText(column, second->text(column));
        second->setText(column, text);
    }
}

void TAlarmOptions::appendSong(const QString& path)
{
    const PlayListEntry entry = splitPlayListPath(path);
    new QTreeWidgetItem(SongList, {entry.fileName, entry.folder});
}

void TAlarmOptions::AddMusicClick()
{
    // The ringing window plays at most this many entries; more would be saved and never heard.
    if (SongList->topLevelItemCount() >= kMaxPlayListEntries)
        throw BelvaneError(
            tr("播放列表最多只能有 %1 个文件，不能再添加。请先删除不需要的文件。").arg(kMaxPlayListEntries));
    const int remembered = selectedSong();
    const QStringList filters = mediaFileNameFilters();
    const QString path = chooseMediaFile(this, filters, filters.first());
    if (path.isEmpty())
        return;
    appendSong(path);
    selectSong(remembered != -1 ? remembered : 0);
    SongList->setFocus();
}

void TAlarmOptions::DeleteMusicClick()
{
    const int count = SongList->topLevelItemCount();
    int index = selectedSong();
    if (index == -1 && count > 0) {
        selectSong(0); // a second click deletes it
        return;
    }
    if (index != -1)
        delete SongList->takeTopLevelItem(index);
    if (index >= SongList->topLevelItemCount())
        index = SongList->topLevelItemCount() - 1;
    selectSong(index);
    SongList->setFocus();
}

void TAlarmOptions::UpMusicClick()
{
    SongList->setFocus();
    if (SongList->topLevelItemCount() == 0)
        return;
    const int index = selectedSong();
    if (index == -1) {
        selectSong(0);
        return;
    }
    if (index == 0)
        return;
    // The selection stays in its place, now on the entry that was above.
    swapSongs(index - 1, index);
}

void TAlarmOptions::DownMusicClick()
{
    SongList->setFocus();
    const int count = SongList->topLevelItemCount();
    if (count == 0)
        return;
    const int index = selectedSong();
    if (index == -1) {
        selectSong(0);
        return;
    }
    if (index == count - 1)
        return;
    swapSongs(index, index + 1);
    selectSong(index + 1);
}

void TAlarmOptions::PlayMusicClick()
{
    SongList->setFocus();
    const int index = selectedSong();
    if (index == -1)
        return;
    const QTreeWidgetItem* item = SongList->topLevelItem(index);
    preview(PlayListEntry{item->text(0), item->text(1)}.path());
}

void TAlarmOptions::PlaySoundClick()
{
    preview(BuiltInSoundPath(m_parts.programFolder, SoundComboBox->currentIndex()));
}

void TAlarmOptions::TryAlarmClick()
{
    // The settings as they stand, not as saved: nothing is written.
    if (m_parts.tryAlarm)
        m_parts.tryAlarm(settingsFromControls());
}

void TAlarmOptions::preview(const QString& path)
{
    // The preview player says nothing about a file it cannot play: it simply does not open.
    if (TFormPlay* player = m_parts.previewPlayer)
        player->PreviewFile(path);
}
