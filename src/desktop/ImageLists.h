// The program's pictures, compiled into the executable: the 16 and 22 pixel image lists
// shared by menus and tool bars (by index), the tray picture and the status picture.
// Each picture carries a double-size version for high-DPI screens.
#pragma once

#include <QIcon>
#include <QVector>

namespace ImageLists {

QIcon icon16(int index); // null for an index without a picture
QIcon icon22(int index);
// The picture of a command: the 16 pixel one for menus and the 22 pixel one for the
// command tool bar in one icon, so each place picks its size from the same icon.
QIcon commandIcon(int index);
QVector<QIcon> list16(); // every index up to the highest, null where none exists
QIcon trayIcon();
QIcon appIcon();
QIcon statusImage();

} // namespace ImageLists
