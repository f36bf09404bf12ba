#include "OleDateTime.h"

#include <QLocale>
#include <cmath>

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr qint64 kMsPerDay = 86400000;
} // namespace

namespace OleDateTime {

void decode(TDateTime value, QDate &date, QTime &time)
{
    if (!std::isfinite(value)) {
        date = kEpoch;
        time = QTime(0, 0);
        return;
    }
    double whole = std::trunc(value);
    qint64 ms = std::llround(std::fabs(value - whole) * kMsPerDay);
    if (ms >= kMsPerDay) { // a fraction that rounds up to a whole day
        ms -= kMsPerDay;
        whole += value < 0 ? -1 : 1;
    }
    date = kEpoch.addDays(static_cast<qint64>(whole));
    time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
}

TDateTime encode(const QDate &date, const QTime &time)
{
    const qint64 days = kEpoch.daysTo(date);
    const double fraction = double(time.isValid() ? time.msecsSinceStartOfDay() : 0) / kMsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

QDateTime toLocal(TDateTime value)
{
    QDate date;
    QTime time;
    decode(value, date, time);
    return QDateTime(date, time);
}

TDateTime fromLocal(const QDateTime &local)
{
    return encode(local.date(), local.time());
}

TDateTime now()
{
    return fromLocal(QDateTime::currentDateTime());
}

QString longTimeFormatWithoutZone(const QLocale &locale)
{
    // The zone in the long format would be today's zone, not the one the time was
    // written in, so it is left out with the blanks that set it apart.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t')) {
            result += c;
            continue;
        }
        while (result.endsWith(QLatin1Char(' ')))
            result.chop(1);
        while (i + 1 < format.size() && (format.at(i + 1) == QLatin1Char('t') || format.at(i + 1) == QLatin1Char(' ')))
            ++i;
    }
    return result.trimmed();
}

QString toDisplayText(TDateTime value)
{
    QDate date;
    QTime time;
    decode(value, date, time);
    const QLocale locale;
    QString text = locale.toString(date, QLocale::ShortFormat);
    if (time.msecsSinceStartOfDay() != 0)
        text += QLatin1Char(' ') + locale.toString(time, longTimeFormatWithoutZone(locale));
    return text;
}

} // namespace OleDateTime
