// The save and open file dialogs of the program, behind one seam: every command that asks
// for a file name goes through GetSaveFileName or GetOpenFileName, and tests install a
// presenter that picks a name (or cancels) instead of showing a dialog.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace FileDialogs {

// What a dialog shows. The filter is in "Description|*.ext|..." form; defaultExt may be
// written "*.ext", ".ext" or "ext".
struct Request
{
    QString name;       // which dialog this is; the last name chosen in it is offered again
    QString caption;    // empty: the platform's "Save As" or "Open"
    QString filter;
    QString defaultExt;
    QString startPath;  // a folder or a file; empty: the last name chosen in this dialog
};

enum class Kind { Save, Open };

// Shows the dialog and returns the chosen path, or an empty text when the user cancels.
using Presenter = std::function<QString(Kind kind, const Request &request, QWidget *parent)>;

// Installs the presenter (tests); an empty one restores the real dialogs. Returns the
// previous presenter.
Presenter setPresenter(Presenter presenter);

// Asks for a file to write: confirms before overwriting, resizable. Empty when cancelled.
QString GetSaveFileName(QWidget *parent, const Request &request);
// Asks for a file to read; the name need not exist (reading it then fails). Empty when
// cancelled.
QString GetOpenFileName(QWidget *parent, const Request &request);

// The main window's save dialog for interchange files (backup and memo export).
Request ExportDialog();
// The open dialog for interchange files (restore and import).
Request OpenDialog1();

} // namespace FileDialogs
