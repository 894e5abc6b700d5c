#include "shell/help_viewer.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/errors.h"
#include "shell/help_book.h"
#include "ui/window_centring.h"
#include "ui/window_stacking.h"

namespace {

QPointer<HelpViewer>& theViewer()
{
    static QPointer<HelpViewer> viewer;
    return viewer;
}

void deleteViewer()
{
    delete theViewer().data();
}

QToolButton* toolButton(const QString& name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

HelpViewer::HelpViewer(QWidget* parent)
    // A dialog-kind window, so the window manager keeps it over the window it was opened from; it
    // keeps the boxes of a main window.
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_browser(new QTextBrowser(this)), m_back(toolButton(QStringLiteral("ButtonBack"), this)),
      m_forward(toolButton(QStringLiteral("ButtonForward"), this)),
      m_home(toolButton(QStringLiteral("ButtonHome"), this))
{
    setObjectName(QStringLiteral("HelpViewer"));
    retranslate();
    resize(780, 580);

    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    // Links are sorted here: the book's pages stay in the viewer, the rest go to the desktop.
    m_browser->setOpenLinks(false);
    QFont font = m_browser->font();
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC")});
    font.setPixelSize(15);
    m_browser->setFont(font);
    m_browser->document()->setDocumentMargin(12);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 0);
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(m_home);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QToolButton::clicked, this, [this] { m_browser->setSource(m_topic); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpViewer::followLink);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpViewer::pageChanged);
}

void HelpViewer::openTopic(const QUrl& page)
{
    m_topic = page;
    m_bookFolder = QFileInfo(page.toLocalFile()).absolutePath();
    m_browser->setSource(page);
}

void HelpViewer::followLink(const QUrl& link)
{
    const QUrl target = m_browser->source().resolved(link);
    if (helpLinkTarget(target, m_bookFolder) == HelpLinkTarget::Book)
        m_browser->setSource(target);
    else
        QDesktopServices::openUrl(target);
}

void HelpViewer::retranslate()
{
    m_back->setText(tr("后退"));
    m_forward->setText(tr("前进"));
    m_home->setText(tr("目录"));
    pageChanged();
}

void HelpViewer::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void HelpViewer::pageChanged()
{
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() ? tr("Belvane 帮助") : title);
}

HelpViewer* ShowHelp(QWidget* owner, const QString& topicPath)
{
    const QFileInfo page(topicPath);
    if (!page.isFile())
        throw IoError(HelpViewer::tr("找不到帮助文件\"%1\"。").arg(QDir::toNativeSeparators(topicPath)));
    QFile probe(page.absoluteFilePath());
    if (!probe.open(QIODevice::ReadOnly))
        throw IoError(HelpViewer::tr("无法打开帮助文件\"%1\"：%2")
                          .arg(QDir::toNativeSeparators(topicPath), probe.errorString()));
    probe.close();

    QPointer<HelpViewer>& viewer = theViewer();
    if (!viewer) {
        // One viewer for the whole run, shared by every window that asks for help; deleted while
        // the application object still exists.
        viewer = new HelpViewer;
        static const bool cleanupRegistered = [] {
            qAddPostRoutine(deleteViewer);
            return true;
        }();
        Q_UNUSED(cleanupRegistered);
        // Centred on the screen; the clock face is too small to centre on.
        centreOnScreenWithFrame(*viewer);
        Q_UNUSED(owner);
    }
    viewer->openTopic(QUrl::fromLocalFile(page.absoluteFilePath()));
    showWithoutWaiting(*viewer);
    return viewer;
}

HelpViewer* helpViewer()
{
    return theViewer();
}
