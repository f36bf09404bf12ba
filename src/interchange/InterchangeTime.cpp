#include "InterchangeTime.h"

#include "JotterlyError.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>

#include <cstdlib>

namespace {

constexpr qint64 kSecondsPerDay = 86400;

[[noreturn]] void malformed(const QString &text, const char *why)
{
    throw JotterlyError(QStringLiteral("'%1' is not a valid date and time: %2").arg(text, QLatin1String(why)));
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The number of the `count` characters at `pos`, which must all be digits.
bool readDigits(QStringView text, qsizetype pos, qsizetype count, int &value)
{
    if (pos < 0 || pos + count > text.size())
        return false;
    value = 0;
    for (qsizetype i = pos; i < pos + count; ++i) {
        if (!isDigit(text[i]))
            return false;
        value = value * 10 + (text[i].unicode() - u'0');
    }
    return true;
}

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

QDate parseDate(const QString &whole, QStringView text)
{
    qsizetype pos = 0;
    const bool negative = !text.isEmpty() && text[0] == u'-';
    if (negative)
        ++pos;
    qsizetype yearDigits = 0;
    while (pos + yearDigits < text.size() && isDigit(text[pos + yearDigits]))
        ++yearDigits;
    if (yearDigits < 4)
        malformed(whole, "the year needs four digits");
    if (yearDigits > 9)
        malformed(whole, "the year is out of range");
    int year = 0, month = 0, day = 0;
    readDigits(text, pos, yearDigits, year);
    pos += yearDigits;
    if (pos >= text.size() || text[pos] != u'-' || !readDigits(text, pos + 1, 2, month))
        malformed(whole, "the month needs two digits");
    pos += 3;
    if (pos >= text.size() || text[pos] != u'-' || !readDigits(text, pos + 1, 2, day))
        malformed(whole, "the day needs two digits");
    pos += 3;
    if (pos != text.size())
        malformed(whole, "unexpected text after the date");
    const QDate date(negative ? -year : year, month, day);
    if (!date.isValid())
        malformed(whole, "the date does not exist");
    return date;
}

} // namespace

int CurrentUtcBias()
{
    const QTimeZone zone = QTimeZone::systemTimeZone();
    if (!zone.isValid())
        return 0;
    return -zone.offsetFromUtc(QDateTime::currentDateTimeUtc()) / 60;
}

QString FormatInterchangeTime(TDateTime local, int utcBias)
{
    QDate date;
    QTime time;
    OleDateTime::decode(local, date, time);
    const int year = date.year();
    QString text = QString::asprintf("%s%04d-%02d-%02dT%02d:%02d:%02d.000", year < 0 ? "-" : "", std::abs(year),
                                     date.month(), date.day(), time.hour(), time.minute(), time.second());
    if (utcBias == 0) {
        text += QLatin1Char('Z');
    } else {
        const int minutes = std::abs(utcBias);
        text += QString::asprintf("%c%02d:%02d", utcBias > 0 ? '-' : '+', minutes / 60, minutes % 60);
    }
    return text;
}

QString FormatInterchangeTime(TDateTime local)
{
    return FormatInterchangeTime(local, CurrentUtcBias());
}

TDateTime ParseInterchangeTime(const QString &text, int utcBias)
{
    const qsizetype separator = text.indexOf(u'T');
    const QStringView all(text);
    const QDate date = parseDate(text, separator < 0 ? all : all.left(separator));

    int hour = 0, minute = 0, second = 0, offsetMinutes = 0;
    if (separator >= 0) {
        const QStringView time = all.mid(separator + 1);
        if (time.size() < 8)
            malformed(text, "the time needs hours, minutes and seconds");
        if (!readDigits(time, 0, 2, hour) || !readDigits(time, 3, 2, minute) || !readDigits(time, 6, 2, second))
            malformed(text, "the time needs two digits each for hours, minutes and seconds");
        if (hour > 23 || minute > 59 || second > 59)
            malformed(text, "the time of day does not exist");
        qsizetype pos = 8;
        if (pos + 1 < time.size() && time[pos] == u'.' && isDigit(time[pos + 1])) {
            ++pos; // the fraction is read and dropped: only whole seconds are kept
            while (pos < time.size() && isDigit(time[pos]))
                ++pos;
        }
        if (pos < time.size() && (time[pos] == u'+' || time[pos] == u'-')) {
            int offsetHours = 0, offsetMins = 0;
            if (!readDigits(time, pos + 1, 2, offsetHours) || !readDigits(time, pos + 4, 2, offsetMins))
                malformed(text, "the offset needs two digits each for hours and minutes");
            offsetMinutes = (offsetHours * 60 + offsetMins) * (time[pos] == u'+' ? 1 : -1);
        }
        // anything else after the seconds, "Z" included, means UTC
    }

    // Shift on the naive calendar, so no local daylight-saving rule interferes.
    const qint64 written = date.toJulianDay() * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    const qint64 shifted = written - qint64(offsetMinutes + utcBias) * 60;
    const qint64 julianDay = floorDiv(shifted, kSecondsPerDay);
    const int secondOfDay = static_cast<int>(shifted - julianDay * kSecondsPerDay);
    return OleDateTime::encode(QDate::fromJulianDay(julianDay), QTime::fromMSecsSinceStartOfDay(secondOfDay * 1000));
}

TDateTime ParseInterchangeTime(const QString &text)
{
    return ParseInterchangeTime(text, CurrentUtcBias());
}
