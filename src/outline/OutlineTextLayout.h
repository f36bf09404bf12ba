// Word-wrapped text of a row: measured and drawn the same way, so a row is exactly as
// tall as its text. Line breaks (LF or CR LF) start new lines; words longer than the
// width are broken anywhere.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace OutlineTextLayout {

// Height of the text wrapped to width; at least one line.
int height(const QString &text, const QFont &font, int width);
// Draws the text wrapped into rect, clipped to it.
void draw(QPainter *painter, const QRect &rect, const QString &text, const QFont &font, const QColor &color);

} // namespace OutlineTextLayout
