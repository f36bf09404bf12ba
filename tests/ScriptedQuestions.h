// The interchange questions answered from a script, for tests of the engine: every
// question is recorded, file-name questions answer `nextFile` (empty: cancelled), replace
// questions take the next scripted answer (Cancel, as closing the dialog, once the script
// is used up).
#pragma once

#include "InterchangeQuestions.h"

#include <QList>
#include <QString>

#include <functional>

class ScriptedQuestions : public InterchangeQuestions
{
public:
    enum class Kind { Save, Open };

    QString nextFile;                  // what every file-name question answers
    int nextType = 0;                  // the file type chosen, where a question asks for one
    QList<FileNameRequest> dialogs;    // each file-name question, in order
    QList<Kind> dialogKinds;           // and whether it asked for a file to save or to open
    QList<ReplaceAnswer> answers;      // the script of the replace questions
    QList<ReplaceAskTexts> asked;      // each replace question, in order
    int replaceQuestionsEnded = 0;     // calls of replaceQuestionsDone
    std::function<void()> whileAsking; // runs while each replace question waits

    void clear()
    {
        nextFile.clear();
        dialogs.clear();
        dialogKinds.clear();
        answers.clear();
        asked.clear();
        replaceQuestionsEnded = 0;
        whileAsking = nullptr;
    }

    ReplaceAnswer confirmReplace(const ReplaceAskTexts &texts) override
    {
        asked << texts;
        if (whileAsking)
            whileAsking();
        return answers.isEmpty() ? ReplaceAnswer::Cancel : answers.takeFirst();
    }
    void replaceQuestionsDone() override { ++replaceQuestionsEnded; }
    QString saveFileName(const FileNameRequest &request) override { return fileName(Kind::Save, request); }
    QString openFileName(const FileNameRequest &request) override { return fileName(Kind::Open, request); }

private:
    QString fileName(Kind kind, const FileNameRequest &request)
    {
        dialogKinds << kind;
        dialogs << request;
        if (request.chosenType)
            *request.chosenType = nextType;
        return nextFile;
    }
};
