// DialogQuestions: the interchange questions answered by the program's dialogs: the
// "Confirm Replace" dialog (TReplaceAskDlg) and the file dialogs (FileDialogs). The main
// window owns one and hands it to TIoDm and to the memo tree.
#pragma once

#include "InterchangeQuestions.h"

#include <QPointer>
#include <QWidget>

class TReplaceAskDlg;

class DialogQuestions : public InterchangeQuestions
{
public:
    // dialogParent (may be null) owns the dialogs while they are shown; it must outlive
    // every question asked.
    explicit DialogQuestions(QWidget *dialogParent = nullptr);
    ~DialogQuestions() override;
    DialogQuestions(const DialogQuestions &) = delete;
    DialogQuestions &operator=(const DialogQuestions &) = delete;

    // Shows the Confirm Replace dialog modally. The dialog is made at the first question of
    // a restore and used for each further one, until replaceQuestionsDone frees it.
    ReplaceAnswer confirmReplace(const ReplaceAskTexts &texts) override;
    void replaceQuestionsDone() override;

    // The save and open file dialogs; each named dialog offers the name chosen in it last.
    QString saveFileName(const FileNameRequest &request) override;
    QString openFileName(const FileNameRequest &request) override;

private:
    QPointer<QWidget> parent;
    // Guarded: the parent deletes the dialog with itself if it goes first.
    QPointer<TReplaceAskDlg> replaceDialog;
};
