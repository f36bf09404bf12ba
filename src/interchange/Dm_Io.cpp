#include "Dm_Io.h"

#include "Boxes.h"
#include "BulkTransaction.h"
#include "GeneralErrorHandler.h"
#include "InterchangeFormat.h"
#include "InterchangeQuestions.h"
#include "InterchangeRecords.h"
#include "InterchangeTime.h"
#include "JotterlyError.h"
#include "RecordIds.h"
#include "SqlConnection.h"
#include "TextHelpers.h"
#include "pU_XmlTry.h"

#include <QByteArrayList>
#include <QHash>
#include <QScopeGuard>
#include <QSet>
#include <QStringList>

#include <exception>

using namespace Interchange;

namespace {

const QByteArray kRoot = QByteArrayLiteral("root");

// Import's two parallel lists: oldIds holds the ids met in the file, newIds the fresh id
// made for each, at the same position. An index by old id keeps the lookup constant-time.
class IdTranslation
{
public:
    // The fresh id of an old one, made and recorded at its first appearance.
    QByteArray translate(const QByteArray &oldId)
    {
        const auto found = positions.constFind(oldId);
        if (found != positions.cend())
            return newIds.at(*found);
        positions.insert(oldId, oldIds.size());
        oldIds.append(oldId);
        newIds.append(NewRecordId());
        return newIds.constLast();
    }

private:
    QByteArrayList oldIds;
    QByteArrayList newIds;
    QHash<QByteArray, qsizetype> positions;
};

// The ids of the file's top-level records (pid "root"), read silently: the records are
// read one by one later, and that reading reports missing attributes.
QSet<QByteArray> topLevelIdsOf(Txmltry &xml, const RecordTable &table)
{
    const QByteArray idAttribute = table.columns[0].attribute.toLatin1();
    const QByteArray pidAttribute = table.columns[1].attribute.toLatin1();
    QSet<QByteArray> ids;
    for (pugi::xml_node record : xml.FindNode(table.listPath).children()) {
        if (kRoot == record.attribute(pidAttribute.constData()).value())
            ids.insert(QByteArray(record.attribute(idAttribute.constData()).value()));
    }
    return ids;
}

// Merges one table of the file into the database. Returns false when the user answered
// Abort. `answer` is the remembered answer, carried from one table to the next.
bool restoreTable(Txmltry &xml, SqlQuery &query, const RecordTable &table, InterchangeQuestions &questions,
                  ReplaceAnswer &answer, int utcBias, BulkTransaction &transaction)
{
    const QString &idAttribute = table.columns[0].attribute;
    const QString contentAttribute = QLatin1String(kContentAttr);
    const QString editTimeAttribute = QLatin1String(kEditTimeAttr);
    const QString contentColumn = QStringLiteral("content");
    const QString editTimeColumn = QStringLiteral("editTime");
    const QString caption = QStringLiteral("Would you like to replace the existing ") + table.word;
    const QString modified = QStringLiteral("modified: ");

    const int count = xml.ChildCount(table.listPath);
    for (int i = 0; i < count; ++i) {
        RecordReader record(xml, table.recordPathPrefix + QString::number(i));
        OpenSql(query, table.selectById(QString::fromUtf8(record.get(idAttribute))));
        const bool stored = !query.eof();
        if (!stored) {
            // A record that is not stored is always inserted, whatever was answered before.
            OpenSql(query, table.selectNone);
            query.insert();
        } else if (answer == ReplaceAnswer::YesToAll) {
            query.edit();
        } else {
            ReplaceAskTexts texts;
            texts.caption = caption;
            texts.oldTitle = FlattenLineBreaks(QString::fromUtf8(query.text(contentColumn)));
            texts.oldTime = modified + OleDateTime::toDisplayText(query.asDateTime(editTimeColumn));
            texts.newTitle = FlattenLineBreaks(QString::fromUtf8(record.get(contentAttribute)));
            texts.newTime = modified
                            + OleDateTime::toDisplayText(
                                ParseInterchangeTime(QString::fromUtf8(record.get(editTimeAttribute)), utcBias));
            transaction.checkpoint(); // what is stored so far is in the file while the user decides
            answer = questions.confirmReplace(texts);
            if (answer == ReplaceAnswer::Abort)
                return false;
            if (answer != ReplaceAnswer::Yes && answer != ReplaceAnswer::YesToAll)
                continue; // No, or the dialog closed: the stored row stays as it is
            query.edit();
        }
        // A stored row was found by its id, so the id is already what the file says; leaving
        // it out of the update spares the unique index a delete and insert per row.
        SetColumns(query, record, table, stored ? 1 : 0, utcBias);
        query.post();
    }
    return true;
}

// Adds one table of the file under fresh ids. A top-level record keeps its place by its
// translated id; a sub-record finds its parent's fresh id, whichever of the two comes
// first. With orphansToTop, a sub-record whose parent is not in the file comes in as a
// top-level record, where it can be seen, instead of under a parent that does not exist.
void importTable(Txmltry &xml, SqlQuery &query, const RecordTable &table, bool orphansToTop, int utcBias)
{
    const QString &idAttribute = table.columns[0].attribute;
    const QString &pidAttribute = table.columns[1].attribute;
    const QString &idColumn = table.columns[0].column;
    const QString &pidColumn = table.columns[1].column;
    const QSet<QByteArray> topLevelIds = orphansToTop ? topLevelIdsOf(xml, table) : QSet<QByteArray>();
    IdTranslation ids;

    const int count = xml.ChildCount(table.listPath);
    // One empty result set serves every new row: posting a row leaves it ready for the
    // next insert, so the statement is not compiled again per record.
    if (count > 0)
        OpenSql(query, table.selectNone);
    for (int i = 0; i < count; ++i) {
        RecordReader record(xml, table.recordPathPrefix + QString::number(i));
        query.insert();
        const QByteArray pid = record.get(pidAttribute);
        QByteArray newId;
        QByteArray newPid;
        if (pid == kRoot) {
            newPid = kRoot;
            newId = ids.translate(record.get(idAttribute));
        } else if (orphansToTop && !topLevelIds.contains(pid)) {
            newPid = kRoot;
            newId = NewRecordId();
        } else {
            newPid = ids.translate(pid);
            newId = NewRecordId(); // a sub-record's own id is never looked up again
        }
        query.setText(idColumn, newId);
        query.setText(pidColumn, newPid);
        SetColumns(query, record, table, 2, utcBias);
        query.post();
    }
}

bool loadFile(Txmltry &xml, const QString &fileName)
{
    try {
        xml.LoadFromFile(fileName);
        return true;
    } catch (const std::exception &) {
        ErrorBox(QStringLiteral("File read failure!"));
        return false;
    }
}

} // namespace

TIoDm::TIoDm(SqlConnection &connection, const QString &appVersion, InterchangeQuestions &questions, QObject *parent)
    : QObject(parent)
    , connection(connection)
    , appVersion(appVersion)
    , questions(questions)
    , ADOQuery1(connection)
{
}

bool TIoDm::Backup()
{
    const QString fileName = questions.saveFileName(ExportDialog());
    return !fileName.isEmpty() && BackupTo(fileName);
}

bool TIoDm::Restore()
{
    const QString fileName = questions.openFileName(OpenDialog1());
    return !fileName.isEmpty() && RestoreFrom(fileName);
}

bool TIoDm::Import()
{
    const QString fileName = questions.openFileName(OpenDialog1());
    return !fileName.isEmpty() && ImportFrom(fileName);
}

bool TIoDm::BackupTo(const QString &fileName)
{
    Txmltry xml;
    TimeTextWriter times(StartDocument(xml, appVersion));
    {
        // Database failures are left to the caller; the file is written only afterwards.
        const auto closeQuery = qScopeGuard([this] { ADOQuery1.close(); });
        for (const RecordTable *table : {&MemoTable(), &TaskTable()}) {
            OpenSql(ADOQuery1, table->selectAll);
            AppendRows(xml.FindNode(table->listPath), ADOQuery1, *table, times);
        }
    }
    try {
        xml.SaveToFile(fileName);
    } catch (const std::exception &) {
        ErrorBox(QStringLiteral("File write failure!"));
        return false;
    }
    return true;
}

// Runs the row work of a restore or import on a loaded document: the application check,
// then the work inside one transaction, committed in every case before any failure is
// shown. True when nothing failed.
template<class Work>
bool TIoDm::storeRows(Txmltry &xml, Work &&work)
{
    if (const std::optional<QString> mismatch = CheckApp(xml)) {
        ErrorBox(*mismatch);
        return false;
    }
    QStringList failures;
    try {
        BulkTransaction transaction(connection);
        // A box shown during the work (a record that lacks an attribute) waits with the
        // rows stored so far in the file.
        const Boxes::BeforeBox previousBeforeBox = Boxes::setBeforeBox([&transaction] { transaction.checkpoint(); });
        const auto restoreBeforeBox = qScopeGuard([&] { Boxes::setBeforeBox(previousBeforeBox); });
        try {
            work(CurrentUtcBias(), transaction); // one bias for the whole document
        } catch (const std::exception &error) {
            failures << GeneralErrorHandler::messageOf(error);
        }
        ADOQuery1.close();
        transaction.commit();
    } catch (const std::exception &error) {
        failures << GeneralErrorHandler::messageOf(error);
    }
    ADOQuery1.close();
    for (const QString &failure : failures)
        ErrorBox(failure);
    return failures.isEmpty();
}

bool TIoDm::RestoreFrom(const QString &fileName)
{
    // However the restore ends, its questions are over then (a dialog kept for them is freed).
    const auto questionsDone = qScopeGuard([this] { questions.replaceQuestionsDone(); });
    Txmltry xml;
    if (!loadFile(xml, fileName))
        return false;
    return storeRows(xml, [&](int utcBias, BulkTransaction &transaction) {
        ReplaceAnswer answer = ReplaceAnswer::Yes;
        // Abort during the memos skips the tasks entirely.
        if (restoreTable(xml, ADOQuery1, MemoTable(), questions, answer, utcBias, transaction))
            restoreTable(xml, ADOQuery1, TaskTable(), questions, answer, utcBias, transaction);
    });
}

bool TIoDm::ImportFrom(const QString &fileName)
{
    Txmltry xml;
    if (!loadFile(xml, fileName))
        return false;
    return storeRows(xml, [&](int utcBias, BulkTransaction &) {
        importTable(xml, ADOQuery1, MemoTable(), true, utcBias);
        // Tasks belong to a sister product whose outline rules this program does not know,
        // so a task whose parent is not in the file is not moved to the top level.
        importTable(xml, ADOQuery1, TaskTable(), false, utcBias);
    });
}
