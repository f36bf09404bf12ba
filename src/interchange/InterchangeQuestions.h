// The questions the interchange engine puts to the user, behind one interface: whether a
// stored record is to be replaced by the one from the file, and which file to write or to
// read. The program answers them with its dialogs (DialogQuestions, in the interchange
// dialogs library); tests and the bench answer them from a script. Nothing here needs a
// screen.
#pragma once

#include <QString>

// The answers of the "Confirm Replace" question. Cancel is what closing the dialog by its
// title bar gives; the restore treats it as No.
enum class ReplaceAnswer { Yes, YesToAll, No, Abort, Cancel };

// What the replace question shows for one record: the caption, and the title (content on
// one line) and time text of the stored record and of the record from the file.
struct ReplaceAskTexts
{
    QString caption;
    QString oldTitle;
    QString oldTime;
    QString newTitle;
    QString newTime;
};

// What a file-name question shows. The filter is in "Description|*.ext|..." form;
// defaultExt may be written "*.ext", ".ext" or "ext".
struct FileNameRequest
{
    QString name;    // which dialog this is; the dialogs offer the name chosen last in it again
    QString caption; // empty: the platform's "Save As" or "Open"
    QString filter;
    QString defaultExt;
    QString startPath; // a folder or a file; empty: the last name chosen in this dialog
    // When set, the file type (0-based entry of the filter) comes back here: the dialogs
    // offer the type chosen last in this dialog, the first one the first time.
    int *chosenType = nullptr;
};

class InterchangeQuestions
{
public:
    virtual ~InterchangeQuestions() = default;

    // Asks whether the stored record is to be replaced by the one from the file. A restore
    // asks once per stored record until the answer is YesToAll or Abort.
    virtual ReplaceAnswer confirmReplace(const ReplaceAskTexts &texts) = 0;

    // Called once at the end of every restore of a file (TIoDm::RestoreFrom), after its last
    // confirmReplace, also when it asked nothing or failed. An implementation that keeps one
    // dialog for the questions of a restore frees it here. Does nothing by default.
    virtual void replaceQuestionsDone() {}

    // Asks for a file to write; the chosen path, or an empty text when the user cancels.
    // The real dialog confirms before overwriting an existing file.
    virtual QString saveFileName(const FileNameRequest &request) = 0;

    // Asks for a file to read; the chosen path, or an empty text when the user cancels. The
    // named file need not exist (reading it then fails).
    virtual QString openFileName(const FileNameRequest &request) = 0;
};

namespace Interchange {

// The main window's save dialog for interchange files (backup and memo export):
// "ExportDialog", filter "Brivel Database,  (*.qzx)|*.qzx", default extension "*.qzx".
FileNameRequest ExportDialog();

// The open dialog of TIoDm for interchange files (restore and import): "OpenDialog1",
// filter "Brivel Database, (*.qzx)|*.qzx", default extension "*.qzx".
FileNameRequest OpenDialog1();

} // namespace Interchange
