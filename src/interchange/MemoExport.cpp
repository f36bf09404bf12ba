#include "MemoExport.h"

#include "Boxes.h"
#include "InterchangeFormat.h"
#include "InterchangeQuestions.h"
#include "InterchangeRecords.h"
#include "pU_XmlTry.h"

#include <exception>

bool ExportMemos(const QString &fileName, const std::vector<MemoRecord> &records, const QString &versionText)
{
    Txmltry xml;
    Interchange::TimeTextWriter times(Interchange::StartDocument(xml, versionText));
    pugi::xml_node memos = xml.FindNode(QLatin1String(Interchange::kMemosPath));
    for (const MemoRecord &memo : records) {
        Interchange::AppendMemoElement(memos, memo.mid, memo.pid, memo.content, memo.assignTime, memo.createTime,
                                       memo.editTime, times);
    }
    try {
        xml.SaveToFile(fileName);
    } catch (const std::exception &) {
        ErrorBox(QStringLiteral("File Write Failure !"));
        return false;
    }
    return true;
}

void RunExportCommand(bool editing, const std::vector<MemoRecord> &records, const QString &versionText,
                      InterchangeQuestions &questions)
{
    if (editing)
        return;
    if (records.empty()) {
        WarningBox(QStringLiteral("Please select a memo!"));
        return;
    }
    const QString fileName = questions.saveFileName(Interchange::ExportDialog());
    if (!fileName.isEmpty())
        ExportMemos(fileName, records, versionText);
}
