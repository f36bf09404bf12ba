#include "TipLabel.h"

#include <QMouseEvent>

TipLabel::TipLabel(QWidget *parent)
    : QLabel(parent)
{
    setWordWrap(true);
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(blue);
    setFocusPolicy(Qt::NoFocus);
}

void TipLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
