#include "DialogQuestions.h"

#include "Dlg_ReplaceAsk.h"
#include "FileDialogs.h"

DialogQuestions::DialogQuestions(QWidget *dialogParent)
    : parent(dialogParent)
{
}

DialogQuestions::~DialogQuestions()
{
    replaceQuestionsDone();
}

ReplaceAnswer DialogQuestions::confirmReplace(const ReplaceAskTexts &texts)
{
    if (!replaceDialog)
        replaceDialog = new TReplaceAskDlg(parent.data());
    replaceDialog->setTexts(texts);
    return replaceDialog->ask();
}

void DialogQuestions::replaceQuestionsDone()
{
    delete replaceDialog.data();
    replaceDialog = nullptr;
}

QString DialogQuestions::saveFileName(const FileNameRequest &request)
{
    return FileDialogs::GetSaveFileName(parent.data(), request);
}

QString DialogQuestions::openFileName(const FileNameRequest &request)
{
    return FileDialogs::GetOpenFileName(parent.data(), request);
}
