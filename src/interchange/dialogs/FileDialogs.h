// The save and open file dialogs of the program: the real QFileDialog, and the name chosen
// last in each named dialog, offered again the next time. Every dialog goes through
// GetSaveFileName or GetOpenFileName; tests of the dialogs install a presenter that picks a
// name (or cancels) instead of showing one.
#pragma once

#include "InterchangeQuestions.h"

#include <QString>

#include <functional>

class QWidget;

namespace FileDialogs {

// What a dialog shows (InterchangeQuestions.h).
using Request = FileNameRequest;

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

} // namespace FileDialogs
