// The memo tree's output for people: the text and HTML listings and the printout.
#include "Fr_qzMemos.h"

#include "InterchangeQuestions.h"
#include "MemoExport.h"
#include "MemoExportOrder.h"
#include "MemoListing.h"
#include "OleDateTime.h"
#include "TQzSendMessage.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>

namespace {

FileNameRequest saveDialog(int *type)
{
    FileNameRequest request;
    request.name = QStringLiteral("SaveDialog");
    request.filter = QStringLiteral("Text file (*.txt)|*.txt|HTML file (*.htm; *.html)|*.htm;*.html");
    request.chosenType = type;
    return request;
}

} // namespace

void TqzMemosFrame::SaveMemos(bool all)
{
    if (editingNode.get() || !context.questions)
        return;
    int type = 0;
    const QString fileName = context.questions->saveFileName(saveDialog(&type));
    if (fileName.isEmpty())
        return;
    // The overwrite question was asked for the name as typed; the type decides the extension.
    if (type == 1)
        WriteHtml(all, WithExtension(fileName, QStringLiteral(".html")));
    else
        WriteText(all, WithExtension(fileName, QStringLiteral(".txt")));
}

bool TqzMemosFrame::writeListing(bool all, const QString &fileName,
                                 QByteArray (*listing)(const std::vector<ListingEntry> &, const ListingFooter &))
{
    OutlineTree &tree = VtMemos->tree();
    if (all)
        tree.selectAllShown(); // as the select-all command: every shown memo and sub-memo
    const ListingFooter footer{OleDateTime::toDisplayText(OleDateTime::now()), context.fileVersion};
    const bool written = WriteListingFile(fileName, listing(MemoListingEntries(tree.selectedNodes()), footer));
    if (all)
        tree.clearSelection();
    return written;
}

bool TqzMemosFrame::WriteText(bool all, const QString &fileName)
{
    return writeListing(all, fileName, TextListing);
}

bool TqzMemosFrame::WriteHtml(bool all, const QString &fileName)
{
    return writeListing(all, fileName, HtmlListing);
}

void TqzMemosFrame::Action_SaveExecute()
{
    SaveMemos(false);
}

void TqzMemosFrame::Action_SaveAllExecute()
{
    SaveMemos(true);
}

void TqzMemosFrame::Action_PrintExecute()
{
    if (editingNode.get())
        return;
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        VtMemos->printShownRows(printer);
}

void TqzMemosFrame::Action_EmailExecute()
{
    if (editingNode.get())
        return;
    // Made when missing, the user's own like the two files in it.
    const QString temp = context.dataDir + QStringLiteral("Temp/");
    if (!QDir(temp).exists())
        QDir().mkdir(temp, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString html = temp + QStringLiteral("Memos.html");
    const QString data = temp + QStringLiteral("Memos.qzx");
    if (!WriteHtml(false, html))
        return;
    if (!ExportMemos(data, MemoExportOrder(VtMemos->tree().selectedNodes()), context.fileVersion))
        return;
    try {
        QzSendMessage1->Clear();
        QzSendMessage1->Subject = QStringLiteral("Memos");
        QzSendMessage1->MessageText << QStringLiteral("Memos.html: HTML file, you can open it with website browser.")
                                    << QStringLiteral(
                                           "Memos.qzx: Brivel data file, you can import it into Brivel software "
                                           "directly.");
        QzSendMessage1->Attachments << html << data;
        QzSendMessage1->Send();
    } catch (const std::exception &) {
        // A mail failure, a cancelled compose window, no mail system: nothing to report.
    }
}
