#include "platform/date_time_format.h"

#include <QLocale>

namespace {

QString pad(int value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

// How many times `c` repeats at `i`, case-insensitively.
int runLength(const QString& pattern, int i, QChar c)
{
    int n = 0;
    while (i + n < pattern.size() && pattern[i + n].toLower() == c)
        ++n;
    return n;
}

// First character of a Qt pattern that is not a letter or a quote: the separator it uses.
QString separatorOf(const QString& qtPattern, const QString& fallback)
{
    for (QChar c : qtPattern)
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace())
            return QString(c);
    return fallback;
}

// Turns a Qt date or time pattern into this program's tokens: Qt's "M" is the month and "m" the
// minute, "H" the 24-hour clock and "AP" the designator; time zones and milliseconds are dropped.
QString fromQtPattern(const QString& qt)
{
    QString out;
    for (int i = 0; i < qt.size(); ++i) {
        const QChar c = qt[i];
        switch (c.unicode()) {
        case 'M': out += QLatin1Char('m'); break;
        case 'm': out += QLatin1Char('n'); break;
        case 'H': out += QLatin1Char('h'); break;
        case 'A':
        case 'a':
            // Qt's "AP" is the locale's own designator.
            if (i + 1 < qt.size() && qt[i + 1].toLower() == QLatin1Char('p'))
                ++i;
            out += QStringLiteral("AMPM");
            break;
        case 't':
        case 'z': break;
        case '\'':
            out += QLatin1Char('"');
            break;
        default: out += c; break;
        }
    }
    return out.trimmed();
}

} // namespace

DateTimeLocale DateTimeLocale::neutral()
{
    DateTimeLocale l;
    l.fillNames(QLocale::c());
    return l;
}

DateTimeLocale DateTimeLocale::system()
{
    const QLocale sys = QLocale::system();
    DateTimeLocale l;
    l.timeSeparator = separatorOf(sys.timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
    l.dateSeparator = separatorOf(sys.dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
    l.amDesignator = sys.amText();
    l.pmDesignator = sys.pmText();
    l.shortDateFormat = fromQtPattern(sys.dateFormat(QLocale::ShortFormat));
    l.longTimeFormat = fromQtPattern(sys.timeFormat(QLocale::LongFormat));
    l.fillNames(sys);
    return l;
}

void DateTimeLocale::fillNames(const QLocale& locale)
{
    for (int d = 0; d < 7; ++d) {
        shortDayNames[d] = locale.dayName(d == 0 ? 7 : d, QLocale::ShortFormat);
        longDayNames[d] = locale.dayName(d == 0 ? 7 : d, QLocale::LongFormat);
    }
    for (int m = 1; m <= 12; ++m) {
        shortMonthNames[m - 1] = locale.monthName(m, QLocale::ShortFormat);
        longMonthNames[m - 1] = locale.monthName(m, QLocale::LongFormat);
    }
}

QString formatDateTime(const QString& pattern, const QDateTime& value, const DateTimeLocale& locale)
{
    const QDate date = value.date();
    const QTime time = value.time();
    const bool twelveHour = pattern.contains(QStringLiteral("AM/PM"), Qt::CaseInsensitive) ||
                            pattern.contains(QStringLiteral("AMPM"), Qt::CaseInsensitive);
    QString out;
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        const QChar lower = c.toLower();
        if (pattern.mid(i, 5).compare(QStringLiteral("AM/PM"), Qt::CaseInsensitive) == 0) {
            // The pattern's own "AM" or "PM", in its letter case: files and lists read the same anywhere.
            out += time.hour() < 12 ? pattern.mid(i, 2) : pattern.mid(i + 3, 2);
            i += 5;
        } else if (pattern.mid(i, 4).compare(QStringLiteral("AMPM"), Qt::CaseInsensitive) == 0) {
            out += time.hour() < 12 ? locale.amDesignator : locale.pmDesignator;
            i += 4;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int end = pattern.indexOf(c, i + 1);
            const int stop = end < 0 ? int(pattern.size()) : end;
            out += pattern.mid(i + 1, stop - i - 1);
            i = stop + 1;
        } else if (lower == QLatin1Char('d') || lower == QLatin1Char('m') || lower == QLatin1Char('y') ||
                   lower == QLatin1Char('h') || lower == QLatin1Char('n') || lower == QLatin1Char('s')) {
            const int n = runLength(pattern, i, lower);
            i += n;
            switch (lower.unicode()) {
            case 'd':
                if (n >= 5)
                    out += formatShortDate(date, locale);
                else if (n == 4)
                    out += locale.longDayNames[date.dayOfWeek() % 7];
                else if (n == 3)
                    out += locale.shortDayNames[date.dayOfWeek() % 7];
                else
                    out += pad(date.day(), n);
                break;
            case 'm':
                if (n >= 4)
                    out += locale.longMonthNames[date.month() - 1];
                else if (n == 3)
                    out += locale.shortMonthNames[date.month() - 1];
                else
                    out += pad(date.month(), n);
                break;
            case 'y':
                out += n <= 2 ? pad(date.year() % 100, 2) : pad(date.year(), 4);
                break;
            case 'h': {
                int hour = time.hour();
                if (twelveHour)
                    hour = hour % 12 == 0 ? 12 : hour % 12;
                out += pad(hour, qMin(n, 2));
                break;
            }
            case 'n':
                out += pad(time.minute(), qMin(n, 2));
                break;
            default:
                out += pad(time.second(), qMin(n, 2));
                break;
            }
        } else if (c == QLatin1Char(':')) {
            out += locale.timeSeparator;
            ++i;
        } else if (c == QLatin1Char('/')) {
            out += locale.dateSeparator;
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString formatShortDate(const QDate& date, const DateTimeLocale& locale)
{
    return formatDateTime(locale.shortDateFormat, QDateTime(date, QTime(0, 0)), locale);
}
