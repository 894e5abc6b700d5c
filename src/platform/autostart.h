#pragma once

#include <utility>

#include <QString>
#include <QStringList>

/// Starting the program with the desktop session.
class Autostart {
public:
    virtual ~Autostart() = default;
    /// Turns start-with-the-desktop on for `programPath`, or off. A place that cannot be written
    /// is left as it is, and nothing is reported.
    virtual void setEnabled(bool enabled, const QString& programPath) = 0;
};

/// An XDG autostart entry "Belvane.desktop" in $XDG_CONFIG_HOME/autostart (~/.config/autostart when
/// unset). Turning it off keeps the entry, marked Hidden=true. The entry starts the program with the
/// options this run was started with (the data folder, the interface language), so the login starts
/// the clock the user started; a start with other options rewrites it.
class XdgAutostart final : public Autostart {
public:
    explicit XdgAutostart(QStringList arguments = {}) : m_arguments(std::move(arguments)) {}
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
