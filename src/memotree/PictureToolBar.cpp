#include "PictureToolBar.h"

#include <QPainter>

PictureToolBar::PictureToolBar(QWidget *parent)
    : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
}

void PictureToolBar::setBackground(const QImage &picture)
{
    background = picture;
    update();
}

void PictureToolBar::paintEvent(QPaintEvent *event)
{
    if (background.isNull()) {
        QToolBar::paintEvent(event);
    } else {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), background);
    }
    if (bottomLine) {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(0, height() - 1, width(), height() - 1);
    }
}
