#pragma once

#include <utility>

#include <QString>
#include <QStringList>

/// Starting the program with the desktop session.
class Autostart {
public:
    virtual ~Autostart() = default;
    /// Whether the desktop starts the program at login now.
    virtual bool isEnabled() const = 0;
    /// Turns start-with-the-desktop on for `programPath`, or off. Only the user's confirmed choice
    /// calls this: a start of the program never does. A place that cannot be written is left as it
    /// is, and nothing is reported.
    virtual void setEnabled(bool enabled, const QString& programPath) = 0;
};

/// An XDG autostart entry "Belvane.desktop" in $XDG_CONFIG_HOME/autostart (~/.config/autostart when
/// unset). Turning it off removes the entry. The entry starts the program with the options of the run
/// in which the user turned it on (the data folder, the interface language), so the login starts the
/// clock the user set up; a later start with other options leaves it as it is.
class XdgAutostart final : public Autostart {
public:
    explicit XdgAutostart(QStringList arguments = {}) : m_arguments(std::move(arguments)) {}
    /// An entry is there and not turned off (Hidden=true, or GNOME's own key false).
    bool isEnabled() const override;
    void setEnabled(bool enabled, const QString& programPath) override;

    /// Where the entry lives for the current environment.
    static QString entryPath();
    /// The entry's text.
    static QByteArray entryText(bool enabled, const QString& programPath, const QStringList& arguments = {});
    /// A program path or an argument as one argument of a desktop entry's Exec key.
    static QString execArgument(const QString& programPath);

private:
    QStringList m_arguments;
};
