// A status bar that carries child controls over its panels (here a small picture in the
// first panel) and otherwise behaves like an ordinary status bar with text panels.
#pragma once

#include <QLabel>
#include <QStatusBar>
#include <QVector>

class TQzStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit TQzStatusBar(QWidget *parent = nullptr);

    // Adds a panel of the given width; the last panel also takes the rest of the bar.
    int addPanel(int width);
    int panelCount() const { return panels.size(); }
    void setPanelText(int index, const QString &text);
    QString panelText(int index) const;

private:
    QVector<QLabel *> panels;
};
