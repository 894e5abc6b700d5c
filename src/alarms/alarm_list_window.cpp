#include "alarms/alarm_list_window.h"

#include <array>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include "alarms/alarm_editor.h"
#include "platform/clock.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"
#include "ui/error_report.h"
#include "ui/services.h"
#include "ui/window_centring.h"
#include <QCoreApplication>

namespace {

const QString kWorkingFile = QStringLiteral("alarm.ini");
constexpr int kClientWidth = 401;
constexpr int kClientHeight = 296;
constexpr int kListWidth = 385;
constexpr int kNextRingColumn = 4;

/// Only the caption column can be edited in place; the other columns are made by the editor. No edit
/// box opens while `refused` says so: the first click of a double click on a selected row asks for
/// one that would otherwise open over the list while the alarm editor is up.
class CaptionOnlyDelegate : public QStyledItemDelegate {
public:
    CaptionOnlyDelegate(std::function<bool()> refused, QObject* parent)
        : QStyledItemDelegate(parent), m_refused(std::move(refused))
    {
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        if (index.column() != 0 || m_refused())
            return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

private:
    std::function<bool()> m_refused;
};

/// The index of a frequency text as "al.ini" stores it, or -1 for one the program does not know.
int knownFrequency(const QByteArray& stored)
{
    for (int i = 0; i < kFrequencyCount; ++i)
        if (frequencyBytes(i) == stored)
            return i;
    return -1;
}

QPushButton* makeButton(QWidget* parent, const char* name, int x)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(x, 264, 73, 25);
    return button;
}

} // namespace

TFormAlarmList::TFormAlarmList(Services& services, AlarmListStore& store, const AppFolders& folders,
                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_services(services), m_programFolder(folders.program), m_dataFolder(folders.data), m_store(store),
      m_locale(DateTimeLocale::system())
{
    setObjectName(QStringLiteral("FormAlarmList"));
    setWindowTitle(QStringLiteral("Belvane"));
    QFont font(QStringLiteral("宋体"), 9);
    setFont(font);
    setFixedSize(kClientWidth, kClientHeight);

    AlarmList = new QTreeWidget(this);
    AlarmList->setObjectName(QStringLiteral("AlarmList"));
    AlarmList->setGeometry(8, 8, kListWidth, 248);
    AlarmList->setColumnCount(5);
    for (auto [column, width] : {std::pair{0, 155}, {1, 65}, {2, 80}, {3, 80}})
        AlarmList->header()->resizeSection(column, width);
    AlarmList->setRootIsDecorated(false);
    AlarmList->setSelectionBehavior(QAbstractItemView::SelectRows);
    AlarmList->setSelectionMode(QAbstractItemView::SingleSelection);
    AlarmList->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    AlarmList->setItemDelegate(new CaptionOnlyDelegate(
        [this] { return m_inDoubleClick || !m_inPlaceEditRefused.hasExpired(); }, AlarmList));
    AlarmList->setContextMenuPolicy(Qt::NoContextMenu); // the window's menu serves the list too

    ButtonAdd = makeButton(this, "ButtonAdd", 8);
    buttonEdit = makeButton(this, "buttonEdit", 86);
    ButtonDelete = makeButton(this, "ButtonDelete", 164);
    Button2 = makeButton(this, "Button2", 242);
    ButtonClose = makeButton(this, "ButtonClose", 320);
    ButtonAdd->setAutoDefault(false);

    Frequency = new QComboBox(this);
    Frequency->setObjectName(QStringLiteral("Frequency"));
    for (int i = 0; i < kFrequencyCount; ++i)
        Frequency->addItem(frequencyText(i));
    Frequency->hide();

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    Showmainscreen = PopupMenu->addAction(QString());
    Showmainscreen->setObjectName(QStringLiteral("Showmainscreen"));
    PopupMenu->addSeparator();
    QAction* about = m_menuAbout = PopupMenu->addAction(QString());
    QAction* help = m_menuHelp = PopupMenu->addAction(QString());
    PopupMenu->addSeparator();
    MenuExit = PopupMenu->addAction(QString());
    MenuExit->setObjectName(QStringLiteral("MenuExit"));
    retranslate();
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(mapToGlobal(at)); });

    auto handler = [this](void (TFormAlarmList::*method)()) {
        return [this, method] { guarded([this, method] { (this->*method)(); }); };
    };
    connect(ButtonAdd, &QPushButton::clicked, this, handler(&TFormAlarmList::ButtonAddClick));
    connect(buttonEdit, &QPushButton::clicked, this, handler(&TFormAlarmList::buttonEditClick));
    connect(ButtonDelete, &QPushButton::clicked, this, handler(&TFormAlarmList::ButtonDeleteClick));
    connect(ButtonClose, &QPushButton::clicked, this, handler(&TFormAlarmList::ButtonCloseClick));
    connect(Button2, &QPushButton::clicked, this, &TFormAlarmList::optionsRequested);
    connect(AlarmList, &QTreeWidget::itemDoubleClicked, this, handler(&TFormAlarmList::AlarmListDblClick));
    connect(AlarmList, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        guarded([&] { captionEdited(item, column); });
        guarded([&] { switchClicked(item, column); });
    });
    connect(Showmainscreen, &QAction::triggered, this, handler(&TFormAlarmList::ShowmainscreenClick));
    connect(about, &QAction::triggered, this, &TFormAlarmList::aboutRequested);
    connect(help, &QAction::triggered, this, &TFormAlarmList::helpRequested);
    connect(MenuExit, &QAction::triggered, this, &QDialog::reject);
    // The menu's letters also work with Alt from the window itself, as mnemonics do.
    for (QAction* entry : {Showmainscreen, about, help, MenuExit}) {
        const int amp = int(entry->text().indexOf(QLatin1Char('&')));
        entry->setShortcut(QKeySequence(QStringLiteral("Alt+") + entry->text().mid(amp + 1, 1)));
        entry->setShortcutVisibleInContextMenu(false);
        addAction(entry);
    }

    // A view of the store: whoever changed it (this window, a command, D-Bus), the rows show it.
    connect(&m_store, &AlarmListStore::changed, this, [this] {
        showRows();
        emit rowsChanged();
    });

    centreOnScreenWithFrame(*this);
}

TFormAlarmList::~TFormAlarmList() = default;

void TFormAlarmList::FormCreate()
{
    m_fillingList = true;
    AlarmList->clear();
    for (int i = 0; i < m_store.rows.size(); ++i)
        showRow(i);
    m_fillingList = false;
    fitColumns();
}

void TFormAlarmList::showRows()
{
    const bool filling = std::exchange(m_fillingList, true);
    for (int i = 0; i < m_store.rows.size(); ++i)
        showRow(i);
    while (AlarmList->topLevelItemCount() > m_store.rows.size())
        delete AlarmList->takeTopLevelItem(AlarmList->topLevelItemCount() - 1);
    m_fillingList = filling;
    fitColumns();
}

void TFormAlarmList::retranslate()
{
    AlarmList->setHeaderLabels({tr("闹钟"), tr("频率"), tr("时间"), tr("日期"), tr("下次响铃")});
    ButtonAdd->setText(tr("添加"));
    buttonEdit->setText(tr("编辑"));
    ButtonDelete->setText(tr("删除"));
    Button2->setText(tr("选项"));
    ButtonClose->setText(tr("关闭"));
    Showmainscreen->setText(tr("隐藏(&R)"));
    m_menuAbout->setText(tr("关于(&B)"));
    m_menuHelp->setText(tr("帮助(&H)"));
    MenuExit->setText(tr("退出(&X)"));
}

void TFormAlarmList::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        FormCreate(); // the rows' frequencies and next rings, and the columns fitted to them
    }
    QDialog::changeEvent(event);
}

void TFormAlarmList::saveRows()
{
    const auto tellScheduler = qScopeGuard([this] { emit rowsChanged(); });
    m_store.save();
}

void TFormAlarmList::fitColumns()
{
    // The designed widths, widened just enough where a text of a column would be cut; the caption
    // column keeps its width (a long reminder line is elided), the window grows by what the others
    // gain. The next-ring column came later: the window grows by all of it, and it is wide enough
    // for its longest text from the start, so the window does not change size as the texts do.
    constexpr std::array<int, 5> kDesigned{155, 65, 80, 80, 0};
    const QFontMetrics metrics(AlarmList->font());
    // Room the view gives a cell besides its text: the item margins on both sides and a little air.
    const int padding =
        2 * (AlarmList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, AlarmList) + 1) + 6;
    QStringList texts[5];
    for (int i = 0; i < kFrequencyCount; ++i)
        texts[1] << frequencyCaption(i);
    texts[kNextRingColumn] << QStringLiteral("2027年12月24日 07:00");
    for (int row = 0; row < AlarmList->topLevelItemCount(); ++row)
        for (int c = 1; c < 5; ++c)
            texts[c] << AlarmList->topLevelItem(row)->text(c);
    int gained = 0;
    for (int c = 0; c < 5; ++c) {
        int width = std::max(kDesigned[c], AlarmList->header()->sectionSizeHint(c));
        for (const QString& text : texts[c])
            width = std::max(width, metrics.horizontalAdvance(text) + padding);
        AlarmList->header()->resizeSection(c, width);
        gained += width - kDesigned[c];
    }
    setFixedSize(kClientWidth + gained, kClientHeight);
    AlarmList->resize(kListWidth + gained, AlarmList->height());
}

void TFormAlarmList::showRow(int row)
{
    const bool filling = m_fillingList;
    m_fillingList = true;
    QTreeWidgetItem* item = AlarmList->topLevelItem(row);
    if (!item) {
        item = new QTreeWidgetItem(AlarmList);
        item->setFlags(item->flags() | Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
    }
    const AlarmEntry& e = m_store.rows[row];
    item->setCheckState(0, m_store.off.isOff(e) ? Qt::Unchecked : Qt::Checked);
    item->setText(0, decodeText(e.caption));
    // A frequency the program knows reads in the interface's language; the file keeps its own text.
    const int frequency = knownFrequency(e.frequencyText);
    item->setText(1, frequency >= 0 ? frequencyCaption(frequency) : decodeText(e.frequencyText));
    item->setText(2, decodeText(e.timeDisplay));
    item->setText(3, decodeText(e.dateDisplay));
    showNextRing(item, row);
    m_fillingList = filling;
}

void TFormAlarmList::showNextRing(QTreeWidgetItem* item, int row)
{
    const QString text = nextRingOf ? nextRingOf(row) : QString();
    item->setText(kNextRingColumn, text);
    // An alarm that will not ring again is shown greyed.
    const bool rings = !text.isEmpty() && text != QStringLiteral("—");
    item->setForeground(kNextRingColumn,
                        palette().brush(rings ? QPalette::Active : QPalette::Disabled, QPalette::Text));
}

void TFormAlarmList::showNextRings()
{
    const bool filling = std::exchange(m_fillingList, true);
    for (int row = 0; row < AlarmList->topLevelItemCount(); ++row)
        showNextRing(AlarmList->topLevelItem(row), row);
    m_fillingList = filling;
}

int TFormAlarmList::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = AlarmList->selectedItems();
    return selected.isEmpty() ? -1 : AlarmList->indexOfTopLevelItem(selected.first());
}

std::optional<EditedAlarmInfo> TFormAlarmList::runEditor(bool isNew, const AlarmEntry* rowWithoutFile,
                                                         const QString& missingFile)
{
    TAlarmOptions editor({m_services, m_programFolder, m_dataFolder, m_previewPlayer, tryAlarm},
                         isNew ? AlarmEditorStart::NewAlarm : AlarmEditorStart::WorkingFile, this);
    if (rowWithoutFile)
        editor.startFromRow(*rowWithoutFile, missingFile);
    if (editor.exec() != QDialog::Accepted)
        return std::nullopt;
    return editor.editedAlarm();
}

void TFormAlarmList::ButtonAddClick()
{
    m_store.ensureWritable();
    const auto full = [this] {
        reportError(tr("已有 %1 个闹钟，不能再添加。请先删除不再需要的闹钟。").arg(kAlarmNumberCount));
    };
    if (!m_store.allocateNumber())
        return full();
    if (const std::optional<EditedAlarmInfo> edited = runEditor(true)) {
        // Taken now, not before the editor: a command may have added an alarm while it was open.
        const std::optional<int> number = m_store.allocateNumber();
        if (!number)
            return full();
        // The row and its own settings file are written as one change.
        m_store.addAlarm(makeAlarmEntry(*edited, *number, RowOrigin::Add, m_locale),
                         readWholeFile(m_dataFolder + kWorkingFile));
        return;
    }
    saveRows();
}

void TFormAlarmList::buttonEditClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_store.ensureWritable();
    const int number = toInt(m_store.rows[row].alarmNumber);
    // A stale "alarm.ini" would show another alarm's settings if this alarm's own file were missing.
    QFile::remove(m_dataFolder + kWorkingFile);
    const QString own = m_dataFolder + SettingsFileName(number);
    const bool ownFileMissing = !QFile::exists(own);
    if (!ownFileMissing)
        copyFileReplacing(own, m_dataFolder + kWorkingFile);
    m_store.used.mark(number);
    // Without its own file the alarm keeps what its row knows (frequency, time, date, weekdays).
    const AlarmEntry rowBefore = m_store.rows[row];
    const std::optional<EditedAlarmInfo> edited =
        runEditor(false, ownFileMissing ? &rowBefore : nullptr, own);
    // Found again by its number: a command may have removed or added alarms while the editor was open.
    const qsizetype now = m_store.indexOfNumber(number);
    if (edited && now >= 0) {
        m_store.replaceRow(now, makeAlarmEntry(*edited, number, RowOrigin::Edit, m_locale),
                           readWholeFile(m_dataFolder + kWorkingFile));
        return;
    }
    saveRows();
}

void TFormAlarmList::AlarmListDblClick()
{
    // A double click opens the editor only; in-place editing is for a slow second click or F2.
    m_inDoubleClick = true;
    const auto done = qScopeGuard([this] {
        m_inDoubleClick = false;
        m_inPlaceEditRefused = QDeadlineTimer(QApplication::doubleClickInterval());
    });
    buttonEditClick();
    if (AlarmList->selectedItems().isEmpty() && AlarmList->topLevelItemCount() > 0)
        AlarmList->setCurrentItem(AlarmList->topLevelItem(AlarmList->topLevelItemCount() - 1));
    AlarmList->setFocus();
}

void TFormAlarmList::ButtonDeleteClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    toInt(m_store.rows[row].alarmNumber); // a number that does not convert changes nothing
    m_store.removeAlarm(row);
}

void TFormAlarmList::ButtonCloseClick()
{
    // A damaged list the user has not yet seen reported stays as it is on disk; the window still closes.
    if (m_store.writable())
        saveRows();
    done(QDialog::Accepted);
}

void TFormAlarmList::ShowmainscreenClick()
{
    // Hiding also ends a modal run, so the clock window is never left waiting on a hidden list.
    if (isVisible())
        done(QDialog::Rejected);
    else
        show();
    Showmainscreen->setText(isVisible() ? tr("Hide") : tr("Restore"));
}

void TFormAlarmList::captionEdited(QTreeWidgetItem* item, int column)
{
    const int row = AlarmList->indexOfTopLevelItem(item);
    if (m_fillingList || column != 0 || row < 0 || row >= m_store.rows.size())
        return;
    const QByteArray caption = encodeText(item->text(0));
    if (caption == m_store.rows[row].caption)
        return;
    // Saved at once rather than with the next change, so a renamed alarm survives the program's end.
    m_store.setCaption(row, caption);
}

void TFormAlarmList::switchClicked(QTreeWidgetItem* item, int column)
{
    const int row = AlarmList->indexOfTopLevelItem(item);
    if (m_fillingList || column != 0 || row < 0 || row >= m_store.rows.size())
        return;
    const bool off = item->checkState(0) == Qt::Unchecked;
    const AlarmEntry& entry = m_store.rows[row];
    if (off == m_store.off.isOff(entry))
        return;
    // Shown as stored whatever happens, so a failed write never leaves a box that lies.
    const auto showStored = qScopeGuard([this, row] { showRow(row); });
    m_store.setOff(toInt(entry.alarmNumber), off);
}

void TFormAlarmList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        emit helpRequested();
        return;
    }
    if (event->key() == Qt::Key_Escape)
        return; // the list has no cancel button: Esc does not close it
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        PopupMenu->popup(mapToGlobal(rect().center()));
        return;
    }
    QDialog::keyPressEvent(event);
}
