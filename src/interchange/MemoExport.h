// The memo export: writes the memos the user has selected in the tree, with the sub-memos
// of every selected top-level memo, to an interchange file, taking the values from the
// records the tree holds. Also the logic of the tree's export command.
#pragma once

#include <QString>

#include <vector>

class InterchangeQuestions;
class OutlineNode;

// Writes the selected nodes (in pre-order, each carrying a TMemoInfo) to the file: every
// selected node as a top-level memo (pid "root"), each selected level-0 node followed by
// all its children with their own pid. Nothing selected gives a valid file with an empty
// memos element. On a write failure shows "File Write Failure !" and returns false; an
// older file of that name is then kept.
bool ExportMemos(const QString &fileName, const std::vector<OutlineNode *> &selected,
                 const QString &versionText);

// The export command: does nothing while a memo is being edited; warns "Please select a
// memo!" when nothing is selected; otherwise asks for a file name to save
// (Interchange::ExportDialog) and exports to it. The result of the export is not used.
void RunExportCommand(bool editing, const std::vector<OutlineNode *> &selected, const QString &versionText,
                      InterchangeQuestions &questions);
