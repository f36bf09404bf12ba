#include "QtBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>

namespace QtBoxPresenter {

void install()
{
    Boxes::setPresenter([](const QString &caption, const QString &text, Boxes::Buttons buttons, Boxes::Icon icon) {
        QMessageBox box(icon == Boxes::Icon::Error ? QMessageBox::Critical : QMessageBox::NoIcon, caption, text,
                        buttons == Boxes::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                        QApplication::activeWindow());
        box.setWindowModality(Qt::ApplicationModal);
        return box.exec() == QMessageBox::Ok ? Boxes::IdOk : Boxes::IdCancel;
    });
}

} // namespace QtBoxPresenter
