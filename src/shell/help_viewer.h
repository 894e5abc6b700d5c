#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

/// The program's help window: the help book in a browser that follows the book's own links and
/// hands every other link to the desktop.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    /// Shows a page of the book; its folder is the book from then on.
    void openTopic(const QUrl& page);
    QTextBrowser* browser() const { return m_browser; }

protected:
    void changeEvent(QEvent* event) override;

private:
    /// Sets every text of the window in the interface's language.
    void retranslate();
    void followLink(const QUrl& link);
    void pageChanged();

    QTextBrowser* m_browser;
    QToolButton* m_back;
    QToolButton* m_forward;
    QToolButton* m_home;
    QUrl m_topic;
    QString m_bookFolder;
};

/// Opens the help topic (a page file, normally `helpTopicPath(programFolder())`) in the help
/// viewer and brings the viewer to the front. The viewer is created at the first call and reused by
/// every later one. A missing or unreadable page raises an IoError naming it.
HelpViewer* ShowHelp(QWidget* owner, const QString& topicPath);

/// The help viewer, or none before the first ShowHelp.
HelpViewer* helpViewer();
