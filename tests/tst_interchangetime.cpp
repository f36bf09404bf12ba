// Tests of the interchange time text: formatting with the writer's offset, reading any
// offset into the reader's local time, and the machine's bias in several time zones.
#include "InterchangeTime.h"
#include "JotterlyError.h"

#include <QTimeZone>
#include <QtTest>

#include <ctime>

namespace {

TDateTime at(int year, int month, int day, int hour, int minute, int second, int ms = 0)
{
    return OleDateTime::encode(QDate(year, month, day), QTime(hour, minute, second, ms));
}

QString show(TDateTime value)
{
    return OleDateTime::toLocal(value).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

void useZone(const QByteArray &zone)
{
    qputenv("TZ", zone);
    tzset();
}

} // namespace

class TestInterchangeTime : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { useZone("UTC"); }

    void format_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("bias");
        QTest::addColumn<QString>("expected");
        const TDateTime example = at(2008, 3, 5, 14, 7, 9, 567);
        QTest::newRow("one hour east") << example << -60 << "2008-03-05T14:07:09.000+01:00";
        QTest::newRow("five hours west") << example << 300 << "2008-03-05T14:07:09.000-05:00";
        QTest::newRow("five and a half east") << example << -330 << "2008-03-05T14:07:09.000+05:30";
        QTest::newRow("UTC") << example << 0 << "2008-03-05T14:07:09.000Z";
        QTest::newRow("half an hour west") << example << 30 << "2008-03-05T14:07:09.000-00:30";
        QTest::newRow("fraction cut, not rounded")
            << at(2008, 12, 31, 23, 59, 59, 999) << 0 << "2008-12-31T23:59:59.000Z";
        QTest::newRow("zero date-time one hour east") << 0.0 << -60 << "1899-12-30T00:00:00.000+01:00";
        QTest::newRow("year padded") << at(99, 1, 2, 3, 4, 5) << 0 << "0099-01-02T03:04:05.000Z";
    }
    void format()
    {
        QFETCH(double, value);
        QFETCH(int, bias);
        QFETCH(QString, expected);
        QCOMPARE(FormatInterchangeTime(value, bias), expected);
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bias");
        QTest::addColumn<QString>("expected");
        const QString example = QStringLiteral("2008-03-05T14:07:09.000+01:00");
        QTest::newRow("reader at UTC") << example << 0 << "2008-03-05 13:07:09.000";
        QTest::newRow("reader one hour east") << example << -60 << "2008-03-05 14:07:09.000";
        QTest::newRow("reader five hours west") << example << 300 << "2008-03-05 08:07:09.000";
        QTest::newRow("reader five and a half east") << example << -330 << "2008-03-05 18:37:09.000";
        QTest::newRow("Z") << "2008-03-05T14:07:09.000Z" << 0 << "2008-03-05 14:07:09.000";
        QTest::newRow("Z, reader east") << "2008-03-05T14:07:09.000Z" << -60 << "2008-03-05 15:07:09.000";
        QTest::newRow("no offset") << "2008-03-05T14:07:09" << -60 << "2008-03-05 15:07:09.000";
        QTest::newRow("other suffix means UTC") << "2008-03-05T14:07:09junk" << 0 << "2008-03-05 14:07:09.000";
        QTest::newRow("quarter second dropped") << "2008-03-05T14:07:09.250Z" << 0 << "2008-03-05 14:07:09.000";
        QTest::newRow("long fraction then offset")
            << "2008-03-05T14:07:09.123456-05:00" << 0 << "2008-03-05 19:07:09.000";
        QTest::newRow("west offset, reader west")
            << "2008-03-05T14:07:09.000-05:00" << 300 << "2008-03-05 14:07:09.000";
        QTest::newRow("date only") << "2008-03-05" << 0 << "2008-03-05 00:00:00.000";
        QTest::newRow("date only, reader east") << "2008-03-05" << -60 << "2008-03-05 01:00:00.000";
        QTest::newRow("back over a leap day") << "2008-03-01T00:30:00.000+01:00" << 0 << "2008-02-29 23:30:00.000";
        QTest::newRow("forward over new year") << "2008-12-31T23:30:00.000-01:00" << -60 << "2009-01-01 01:30:00.000";
        QTest::newRow("five-digit year") << "12008-03-05T14:07:09Z" << 0 << "12008-03-05 14:07:09.000";
        QTest::newRow("zero date-time, same offset")
            << "1899-12-30T00:00:00.000+01:00" << -60 << "1899-12-30 00:00:00.000";
        QTest::newRow("zero date-time, other offset")
            << "1899-12-30T00:00:00.000+01:00" << 0 << "1899-12-29 23:00:00.000";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(int, bias);
        QFETCH(QString, expected);
        QCOMPARE(show(ParseInterchangeTime(text, bias)), expected);
    }

    void zeroDateTimeSurvivesSameOffset()
    {
        QCOMPARE(ParseInterchangeTime(FormatInterchangeTime(0.0, -60), -60), 0.0);
        QVERIFY(ParseInterchangeTime(FormatInterchangeTime(0.0, -60), 0) != 0.0);
    }

    void malformedFails_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("year only") << "2008";
        QTest::newRow("two-digit year") << "08-03-05";
        QTest::newRow("one-digit month") << "2008-3-05";
        QTest::newRow("one-digit day") << "2008-03-5";
        QTest::newRow("slashes") << "2008/03/05";
        QTest::newRow("text after the date") << "2008-03-05x";
        QTest::newRow("month 13") << "2008-13-01";
        QTest::newRow("30 February") << "2008-02-30";
        QTest::newRow("29 February, no leap year") << "2007-02-29";
        QTest::newRow("time too short") << "2008-03-05T14:07";
        QTest::newRow("letter in the time") << "2008-03-05T1a:07:09";
        QTest::newRow("hour 25") << "2008-03-05T25:00:00";
        QTest::newRow("minute 60") << "2008-03-05T14:60:00";
        QTest::newRow("offset without minutes") << "2008-03-05T14:07:09+01";
        QTest::newRow("offset with letters") << "2008-03-05T14:07:09.000+ab:00";
        QTest::newRow("time without date") << "T14:07:09";
    }
    void malformedFails()
    {
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(JotterlyError, ParseInterchangeTime(text, 0));
    }

    void roundTripToTheSecond_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("bias");
        QTest::newRow("east") << at(2008, 3, 5, 14, 7, 9, 567) << -60;
        QTest::newRow("west, late evening") << at(2023, 11, 30, 23, 59, 58, 10) << 300;
        QTest::newRow("half hour") << at(1999, 12, 31, 0, 0, 1) << -330;
        QTest::newRow("UTC, before the epoch") << at(1850, 6, 1, 12, 0, 0) << 0;
    }
    void roundTripToTheSecond()
    {
        QFETCH(double, value);
        QFETCH(int, bias);
        const QDateTime expected = OleDateTime::toLocal(value);
        const QDateTime back = OleDateTime::toLocal(ParseInterchangeTime(FormatInterchangeTime(value, bias), bias));
        QCOMPARE(back, expected.addMSecs(-expected.time().msec()));
    }

    // The bias and both conversions follow the system zone as set through TZ.
    void systemZones_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QList<int>>("possibleBiases");
        QTest::newRow("UTC") << QByteArray("UTC") << QList<int>{0};
        QTest::newRow("Berlin") << QByteArray("Europe/Berlin") << QList<int>{-60, -120};
        QTest::newRow("New York") << QByteArray("America/New_York") << QList<int>{300, 240};
        QTest::newRow("Kolkata") << QByteArray("Asia/Kolkata") << QList<int>{-330};
    }
    void systemZones()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QList<int>, possibleBiases);
        useZone(zone);
        const int bias = CurrentUtcBias();
        QVERIFY2(possibleBiases.contains(bias), qPrintable(QString::number(bias)));
        QCOMPARE(bias, -QTimeZone(zone).offsetFromUtc(QDateTime::currentDateTimeUtc()) / 60);
        // The local clock agrees with the bias.
        QCOMPARE(QDateTime::currentDateTime().offsetFromUtc(), -bias * 60);

        const TDateTime example = at(2008, 3, 5, 14, 7, 9, 567);
        QCOMPARE(FormatInterchangeTime(example), FormatInterchangeTime(example, bias));
        const QString offsets[] = {QStringLiteral("Z"),      QStringLiteral("+01:00"), QStringLiteral("+02:00"),
                                   QStringLiteral("-05:00"), QStringLiteral("-04:00"), QStringLiteral("+05:30")};
        const QString written = FormatInterchangeTime(example);
        QCOMPARE(written.left(23), QStringLiteral("2008-03-05T14:07:09.000"));
        QVERIFY(std::find(std::begin(offsets), std::end(offsets), written.mid(23)) != std::end(offsets));

        // 13:07:09 UTC in the reader's local time at its current offset.
        const TDateTime read = ParseInterchangeTime(QStringLiteral("2008-03-05T14:07:09.000+01:00"));
        QCOMPARE(show(read), QDateTime(QDate(2008, 3, 5), QTime(13, 7, 9), Qt::UTC)
                                 .addSecs(-bias * 60)
                                 .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
        QCOMPARE(ParseInterchangeTime(written), at(2008, 3, 5, 14, 7, 9));
    }
};

QTEST_GUILESS_MAIN(TestInterchangeTime)
#include "tst_interchangetime.moc"
