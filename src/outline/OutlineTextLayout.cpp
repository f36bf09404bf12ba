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

// Lays the text out line by line; returns the total height.
qreal layoutLines(QTextLayout &layout, int width)
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
    }
    layout.endLayout();
    return y;
}

} // namespace

int height(const QString &text, const QFont &font, int width)
{
    const int oneLine = QFontMetrics(font).height();
    if (text.isEmpty())
        return oneLine;
    QTextLayout layout(withLineSeparators(text), font);
    return qMax(oneLine, static_cast<int>(std::ceil(layoutLines(layout, width))));
}

void draw(QPainter *painter, const QRect &rect, const QString &text, const QFont &font, const QColor &color)
{
    if (text.isEmpty())
        return;
    QTextLayout layout(withLineSeparators(text), font);
    layoutLines(layout, rect.width());
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->setPen(color);
    layout.draw(painter, rect.topLeft());
    painter->restore();
}

} // namespace OutlineTextLayout
