#pragma once

#include <QString>

/// Starting the program with the desktop session.
class Autostart {
public:
    virtual ~Autostart() = default;
    /// Turns start-with-the-desktop on for `programPath`, or off. A place that cannot be written
    /// is left as it is, and nothing is reported.
    virtual void setEnabled(bool enabled, const QString& programPath) = 0;
};

/// An XDG autostart entry "Belvane.desktop" in $XDG_CONFIG_HOME/autostart (~/.config/autostart when
/// unset). Turning it off keeps the entry, marked Hidden=true.
class XdgAutostart final : public Autostart {
public:
    void setEnabled(bool enabled, const QString& programPath) override;

    /// Where the entry lives for the current environment.
    static QString entryPath();
    /// The entry's text.
    static QByteArray entryText(bool enabled, const QString& programPath);
    /// A program path as one argument of a desktop entry's Exec key.
    static QString execArgument(const QString& programPath);
};
