#include "Measurement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <vector>

double Measurement::medianMs(int runs) const
{
    std::vector<double> times;
    times.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer clock;
        clock.start();
        run();
        times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        if (tidy)
            tidy();
    }
    return Median(std::move(times));
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

QString resultLine(const MeasurementResult &result)
{
    const QString ratio = result.limitMs > 0 ? QString::number(result.ms / result.limitMs, 'f', 2)
                                             : QStringLiteral("inf");
    QString line = QStringLiteral("%1 n=%2 ms=%3 limit_ms=%4 ratio=%5")
                       .arg(result.name)
                       .arg(result.memoCount)
                       .arg(result.ms, 0, 'f', 2)
                       .arg(result.limitMs, 0, 'f', 2)
                       .arg(ratio);
    if (result.peakRssMb >= 0)
        line += QStringLiteral(" peak_rss_mb=%1").arg(result.peakRssMb, 0, 'f', 1);
    return line;
}

double peakRssMb()
{
    return peakRssMb(QCoreApplication::applicationPid());
}

double peakRssMb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (!line.startsWith("VmHWM:"))
            continue;
        // "VmHWM:     123456 kB"
        const QList<QByteArray> parts = line.mid(6).simplified().split(' ');
        bool ok = false;
        const double kilobytes = parts.value(0).toDouble(&ok);
        return ok ? kilobytes / 1024.0 : -1;
    }
    return -1;
}
