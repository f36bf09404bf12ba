#include "PrintMeasurement.h"

#include "BenchSession.h"
#include "JotterlyError.h"
#include "MemoTreeMeasurements.h"
#include "OutlineView.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

MeasurementResult MeasurePrint(BenchSession &session)
{
    MemoTreeHost &host = startedUpHost(session);
    const QString path = session.dataDir + QStringLiteral("print.pdf");
    MeasurementResult result{QStringLiteral("print"), session.memoCount};
    int pages = 0;
    QSize pageSize;
    result.ms = Measurement{
        {},
        [&] {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            pages = host.tree()->printShownRows(printer);
            pageSize = QSize(printer.width(), printer.height());
        },
        {}}.medianMs(1);
    if (pages < 1 || QFile(path).size() == 0)
        throw JotterlyError(QStringLiteral("print: no pages were written"));
    const qint64 bytes = QFile(path).size();

    const QString barePath = session.dataDir + QStringLiteral("bare.pdf");
    result.limitMs = Measurement{
        {},
        [&] {
            QPdfWriter writer(barePath);
            writer.setResolution(1200);
            QPainter painter(&writer);
            QImage piece(host.tree()->viewport()->width(), 1050, QImage::Format_RGB32);
            for (int page = 0; page < pages; ++page) {
                piece.fill(Qt::white);
                if (page > 0)
                    writer.newPage();
                painter.drawImage(QRect(QPoint(0, 0), pageSize), piece);
            }
        },
        {}}.medianMs(1);
    session.notes << QStringLiteral("print: %1 pages of %2 x %3 device pixels, %4 bytes of PDF")
                         .arg(pages)
                         .arg(pageSize.width())
                         .arg(pageSize.height())
                         .arg(bytes);
    QFile::remove(path);
    QFile::remove(barePath);
    return result;
}
