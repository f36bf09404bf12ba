#include "OutlineTextLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>

namespace OutlineTextLayout {
namespace {

QString withLineSeparators(const QString &text)
{
    QString prepared = text;
    prepared.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    prepared.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    prepared.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return prepared;
}

// Lays the text out line by line until maxHeight is passed; returns the height laid out.
qreal layoutLines(QTextLayout &layout, int width, int maxHeight)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(qMax(1, width));
        line.setPosition(QPointF(0, y));
        y += line.height();
        if (maxHeight != kWholeText && y >= maxHeight)
            break;
    }
    layout.endLayout();
    return y;
}

} // namespace

qsizetype prefixLength(const QFont &font, int width, int maxHeight)
{
    if (maxHeight == kWholeText)
        return kWholeText;
    const qsizetype lines = maxHeight / qMax(1, QFontMetrics(font).lineSpacing()) + 2;
    return lines * (qMax(1, width) + 1);
}

int height(const QString &text, const QFont &font, int width, int maxHeight)
{
    const int oneLine = QFontMetrics(font).height();
    if (text.isEmpty())
        return oneLine;
    QTextLayout layout(withLineSeparators(text.left(prefixLength(font, width, maxHeight))), font);
    return qMax(oneLine, static_cast<int>(std::ceil(layoutLines(layout, width, maxHeight))));
}

void draw(QPainter *painter, const QRect &rect, const QString &text, const QFont &font, const QColor &color)
{
    if (text.isEmpty())
        return;
    QTextLayout layout(withLineSeparators(text.left(prefixLength(font, rect.width(), rect.height()))), font);
    layoutLines(layout, rect.width(), rect.height());
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->setPen(color);
    layout.draw(painter, rect.topLeft());
    painter->restore();
}

WholeText::WholeText(const QString &text, const QFont &font, int width)
    : layout(withLineSeparators(text), font)
    , laidOutWidth(width)
{
    layoutLines(layout, width, kWholeText);
}

void WholeText::draw(QPainter *painter, const QRect &rect, const QColor &color) const
{
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->setPen(color);
    // Only the lines in the band are visited, so a page costs what it shows, however long
    // the text is.
    const QRectF band = painter->clipBoundingRect().translated(-rect.topLeft());
    int line = 0;
    for (int count = layout.lineCount(); count > 0;) { // the first line that ends below the band's top
        const int half = count / 2;
        const QTextLine probe = layout.lineAt(line + half);
        if (probe.y() + probe.height() <= band.top()) {
            line += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    for (; line < layout.lineCount() && layout.lineAt(line).y() < band.bottom(); ++line)
        layout.lineAt(line).draw(painter, rect.topLeft());
    painter->restore();
}

} // namespace OutlineTextLayout
