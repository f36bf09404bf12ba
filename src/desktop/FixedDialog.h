// The program's small dialogs: a fixed size with a title and a close button only, centred
// on the screen rather than on the main window, which may be hidden in the tray.
#pragma once

class QDialog;

namespace FixedDialog {

// The window style: nothing to minimize, maximize or resize.
void setStyle(QDialog &dialog);
// Centres the dialog, at its final size, on the screen of its parent (or the primary one).
void centreOnScreen(QDialog &dialog);

} // namespace FixedDialog
