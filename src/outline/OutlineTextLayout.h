// Word-wrapped text of a row: measured and drawn the same way, so a row is exactly as
// tall as its text. Line breaks (LF or CR LF) start new lines; words longer than the
// width are broken anywhere.
//
// A row never needs more of its text than fits in the view, so both functions take a
// height beyond which nothing is laid out: a memo of megabytes costs no more than one
// screenful. prefixLength says how much of a text can ever be needed for such a height.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <QTextLayout>

class QPainter;

namespace OutlineTextLayout {

// No limit: the whole text is laid out (printing).
constexpr int kWholeText = -1;

// How many characters of a text can show in width x maxHeight: every line holds at most
// one character per pixel of width. kWholeText for an unlimited height.
qsizetype prefixLength(const QFont &font, int width, int maxHeight);
// Height of the text wrapped to width; at least one line, at most maxHeight (rounded up
// to whole lines) unless that is kWholeText.
int height(const QString &text, const QFont &font, int width, int maxHeight = kWholeText);
// Draws the text wrapped into rect, clipped to it.
void draw(QPainter *painter, const QRect &rect, const QString &text, const QFont &font, const QColor &color);

// A whole text laid out once and drawn as often as needed: a printed row taller than a
// page shows a band of it on each page, and laying it out again for every page would
// take time in proportion to the pages squared.
class WholeText
{
public:
    WholeText(const QString &text, const QFont &font, int width);
    WholeText(const WholeText &) = delete;
    WholeText &operator=(const WholeText &) = delete;
    int width() const { return laidOutWidth; }
    // Draws the lines that reach into rect and into the painter's clip.
    void draw(QPainter *painter, const QRect &rect, const QColor &color) const;

private:
    QTextLayout layout;
    int laidOutWidth;
};

} // namespace OutlineTextLayout
