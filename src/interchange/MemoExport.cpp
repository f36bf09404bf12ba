#include "MemoExport.h"

#include "Boxes.h"
#include "InterchangeFormat.h"
#include "InterchangeQuestions.h"
#include "InterchangeRecords.h"
#include "OutlineNode.h"
#include "TMemoInfo.h"
#include "pU_XmlTry.h"

#include <exception>

namespace {

void appendMemo(pugi::xml_node memos, const TMemoInfo &memo, const QByteArray &pid,
                Interchange::TimeTextWriter &times)
{
    Interchange::AppendMemoElement(memos, memo.mid, pid, memo.content, memo.assignTime, memo.createTime,
                                   memo.editTime, times);
}

} // namespace

bool ExportMemos(const QString &fileName, const std::vector<OutlineNode *> &selected, const QString &versionText)
{
    static const QByteArray root = QByteArrayLiteral("root");
    Txmltry xml;
    Interchange::TimeTextWriter times(Interchange::StartDocument(xml, versionText));
    pugi::xml_node memos = xml.FindNode(QLatin1String(Interchange::kMemosPath));
    for (const OutlineNode *node : selected) {
        const TMemoInfo *memo = memoOf(node);
        if (!memo)
            continue;
        // Every selected memo goes in as a top-level one, so that selected sub-memos come
        // in on their own; a top-level memo brings all its sub-memos, shown or not.
        appendMemo(memos, *memo, root, times);
        if (node->level() != 0)
            continue;
        for (int i = 0; i < node->childCount(); ++i) {
            if (const TMemoInfo *child = memoOf(node->child(i)))
                appendMemo(memos, *child, child->pid, times);
        }
    }
    try {
        xml.SaveToFile(fileName);
    } catch (const std::exception &) {
        ErrorBox(QStringLiteral("File Write Failure !"));
        return false;
    }
    return true;
}

void RunExportCommand(bool editing, const std::vector<OutlineNode *> &selected, const QString &versionText,
                      InterchangeQuestions &questions)
{
    if (editing)
        return;
    if (selected.empty()) {
        WarningBox(QStringLiteral("Please select a memo!"));
        return;
    }
    const QString fileName = questions.saveFileName(Interchange::ExportDialog());
    if (!fileName.isEmpty())
        ExportMemos(fileName, selected, versionText);
}
