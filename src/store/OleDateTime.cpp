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

QString toDisplayText(TDateTime value)
{
    QDate date;
    QTime time;
    decode(value, date, time);
    const QLocale locale;
    QString text = locale.toString(date, QLocale::ShortFormat);
    if (time.msecsSinceStartOfDay() != 0)
        text += QLatin1Char(' ') + locale.toString(time, QLocale::LongFormat);
    return text;
}

} // namespace OleDateTime
