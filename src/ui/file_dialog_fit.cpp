#include "ui/file_dialog_fit.h"

#include <algorithm>

#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLayout>
#include <QListView>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>

namespace {

/// Room kept beside a side panel's longest place, so that it does not touch the panel's edge.
constexpr int kPlaceMargin = 8;

void fitNow(QFileDialog& dialog)
{
    auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
    if (!tree || !places || !splitter || splitter->count() != 2)
        return;
    QHeaderView* header = tree->header();
    const QAbstractItemView* view = tree; // a tree view keeps its column widths to itself
    int columns = 0;
    for (int i = 0; i < header->count(); ++i) {
        if (header->isSectionHidden(i))
            continue;
        const int need =
            std::max({header->sectionSize(i), header->sectionSizeHint(i), view->sizeHintForColumn(i)});
        header->resizeSection(i, need);
        columns += need;
    }
    const int scrollBar = tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree);
    const int treeNeed = columns + 2 * tree->frameWidth() + scrollBar;
    const int placesNeed = static_cast<const QAbstractItemView*>(places)->sizeHintForColumn(0) +
                           2 * places->frameWidth() + scrollBar + kPlaceMargin;
    const QList<int> before = splitter->sizes();
    const int placesGrow = std::max(0, placesNeed - before[0]);
    const int treeGrow = std::max(0, treeNeed - tree->width());
    if (placesGrow + treeGrow == 0)
        return;
    const QRect screen = dialog.screen()->availableGeometry();
    const int width = std::min(dialog.width() + placesGrow + treeGrow, screen.width());
    dialog.resize(width, dialog.height());
    if (dialog.layout())
        dialog.layout()->activate();
    // The side panel takes what it needs, the folder's columns the rest.
    const QList<int> after = splitter->sizes();
    const int total = after[0] + after[1];
    const int placesWidth = std::min(before[0] + placesGrow, total / 2);
    splitter->setSizes({placesWidth, total - placesWidth});
    // Kept on the screen when it grew past its right edge.
    const QRect frame = dialog.frameGeometry();
    if (frame.right() > screen.right())
        dialog.move(std::max(screen.left(), dialog.x() - (frame.right() - screen.right())), dialog.y());
}

/// Fits its dialog each time it is shown, and again whenever a folder has been read.
class FileDialogFitter : public QObject {
public:
    explicit FileDialogFitter(QFileDialog& dialog) : QObject(&dialog), m_dialog(dialog)
    {
        dialog.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &m_dialog || event->type() != QEvent::Show)
            return false;
        // Sizes and types come in as the folder is read, on a thread of the model's own; each folder
        // the user opens is fitted again once it is read.
        auto* model = m_dialog.findChild<QFileSystemModel*>();
        if (model && !m_watching) {
            m_watching = true;
            connect(model, &QFileSystemModel::directoryLoaded, this,
                    [this] { QTimer::singleShot(0, this, [this] { fitNow(m_dialog); }); });
        }
        fitNow(m_dialog);
        return false;
    }

private:
    QFileDialog& m_dialog;
    bool m_watching = false;
};

} // namespace

void fitFileDialog(QFileDialog& dialog)
{
    new FileDialogFitter(dialog);
}
