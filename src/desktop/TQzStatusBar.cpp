#include "TQzStatusBar.h"

TQzStatusBar::TQzStatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
}

int TQzStatusBar::addPanel(int width)
{
    if (!panels.isEmpty()) {
        // Only the last panel stretches.
        QLabel *previous = panels.last();
        removeWidget(previous);
        addWidget(previous, 0);
        previous->show();
    }
    auto *panel = new QLabel(this);
    panel->setMinimumWidth(width);
    panel->setTextInteractionFlags(Qt::NoTextInteraction);
    addWidget(panel, 1);
    panels.append(panel);
    return panels.size() - 1;
}

void TQzStatusBar::setPanelText(int index, const QString &text)
{
    if (index >= 0 && index < panels.size())
        panels[index]->setText(text);
}

QString TQzStatusBar::panelText(int index) const
{
    return index >= 0 && index < panels.size() ? panels[index]->text() : QString();
}
