// The text of the tip panel: looks like a link (blue, underlined, hand cursor, wrapped)
// and reports clicks.
#pragma once

#include <QLabel>

class TipLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TipLabel(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
