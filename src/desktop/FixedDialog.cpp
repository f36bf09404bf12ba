#include "FixedDialog.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace FixedDialog {

void setStyle(QDialog &dialog)
{
    // The title and close hints take effect only with CustomizeWindowHint.
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint);
}

void centreOnScreen(QDialog &dialog)
{
    const QWidget *parent = dialog.parentWidget();
    QScreen *screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    dialog.adjustSize();
    dialog.move(screen->availableGeometry().center() - dialog.rect().center());
}

} // namespace FixedDialog
