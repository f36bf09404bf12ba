// The memo export: writes memo records to an interchange file, taking the values from the
// records given (the tree's, not the database's), and the logic of the tree's export
// command. Which records a selection writes, and in which order, is the memo tree's part
// (MemoExportOrder).
#pragma once

#include "MemoRecord.h"

#include <QString>

#include <vector>

class InterchangeQuestions;

// Writes one memo element per record, in the order given, each with the record's mid, its
// pid as given (the caller sets "root" for a memo that is to come in at the top level),
// content and three times; expandFlag is not written. No records give a valid file with an
// empty memos element. On a write failure shows "File Write Failure !" and returns false;
// an older file of that name is then kept.
bool ExportMemos(const QString &fileName, const std::vector<MemoRecord> &records, const QString &versionText);

// The export command: does nothing while a memo is being edited; warns "Please select a
// memo!" when there are no records (nothing is selected); otherwise asks for a file name to
// save (Interchange::ExportDialog) and exports the records to it. The result of the export
// is not used.
void RunExportCommand(bool editing, const std::vector<MemoRecord> &records, const QString &versionText,
                      InterchangeQuestions &questions);
