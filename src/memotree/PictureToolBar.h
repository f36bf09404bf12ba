// A tool bar whose background is a picture stretched over the whole bar; the buttons are
// drawn over it as usual. Without a picture it looks like an ordinary tool bar.
#pragma once

#include <QImage>
#include <QToolBar>

class PictureToolBar : public QToolBar
{
    Q_OBJECT
public:
    explicit PictureToolBar(QWidget *parent = nullptr);
    void setBackground(const QImage &picture);
    void setBottomLine(bool on)
    {
        bottomLine = on;
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage background;
    bool bottomLine = false;
};
