#pragma once

#include <array>

#include <QDateTime>
#include <QLocale>
#include <QString>

/// What the user's locale says about writing dates and times.
struct DateTimeLocale {
    QString timeSeparator = QStringLiteral(":");
    QString dateSeparator = QStringLiteral("/");
    QString amDesignator = QStringLiteral("AM");
    QString pmDesignator = QStringLiteral("PM");
    /// Pattern in the tokens of formatDateTime, e.g. "yyyy/m/d".
    QString shortDateFormat = QStringLiteral("yyyy/m/d");
    /// Pattern in the tokens of formatDateTime, e.g. "hh:nn:ss".
    QString longTimeFormat = QStringLiteral("hh:nn:ss");
    std::array<QString, 7> shortDayNames;    // Sunday first
    std::array<QString, 7> longDayNames;     // Sunday first
    std::array<QString, 12> shortMonthNames; // January first
    std::array<QString, 12> longMonthNames;  // January first

    /// English names and the separators above: the same result on every machine, for tests.
    static DateTimeLocale neutral();
    /// The system locale (QLocale::system()).
    static DateTimeLocale system();
    /// Takes the day and month names of a locale.
    void fillNames(const QLocale& locale);
};

/// Formats a date and time with the program's pattern tokens, those of FormatDateTime:
///  "d" "dd" day, "ddd" short and "dddd" long day name, "ddddd" the locale's short date;
///  "m" "mm" month, "mmm" short and "mmmm" long month name;  "yy" "yyyy" year;
///  "h" "hh" hour, on the 12-hour clock (0 and 12 both 12) when the pattern holds "AM/PM" or "AMPM";
///  "n" "nn" minute;  "s" "ss" second;
///  "AM/PM" the literal "AM" or "PM" in the pattern's own letter case, whatever the locale;
///  "AMPM" the locale's designator;
///  ":" and "/" the locale's time and date separators; text in quotes is copied as it is.
QString formatDateTime(const QString& pattern, const QDateTime& value, const DateTimeLocale& locale);

/// The date in the locale's short date form.
QString formatShortDate(const QDate& date, const DateTimeLocale& locale);
