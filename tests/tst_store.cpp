// Tests of the memo store: making a missing data file, refusing to touch a file that is
// not a usable database, the statement texts as the engine runs them, values as read,
// the row buffer (insert, edit, post) and failures on the way.
#include "JotterlyError.h"
#include "OleDateTime.h"
#include "SqlConnection.h"
#include "SqlQuery.h"
#include "Statements.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

#include <sqlite3.h>

#include <limits>
#include <memory>
#include <stdexcept>

namespace {

// A second, independent connection that looks at the file the way the engine stores it.
// Failures throw, which QtTest reports as a failed test.
class RawDb
{
public:
    explicit RawDb(const QString &path, int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        sqlite3_busy_timeout(db, 100);
    }
    ~RawDb() { sqlite3_close_v2(db); }
    RawDb(const RawDb &) = delete;
    RawDb &operator=(const RawDb &) = delete;

    void exec(const QByteArray &sql)
    {
        char *message = nullptr;
        if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) != SQLITE_OK) {
            const std::string text = message ? message : "unknown error";
            sqlite3_free(message);
            throw std::runtime_error(text);
        }
    }

    // Every row of the statement, its values joined by "|", NULL written as NULL.
    QStringList rows(const QByteArray &sql)
    {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        QStringList result;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList values;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                if (sqlite3_column_type(stmt, i) == SQLITE_NULL)
                    values << QStringLiteral("NULL");
                else
                    values << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)),
                                                sqlite3_column_bytes(stmt, i));
            }
            result << values.join(QLatin1Char('|'));
        }
        sqlite3_finalize(stmt);
        return result;
    }

    // The exact bytes of one value.
    QByteArray bytes(const QByteArray &sql)
    {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        QByteArray value;
        if (sqlite3_step(stmt) == SQLITE_ROW)
            value = QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, 0)), sqlite3_column_bytes(stmt, 0));
        sqlite3_finalize(stmt);
        return value;
    }

private:
    sqlite3 *db = nullptr;
};

// What must stay the same about a file the store refuses: its bytes (a folder's entries),
// its time stamp and the names beside it (no journal, -wal or -shm file appears).
struct FileSnapshot
{
    QByteArray bytes;
    QDateTime modified;
    QStringList siblings;
};

FileSnapshot snapshot(const QString &path)
{
    FileSnapshot shot;
    QFile file(path);
    if (QFileInfo(path).isDir())
        shot.bytes = QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).join('/').toUtf8();
    else if (file.open(QIODevice::ReadOnly))
        shot.bytes = file.readAll();
    shot.modified = QFileInfo(path).lastModified();
    shot.siblings = QFileInfo(path).dir().entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    return shot;
}

// An old time stamp, so that any write would show as a change.
void backdate(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC), QFileDevice::FileModificationTime));
}

bool ownerOnly(const QString &path)
{
    const QFile::Permissions perms = QFile::permissions(path);
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                      | QFile::WriteOther | QFile::ExeOther;
    return (perms & others) == 0 && perms.testFlag(QFile::ReadOwner) && perms.testFlag(QFile::WriteOwner);
}

QString messageOf(const std::function<void()> &step)
{
    try {
        step();
    } catch (const JotterlyError &error) {
        return error.message();
    }
    return QStringLiteral("<no error>");
}

enum class BadFile {
    RandomBytes,
    Empty,
    ShortText,
    ForeignDatabase,
    ForeignWalDatabase,
    MemosWithoutTasks,
    Locked,
    Unopenable
};
enum class Kind { Open, Exec };

} // namespace

Q_DECLARE_METATYPE(BadFile)
Q_DECLARE_METATYPE(Kind)

class TestStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;
    QString dataPath;

    // A fresh data file with a few memos and one task, the way the tests below expect them.
    void seed(SqlConnection &conn)
    {
        conn.open(dataPath);
        conn.exec("insert into memos (mid, pid, content, expandFlag, createTime) values"
                  " ('{A}', 'root', 'alpha', 0, 1.5),"
                  " ('{B}', 'root', 'beta', 1, 2.5),"
                  " ('{C}', '{A}', 'gamma', 0, 3.5),"
                  " ('it''s', 'root', 'quoted id', 0, 4.5);"
                  "insert into tasks (tid, pid, content) values ('{T}', 'root', 'a task');");
    }

    QStringList memoState()
    {
        RawDb raw(dataPath);
        return raw.rows("select mid, pid, expandFlag from memos order by mid");
    }

private slots:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
        dataPath = tmp->filePath(QStringLiteral("qzData.qzb"));
    }
    void cleanup() { tmp.reset(); }

    // --- making and refusing data files -------------------------------------------------

    void createsMissingFileWithBothTables()
    {
        SqlConnection conn;
        conn.open(dataPath);
        QVERIFY(conn.isOpen());
        QVERIFY(QFileInfo::exists(dataPath));

        RawDb raw(dataPath);
        QCOMPARE(
            raw.rows("select type, name, tbl_name from sqlite_master where name not like 'sqlite_%'"
                     " order by name"),
            QStringList({"table|memos|memos", "index|memos_pid|memos", "table|tasks|tasks", "index|tasks_pid|tasks"}));
        QCOMPARE(raw.rows("select name from pragma_index_info('memos_pid')"), QStringList("pid"));
        QCOMPARE(raw.rows("select count(*) from memos"), QStringList("0"));
        QCOMPARE(raw.rows("select count(*) from tasks"), QStringList("0"));
    }

    void newFileColumns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns"); // name|declared type|default
        QTest::newRow("memos: texts, expand flag reading false, REAL day counts")
            << "memos"
            << QStringList({"mid|TEXT|NULL", "pid|TEXT|NULL", "content|TEXT|NULL", "expandFlag|INTEGER|0",
                            "assignTime|REAL|NULL", "createTime|REAL|NULL", "editTime|REAL|NULL"});
        QTest::newRow("tasks: all thirteen columns of the sister product")
            << "tasks"
            << QStringList({"tid|TEXT|NULL", "pid|TEXT|NULL", "content|TEXT|NULL", "checkFlag|INTEGER|NULL",
                            "alarmFlag|INTEGER|NULL", "dueFlag|INTEGER|NULL", "textColor|INTEGER|NULL",
                            "backgroundColor|INTEGER|NULL", "createTime|REAL|NULL", "editTime|REAL|NULL",
                            "checkTime|REAL|NULL", "alarmTime|REAL|NULL", "dueTime|REAL|NULL"});
    }
    void newFileColumns()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        SqlConnection conn;
        conn.open(dataPath);
        RawDb raw(dataPath);
        QCOMPARE(raw.rows("select name, type, dflt_value from pragma_table_info('" + table.toUtf8() + "')"), columns);
        // The id column is unique: a second row with the same id is refused.
        const QString key = table == QLatin1String("memos") ? QStringLiteral("mid") : QStringLiteral("tid");
        const QString insert = QStringLiteral("insert into %1 (%2) values ('{X}')").arg(table, key);
        conn.exec(insert.toUtf8().constData());
        QVERIFY(messageOf([&] { conn.exec(insert.toUtf8().constData()); }).contains("UNIQUE constraint failed"));
    }

    void newFileIsOwnerOnlyWithItsJournals()
    {
        SqlConnection conn;
        conn.open(dataPath);
        conn.exec("insert into memos (mid, pid, content) values ('{A}', 'root', 'secret')");
        QVERIFY2(ownerOnly(dataPath), qPrintable(QString::number(QFile::permissions(dataPath), 16)));
        // The engine keeps its journal beside the file while a change is under way; it holds
        // memo text too, so it must be as private as the file.
        conn.beginTransaction();
        conn.exec("update memos set content='changed secret'");
        const QStringList journals = QDir(tmp->path()).entryList({"qzData.qzb-*"}, QDir::Files | QDir::Hidden);
        QVERIFY(!journals.isEmpty());
        for (const QString &journal : journals)
            QVERIFY2(ownerOnly(tmp->filePath(journal)), qPrintable(journal));
        conn.commitTransaction();
    }

    void reopensTheFileItMade()
    {
        {
            SqlConnection conn;
            conn.open(dataPath);
            conn.exec("insert into memos (mid, pid) values ('{A}', 'root')");
        }
        SqlConnection conn;
        conn.open(dataPath);
        SqlQuery query(conn);
        OpenSql(query, Sql::kCountMemos);
        QCOMPARE(query.asInteger("cnt"), 1);
    }

    void dataFileAloneHoldsEveryCommit_data()
    {
        QTest::addColumn<bool>("leftInWalMode");
        QTest::newRow("a file the program made") << false;
        QTest::newRow("a file left in write-ahead mode, commits still in its -wal") << true;
    }
    void dataFileAloneHoldsEveryCommit()
    {
        QFETCH(bool, leftInWalMode);
        if (leftInWalMode) {
            {
                SqlConnection made;
                made.open(dataPath);
            }
            // The file and its -wal as a killed process leaves them: the last commit is
            // only in the -wal (the writer's close would checkpoint it, so copy before).
            const QString image = tmp->filePath(QStringLiteral("image"));
            {
                RawDb writer(dataPath, SQLITE_OPEN_READWRITE);
                writer.exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                            "insert into memos (mid, pid, content) values ('{W}', 'root', 'in the wal')");
                QVERIFY(QFile::copy(dataPath, image) && QFile::copy(dataPath + "-wal", image + "-wal"));
            }
            QVERIFY(QFile::remove(dataPath) && QFile::rename(image, dataPath));
            QVERIFY(QFile::rename(image + "-wal", dataPath + "-wal"));
            QVERIFY(QDir(tmp->path()).mkdir(QStringLiteral("before")));
            QVERIFY(QFile::copy(dataPath, tmp->filePath(QStringLiteral("before/qzData.qzb"))));
            QCOMPARE(RawDb(tmp->filePath(QStringLiteral("before/qzData.qzb"))).rows("select count(*) from memos"),
                     QStringList("0"));
        }

        SqlConnection conn;
        conn.open(dataPath);
        SqlQuery query(conn);
        OpenSql(query, Sql::kSelectNoMemoForEdit);
        query.insert();
        query.setText("mid", "{N}");
        query.setText("pid", "root");
        query.setText("content", "committed");
        query.post();
        QCOMPARE(QDir(tmp->path()).entryList({"qzData.qzb-*"}, QDir::Files | QDir::Hidden), QStringList());
        // Each commit waits for the disk (2 is FULL), so a power cut loses none of them.
        sqlite3_stmt *stmt = nullptr;
        QCOMPARE(sqlite3_prepare_v2(conn.handle(), "PRAGMA synchronous", -1, &stmt, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
        const int synchronous = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        QCOMPARE(synchronous, 2);

        // A byte copy of the file alone, taken while the connection is still open.
        const QString copyPath = tmp->filePath(QStringLiteral("copy/qzData.qzb"));
        QVERIFY(QDir(tmp->path()).mkdir(QStringLiteral("copy")));
        QVERIFY(QFile::copy(dataPath, copyPath));
        RawDb copy(copyPath, SQLITE_OPEN_READONLY);
        QCOMPARE(copy.rows("PRAGMA journal_mode"), QStringList("delete"));
        QCOMPARE(copy.rows("select mid, content from memos order by mid"),
                 leftInWalMode ? QStringList({"{N}|committed", "{W}|in the wal"}) : QStringList("{N}|committed"));
    }

    void missingFolderIsNotCreated()
    {
        const QString path = tmp->filePath(QStringLiteral("no/such/folder/qzData.qzb"));
        SqlConnection conn;
        QVERIFY(messageOf([&] { conn.open(path); }) != QLatin1String("<no error>"));
        QVERIFY(!conn.isOpen());
        QVERIFY(!QFileInfo::exists(tmp->filePath(QStringLiteral("no"))));
    }

    void refusesUnusableFile_data()
    {
        QTest::addColumn<BadFile>("kind");
        QTest::addColumn<QString>("engineMessage");
        QTest::newRow("random bytes are never overwritten") << BadFile::RandomBytes << "file is not a database";
        QTest::newRow("an empty file is not recreated") << BadFile::Empty << "no such table: memos";
        QTest::newRow("a short text file is not a database") << BadFile::ShortText << "file is not a database";
        QTest::newRow("another program's database gets no tables added")
            << BadFile::ForeignDatabase << "no such table: memos";
        QTest::newRow("another program's write-ahead database keeps its journal mode")
            << BadFile::ForeignWalDatabase << "no such table: memos";
        QTest::newRow("memos without tasks is not completed") << BadFile::MemosWithoutTasks << "no such table: tasks";
        QTest::newRow("locked exclusively by another connection") << BadFile::Locked << "database is locked";
        // A folder where the file belongs fails to open as an unreadable file does, for root too.
        QTest::newRow("unopenable: a folder in the file's place")
            << BadFile::Unopenable << "unable to open database file";
    }
    void refusesUnusableFile()
    {
        QFETCH(BadFile, kind);
        QFETCH(QString, engineMessage);
        if (kind == BadFile::Unopenable) {
            QVERIFY(QDir(tmp->path()).mkdir(QStringLiteral("qzData.qzb")));
            QFile inside(dataPath + QStringLiteral("/memo.txt"));
            QVERIFY(inside.open(QIODevice::WriteOnly) && inside.write("kept") == 4);
        } else {
            QFile file(dataPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (kind == BadFile::RandomBytes) {
                QRandomGenerator random(20240611);
                QByteArray noise(8192, '\0');
                for (char &c : noise)
                    c = static_cast<char>(random.bounded(256));
                file.write(noise);
            } else if (kind == BadFile::ShortText) {
                file.write("memo one\r\nmemo two\r\n");
            }
        }
        if (kind == BadFile::ForeignDatabase || kind == BadFile::ForeignWalDatabase
            || kind == BadFile::MemosWithoutTasks || kind == BadFile::Locked) {
            RawDb raw(dataPath);
            raw.exec(kind == BadFile::ForeignWalDatabase ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE");
            if (kind == BadFile::ForeignDatabase || kind == BadFile::ForeignWalDatabase)
                raw.exec(
                    "create table notes (id integer primary key, body text); insert into notes (body) values ('x')");
            else if (kind == BadFile::MemosWithoutTasks)
                raw.exec("create table memos (mid text, pid text, content text, expandFlag integer,"
                         " assignTime real, createTime real, editTime real)");
            else
                raw.exec("create table memos (mid text, pid text, content text, expandFlag integer,"
                         " assignTime real, createTime real, editTime real);"
                         "create table tasks (tid text, pid text, content text)");
        }
        if (kind != BadFile::Unopenable)
            backdate(dataPath);

        std::unique_ptr<RawDb> lockHolder;
        if (kind == BadFile::Locked) {
            lockHolder = std::make_unique<RawDb>(dataPath, SQLITE_OPEN_READWRITE);
            lockHolder->exec("BEGIN EXCLUSIVE");
        }
        const FileSnapshot before = snapshot(dataPath);

        SqlConnection conn;
        const QString message = messageOf([&] { conn.open(dataPath); });
        QVERIFY2(message.contains(engineMessage), qPrintable(message));
        // The user is told which file it is, as well as why.
        QVERIFY2(message.contains(QDir::toNativeSeparators(dataPath)), qPrintable(message));
        QCOMPARE(conn.openFailure(), message);
        QVERIFY(!conn.isOpen());
        QVERIFY(messageOf([&] { conn.handle(); }) != QLatin1String("<no error>"));

        const FileSnapshot after = snapshot(dataPath);
        QCOMPARE(after.siblings, before.siblings);
        QCOMPARE(after.modified, before.modified);
        QVERIFY(after.bytes == before.bytes);
        lockHolder.reset();
        QCOMPARE(snapshot(dataPath).siblings, before.siblings);
    }

    // --- statements and values ------------------------------------------------------------

    void statementTexts_data()
    {
        QTest::addColumn<QString>("built");     // as the program builds it
        QTest::addColumn<QString>("statement"); // the fixed text it must be
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("readColumn");   // Open: the column listed
        QTest::addColumn<QStringList>("expected"); // Open: values read; Exec: memos after

        const QStringList untouched = {"it's|root|0", "{A}|root|0", "{B}|root|1", "{C}|{A}|0"};
        QTest::newRow("count of memos") << Sql::kCountMemos << "select count(*) as cnt from memos" << Kind::Open
                                        << "cnt" << QStringList("4");
        QTest::newRow("top-level memos") << Sql::SelectMemosByPid(Sql::kRootId)
                                         << "select * from memos where pid='root'" << Kind::Open << "mid"
                                         << QStringList({"it's", "{A}", "{B}"});
        QTest::newRow("sub-memos of one memo") << Sql::SelectMemosByPid("{A}") << "select * from memos where pid='{A}'"
                                               << Kind::Open << "mid" << QStringList("{C}");
        QTest::newRow("one memo by id") << Sql::SelectMemoByMid("{B}") << "select * from memos where mid='{B}'"
                                        << Kind::Open << "mid" << QStringList("{B}");
        QTest::newRow("empty result for a typed memo (1=0)")
            << Sql::kSelectNoMemoForEdit << "select * from memos where 1=0" << Kind::Open << "mid" << QStringList();
        QTest::newRow("empty result for restore (0=1)")
            << Sql::kSelectNoMemoForRestore << "select * from memos where 0=1" << Kind::Open << "mid" << QStringList();
        QTest::newRow("every memo") << Sql::kSelectAllMemos << "select * from memos" << Kind::Open << "mid"
                                    << QStringList({"it's", "{A}", "{B}", "{C}"});
        QTest::newRow("every task") << Sql::kSelectAllTasks << "select * from tasks" << Kind::Open << "tid"
                                    << QStringList("{T}");
        QTest::newRow("one task by id") << Sql::SelectTaskByTid("{T}") << "select * from tasks where tid='{T}'"
                                        << Kind::Open << "tid" << QStringList("{T}");
        QTest::newRow("empty task result (0=1)")
            << Sql::kSelectNoTask << "select * from tasks where 0=1" << Kind::Open << "tid" << QStringList();
        QTest::newRow("delete one memo's row")
            << Sql::DeleteMemoByMid("{C}") << "delete from memos where mid='{C}'" << Kind::Exec << QString()
            << QStringList({"it's|root|0", "{A}|root|0", "{B}|root|1"});
        QTest::newRow("delete the sub-memos of a memo")
            << Sql::DeleteMemosByPid("{A}") << "delete from memos where pid='{A}'" << Kind::Exec << QString()
            << QStringList({"it's|root|0", "{A}|root|0", "{B}|root|1"});
        QTest::newRow("delete by pid of a sub-memo removes nothing")
            << Sql::DeleteMemosByPid("{C}") << "delete from memos where pid='{C}'" << Kind::Exec << QString()
            << untouched;
        QTest::newRow("move a memo under another")
            << Sql::UpdatePid("{B}", "{C}") << "update memos set pid='{B}' where mid='{C}'" << Kind::Exec << QString()
            << QStringList({"it's|root|0", "{A}|root|0", "{B}|root|1", "{C}|{B}|0"});
        QTest::newRow("move a memo to the top level")
            << Sql::UpdatePid(Sql::kRootId, "{C}") << "update memos set pid='root' where mid='{C}'" << Kind::Exec
            << QString() << QStringList({"it's|root|0", "{A}|root|0", "{B}|root|1", "{C}|root|0"});
        QTest::newRow("expand with the bare word True")
            << Sql::UpdateExpandFlag(true, "{A}") << "update memos set expandFlag=True where mid='{A}'" << Kind::Exec
            << QString() << QStringList({"it's|root|0", "{A}|root|1", "{B}|root|1", "{C}|{A}|0"});
        QTest::newRow("collapse with the bare word False")
            << Sql::UpdateExpandFlag(false, "{B}") << "update memos set expandFlag=False where mid='{B}'" << Kind::Exec
            << QString() << QStringList({"it's|root|0", "{A}|root|0", "{B}|root|0", "{C}|{A}|0"});
    }
    void statementTexts()
    {
        QFETCH(QString, built);
        QFETCH(QString, statement);
        QFETCH(Kind, kind);
        QFETCH(QString, readColumn);
        QFETCH(QStringList, expected);
        QCOMPARE(built, statement);

        SqlConnection conn;
        seed(conn);
        SqlQuery query(conn);
        if (kind == Kind::Open) {
            OpenSql(query, statement);
            QCOMPARE(query.sql(), statement);
            QStringList values;
            for (; !query.eof(); query.next())
                values << QString::fromUtf8(query.text(readColumn));
            values.sort();
            QCOMPARE(values, expected);
        } else {
            ExecSql(query, statement);
            QCOMPARE(memoState(), expected);
        }
    }

    void countReadsAsInteger()
    {
        SqlConnection conn;
        seed(conn);
        SqlQuery query(conn);
        OpenSql(query, Sql::kCountMemos);
        QCOMPARE(query.asInteger("cnt"), 4);
        ExecSql(query, "delete from memos");
        OpenSql(query, Sql::kCountMemos);
        QVERIFY(!query.eof());
        QCOMPARE(query.asInteger("cnt"), 0);
    }

    void quotedIds_data()
    {
        QTest::addColumn<QString>("mid");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("apostrophe inside") << "o'clock"
                                           << "'o''clock'";
        QTest::newRow("quote that would widen the where clause") << "x' or '1'='1"
                                                                 << "'x'' or ''1''=''1'";
        QTest::newRow("only a quote") << "'"
                                      << "''''";
        QTest::newRow("two quotes in a row") << "a''b"
                                             << "'a''''b'";
    }
    void quotedIds()
    {
        QFETCH(QString, mid);
        QFETCH(QString, quoted);
        QCOMPARE(Sql::Quoted(mid), quoted);

        SqlConnection conn;
        seed(conn);
        SqlQuery query(conn);
        OpenSql(query, Sql::kSelectNoMemoForEdit);
        query.insert();
        query.setText("mid", mid.toUtf8());
        query.setText("pid", "root");
        query.post();

        OpenSql(query, Sql::SelectMemoByMid(mid));
        QVERIFY(!query.eof());
        QCOMPARE(QString::fromUtf8(query.text("mid")), mid);
        query.next();
        QVERIFY(query.eof());

        ExecSql(query, Sql::UpdateExpandFlag(true, mid));
        ExecSql(query, Sql::UpdatePid("{B}", mid));
        RawDb raw(dataPath);
        QCOMPARE(
            raw.rows("select pid, expandFlag from memos where mid='" + quoted.mid(1, quoted.size() - 2).toUtf8() + "'"),
            QStringList("{B}|1"));
        QCOMPARE(raw.rows("select count(*) from memos where pid='{B}' or expandFlag=1"), QStringList("2"));

        ExecSql(query, Sql::DeleteMemoByMid(mid));
        QCOMPARE(memoState(), QStringList({"it's|root|0", "{A}|root|0", "{B}|root|1", "{C}|{A}|0"}));
    }

    void nullValuesRead_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        for (const char *column : {"pid", "content", "expandFlag", "assignTime", "createTime", "editTime"})
            QTest::newRow(qPrintable(QStringLiteral("memos.%1 holding NULL").arg(column))) << "memos" << column;
        for (const char *column : {"pid", "content", "checkFlag", "alarmFlag", "dueFlag", "textColor",
                                   "backgroundColor", "createTime", "editTime", "checkTime", "alarmTime", "dueTime"})
            QTest::newRow(qPrintable(QStringLiteral("tasks.%1 holding NULL").arg(column))) << "tasks" << column;
    }
    void nullValuesRead()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        SqlConnection conn;
        conn.open(dataPath);
        const QString key = table == QLatin1String("memos") ? QStringLiteral("mid") : QStringLiteral("tid");
        conn.exec(QStringLiteral("insert into %1 (%2, %3) values ('{N}', NULL)").arg(table, key, column).toUtf8());

        SqlQuery query(conn);
        OpenSql(query, QStringLiteral("select * from %1").arg(table));
        QVERIFY(!query.eof());
        QVERIFY(query.text(column).isEmpty());
        QCOMPARE(query.asBool(column), false);
        QCOMPARE(query.asInteger(column), 0);
        QCOMPARE(query.asDateTime(column), 0.0);
        QDate date;
        QTime time;
        OleDateTime::decode(query.asDateTime(column), date, time);
        QCOMPARE(QDateTime(date, time), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    }

    void booleansAsStored_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("expected");
        QTest::newRow("bare True") << QByteArray("True") << true;
        QTest::newRow("bare False") << QByteArray("False") << false;
        QTest::newRow("minus one, as another engine writes true") << QByteArray("-1") << true;
        QTest::newRow("text 'true'") << QByteArray("'true'") << true;
        QTest::newRow("text '0'") << QByteArray("'0'") << false;
        QTest::newRow("zero") << QByteArray("0") << false;
    }
    void booleansAsStored()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, expected);
        SqlConnection conn;
        conn.open(dataPath);
        conn.exec("insert into memos (mid, expandFlag) values ('{A}', " + stored + ")");
        SqlQuery query(conn);
        OpenSql(query, Sql::SelectMemoByMid("{A}"));
        QCOMPARE(query.asBool("expandFlag"), expected);
    }

    // --- row buffer ----------------------------------------------------------------------

    void insertStoresExactlyTheFieldsSet_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("plain text") << QByteArray("a memo");
        QTest::newRow("quotes never reach statement text") << QByteArray("it's \"quoted\"'); drop table memos; --");
        QTest::newRow("CR LF kept") << QByteArray("line one\r\nline two\r\n\r\nend");
        QTest::newRow("non-ASCII UTF-8 kept byte for byte")
            << QByteArray("Gr\xc3\xbc\xc3\x9f"
                          "e \xe2\x80\x93 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x99\x82");
        QByteArray big;
        big.reserve(1 << 20);
        while (big.size() < (1 << 20))
            big += "0123456789abcdef\r\n";
        big.truncate(1 << 20);
        QTest::newRow("one megabyte") << big;
        QTest::newRow("empty text is stored as text, not NULL") << QByteArray("");
    }
    void insertStoresExactlyTheFieldsSet()
    {
        QFETCH(QByteArray, content);
        SqlConnection conn;
        conn.open(dataPath);
        SqlQuery query(conn);
        // The way a pasted memo is stored: no assignTime, no expandFlag.
        OpenSql(query, Sql::kSelectNoMemoForEdit);
        QVERIFY(query.eof());
        query.insert();
        query.setText("mid", "{N}");
        query.setText("pid", "root");
        query.setText("content", content);
        query.setDateTime("createTime", 45000.25);
        query.setDateTime("editTime", 45000.75);
        query.post();

        RawDb raw(dataPath);
        QCOMPARE(raw.bytes("select content from memos where mid='{N}'"), content);
        QCOMPARE(raw.rows("select typeof(mid), typeof(pid), typeof(content), expandFlag, typeof(expandFlag),"
                          " typeof(assignTime), createTime, editTime from memos"),
                 QStringList("text|text|text|0|integer|null|45000.25|45000.75"));

        OpenSql(query, Sql::SelectMemoByMid("{N}"));
        QCOMPARE(query.text("content"), content);
        QCOMPARE(query.asBool("expandFlag"), false);
        QCOMPARE(query.asDateTime("assignTime"), 0.0);
        QCOMPARE(query.asDateTime("createTime"), 45000.25);
    }

    void taskColumnsRoundTripAsText_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("flag minus one") << "checkFlag" << QByteArray("-1");
        QTest::newRow("flag zero") << "alarmFlag" << QByteArray("0");
        QTest::newRow("flag word") << "dueFlag" << QByteArray("True");
        QTest::newRow("colour number") << "textColor" << QByteArray("16777215");
        QTest::newRow("colour name") << "backgroundColor" << QByteArray("clWindow");
        QTest::newRow("empty flag") << "checkFlag" << QByteArray("");
    }
    void taskColumnsRoundTripAsText()
    {
        QFETCH(QString, column);
        QFETCH(QByteArray, value);
        SqlConnection conn;
        conn.open(dataPath);
        SqlQuery query(conn);
        OpenSql(query, Sql::kSelectNoTask);
        query.insert();
        query.setText("tid", "{T}");
        query.setText(column, value);
        query.post();
        OpenSql(query, Sql::SelectTaskByTid("{T}"));
        QCOMPARE(query.text(column), value);
    }

    void editChangesOnlyTheFieldsSetOnThatRow()
    {
        SqlConnection conn;
        seed(conn);
        RawDb raw(dataPath);
        const QByteArray dump = "select mid, pid, content, expandFlag, assignTime, createTime, editTime from memos"
                                " order by mid";
        QStringList expected = raw.rows(dump);

        SqlQuery query(conn);
        OpenSql(query, Sql::SelectMemoByMid("{A}"));
        query.edit();
        query.setText("content", "first try");
        query.setText("CONTENT", "changed\r\ntext"); // the last value set is the one stored
        query.setDateTime("editTime", 45001.5);
        query.post();

        expected.replaceInStrings("{A}|root|alpha|0|NULL|1.5|NULL", "{A}|root|changed\r\ntext|0|NULL|1.5|45001.5");
        QCOMPARE(raw.rows(dump), expected);
    }

    void editTaskRowByItsId()
    {
        SqlConnection conn;
        seed(conn);
        conn.exec("insert into tasks (tid, pid, content) values ('{U}', 'root', 'other task')");
        SqlQuery query(conn);
        OpenSql(query, Sql::SelectTaskByTid("{T}"));
        query.edit();
        query.setText("content", "restored");
        query.setDateTime("dueTime", 40000.0);
        query.post();
        RawDb raw(dataPath);
        QCOMPARE(raw.rows("select tid, content, dueTime from tasks order by tid"),
                 QStringList({"{T}|restored|40000.0", "{U}|other task|NULL"}));
    }

    void postedRowsOneAfterAnother()
    {
        // Restore and import post many rows through one query object in a row.
        SqlConnection conn;
        conn.open(dataPath);
        SqlQuery query(conn);
        for (int i = 0; i < 50; ++i) {
            OpenSql(query, Sql::kSelectNoMemoForRestore);
            query.insert();
            query.setText("mid", QByteArray::number(i));
            query.setText("pid", i % 2 ? "root" : "0");
            query.setText("content", "memo " + QByteArray::number(i));
            query.post();
        }
        OpenSql(query, Sql::SelectMemoByMid("7"));
        query.edit();
        query.setText("content", "seven");
        query.post();
        RawDb raw(dataPath);
        QCOMPARE(raw.rows("select count(*), sum(pid='root') from memos"), QStringList("50|25"));
        QCOMPARE(raw.rows("select content from memos where mid in ('6', '7', '8') order by mid"),
                 QStringList({"memo 6", "seven", "memo 8"}));
    }

    void rowBufferMisuse_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("post without insert or edit") << 0;
        QTest::newRow("set a field without insert or edit") << 1;
        QTest::newRow("unknown field name on insert") << 2;
        QTest::newRow("unknown field name on edit") << 3;
        QTest::newRow("unknown field name read") << 4;
        QTest::newRow("edit at the end of data") << 5;
        QTest::newRow("read at the end of data") << 6;
        QTest::newRow("insert on a query never opened") << 7;
        QTest::newRow("post after the query was closed") << 8;
    }
    void rowBufferMisuse()
    {
        QFETCH(int, step);
        SqlConnection conn;
        seed(conn);
        const QStringList before = memoState();
        SqlQuery query(conn);
        const QString message = messageOf([&] {
            switch (step) {
            case 0:
                OpenSql(query, Sql::SelectMemoByMid("{A}"));
                query.post();
                break;
            case 1:
                OpenSql(query, Sql::SelectMemoByMid("{A}"));
                query.setText("content", "x");
                break;
            case 2:
                OpenSql(query, Sql::kSelectNoMemoForEdit);
                query.insert();
                query.setText("mid", "{N}");
                query.setText("nosuchcolumn", "x");
                query.post();
                break;
            case 3:
                OpenSql(query, Sql::SelectMemoByMid("{A}"));
                query.edit();
                query.setDateTime("editTme", 1.0);
                query.post();
                break;
            case 4:
                OpenSql(query, Sql::SelectMemoByMid("{A}"));
                query.text("nosuchcolumn");
                break;
            case 5:
                OpenSql(query, Sql::SelectMemoByMid("{nobody}"));
                query.edit();
                break;
            case 6:
                OpenSql(query, Sql::SelectMemoByMid("{A}"));
                query.next();
                query.text("content");
                break;
            case 7:
                query.insert();
                break;
            case 8:
                OpenSql(query, Sql::kSelectNoMemoForEdit);
                query.insert();
                query.setText("mid", "{N}");
                query.close();
                query.post();
                break;
            }
        });
        QVERIFY2(message != QLatin1String("<no error>"), "the misuse was accepted");
        QVERIFY(!message.isEmpty());
        QCOMPARE(memoState(), before);
    }

    void failingStatementLeavesQueryUsable_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("engineMessage");
        QTest::newRow("missing table") << 0 << "no such table: nosuch";
        QTest::newRow("missing table, no result set") << 1 << "no such table: nosuch";
        QTest::newRow("missing column") << 2 << "no such column: nosuchcolumn";
        QTest::newRow("syntax error") << 3 << "syntax error";
        QTest::newRow("duplicate id refused at post") << 4 << "UNIQUE constraint failed: memos.mid";
    }
    void failingStatementLeavesQueryUsable()
    {
        QFETCH(int, step);
        QFETCH(QString, engineMessage);
        SqlConnection conn;
        seed(conn);
        SqlQuery query(conn);
        const QString message = messageOf([&] {
            switch (step) {
            case 0:
                OpenSql(query, "select * from nosuch");
                break;
            case 1:
                ExecSql(query, "delete from nosuch");
                break;
            case 2:
                OpenSql(query, "select nosuchcolumn from memos");
                break;
            case 3:
                OpenSql(query, "selec * from memos");
                break;
            case 4:
                OpenSql(query, Sql::kSelectNoMemoForEdit);
                query.insert();
                query.setText("mid", "{A}");
                query.setText("content", "twin");
                query.post();
                break;
            }
        });
        QVERIFY2(message.contains(engineMessage), qPrintable(message));

        // The same query object carries the next statements as if nothing had happened.
        OpenSql(query, Sql::kCountMemos);
        QCOMPARE(query.asInteger("cnt"), 4);
        OpenSql(query, Sql::kSelectNoMemoForEdit);
        query.insert();
        query.setText("mid", "{N}");
        query.setText("content", "after the failure");
        query.post();
        ExecSql(query, Sql::UpdateExpandFlag(true, "{N}"));
        RawDb raw(dataPath);
        QCOMPARE(raw.rows("select content, expandFlag from memos where mid in ('{A}', '{N}') order by mid"),
                 QStringList({"alpha|0", "after the failure|1"}));
    }

    void execSqlDropsAResultSet()
    {
        // A statement run for its effect may still yield rows; they are dropped, not an error.
        SqlConnection conn;
        seed(conn);
        SqlQuery query(conn);
        const QString message = messageOf([&] { ExecSql(query, Sql::kSelectAllMemos); });
        QVERIFY2(message == QLatin1String("<no error>"), qPrintable(message));
        OpenSql(query, Sql::kCountMemos);
        QCOMPARE(query.asInteger("cnt"), 4);
    }

    void closedConnection_data()
    {
        QTest::addColumn<bool>("openedBefore");
        QTest::addColumn<int>("step");
        const char *steps[] = {"OpenSql", "ExecSql", "beginTransaction", "commitTransaction", "exec", "handle"};
        for (int i = 0; i < 6; ++i) {
            QTest::newRow(qPrintable(QStringLiteral("%1 on a connection never opened").arg(steps[i]))) << false << i;
            QTest::newRow(qPrintable(QStringLiteral("%1 after close").arg(steps[i]))) << true << i;
        }
    }
    void closedConnection()
    {
        QFETCH(bool, openedBefore);
        QFETCH(int, step);
        SqlConnection conn;
        if (openedBefore) {
            seed(conn);
            conn.close();
        }
        QVERIFY(!conn.isOpen());
        SqlQuery query(conn);
        const QString message = messageOf([&] {
            switch (step) {
            case 0:
                OpenSql(query, Sql::kCountMemos);
                break;
            case 1:
                ExecSql(query, Sql::DeleteMemoByMid("{A}"));
                break;
            case 2:
                conn.beginTransaction();
                break;
            case 3:
                conn.commitTransaction();
                break;
            case 4:
                conn.exec("delete from memos");
                break;
            case 5:
                conn.handle();
                break;
            }
        });
        QVERIFY2(message != QLatin1String("<no error>"), "an operation on a closed connection succeeded");
        QVERIFY(!conn.inTransaction());
        if (openedBefore)
            QCOMPARE(memoState().size(), 4);
    }

    void postAfterConnectionClosedThrows()
    {
        SqlConnection conn;
        seed(conn);
        SqlQuery query(conn);
        OpenSql(query, Sql::kSelectNoMemoForEdit);
        query.insert();
        query.setText("mid", "{N}");
        conn.close();
        QVERIFY(messageOf([&] { query.post(); }) != QLatin1String("<no error>"));
        QCOMPARE(memoState().size(), 4);
    }

    void queryFollowsReopenedConnection()
    {
        // A query object outlives a close and open of its connection; a row posted after the
        // reopen belongs in the file now open, never in the one closed before.
        SqlConnection conn;
        conn.open(dataPath);
        SqlQuery query(conn);
        const auto postMemo = [&](const QByteArray &mid) {
            OpenSql(query, Sql::kSelectNoMemoForEdit);
            query.insert();
            query.setText("mid", mid);
            query.setText("pid", "root");
            query.post();
        };
        postMemo("{first}");
        conn.close();
        const QString otherPath = tmp->filePath(QStringLiteral("other.qzb"));
        conn.open(otherPath);
        postMemo("{second}");
        conn.close();

        const QStringList firstFile = RawDb(dataPath).rows("select mid from memos");
        const QStringList otherFile = RawDb(otherPath).rows("select mid from memos");
        QCOMPARE(firstFile + QStringList("/") + otherFile, QStringList({"{first}", "/", "{second}"}));
    }

    void transactionCommitsTogether()
    {
        SqlConnection conn;
        seed(conn);
        QVERIFY(!conn.inTransaction());
        conn.beginTransaction();
        QVERIFY(conn.inTransaction());
        SqlQuery query(conn);
        for (const char *mid : {"{N1}", "{N2}"}) {
            OpenSql(query, Sql::kSelectNoMemoForRestore);
            query.insert();
            query.setText("mid", mid);
            query.post();
        }
        QCOMPARE(memoState().size(), 4); // another connection does not see the rows yet
        conn.commitTransaction();
        QVERIFY(!conn.inTransaction());
        QCOMPARE(memoState().size(), 6);
        QVERIFY(messageOf([&] { conn.commitTransaction(); }).contains("no transaction is active"));
    }

    // --- day counts ----------------------------------------------------------------------

    void dayCounts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QDateTime>("local");
        QTest::addColumn<bool>("encodesBack");
        QTest::newRow("zero is the unset date") << 0.0 << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << true;
        QTest::newRow("noon of day one") << 1.5 << QDateTime(QDate(1899, 12, 31), QTime(12, 0)) << true;
        QTest::newRow("a recent date with milliseconds")
            << 39512.5 + 1234.0 / 86400000 << QDateTime(QDate(2008, 3, 5), QTime(12, 0, 1, 234)) << true;
        QTest::newRow("before the epoch the fraction still counts forward")
            << -1.25 << QDateTime(QDate(1899, 12, 29), QTime(6, 0)) << true;
        QTest::newRow("minus a half is noon of the epoch day")
            << -0.5 << QDateTime(QDate(1899, 12, 30), QTime(12, 0)) << false;
        QTest::newRow("a fraction rounding up to the next day")
            << 1.9999999999 << QDateTime(QDate(1900, 1, 1), QTime(0, 0)) << false;
        QTest::newRow("the same before the epoch")
            << -1.9999999999 << QDateTime(QDate(1899, 12, 28), QTime(0, 0)) << false;
        QTest::newRow("not a number reads as unset")
            << std::numeric_limits<double>::quiet_NaN() << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << false;
    }
    void dayCounts()
    {
        QFETCH(double, value);
        QFETCH(QDateTime, local);
        QFETCH(bool, encodesBack);
        QCOMPARE(OleDateTime::toLocal(value), local);
        if (encodesBack)
            QCOMPARE(OleDateTime::fromLocal(local), value);
    }

    // The time as users see it (status bar, restore question): long format, no zone.
    void displayTexts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        const double afternoon = 39512.0 + (13 * 3600 + 7 * 60 + 9) / 86400.0; // 5 March 2008 13:07:09
        QTest::newRow("C locale in UTC") << "C" << QByteArray("UTC") << afternoon << "5 Mar 2008 13:07:09";
        QTest::newRow("US English in Berlin")
            << "en_US" << QByteArray("Europe/Berlin") << afternoon << "3/5/08 1:07:09 PM";
        QTest::newRow("German in New York")
            << "de_DE" << QByteArray("America/New_York") << afternoon << "05.03.08 13:07:09";
        QTest::newRow("midnight shows the date alone") << "en_US" << QByteArray("UTC") << 39512.0 << "3/5/08";
    }
    void displayTexts()
    {
        QFETCH(QString, locale);
        QFETCH(QByteArray, zone);
        QFETCH(double, value);
        QFETCH(QString, text);
        const QByteArray oldZone = qgetenv("TZ");
        qputenv("TZ", zone);
        tzset();
        QLocale::setDefault(QLocale(locale));
        const QString shown = OleDateTime::toDisplayText(value);
        QLocale::setDefault(QLocale::c());
        qputenv("TZ", oldZone);
        tzset();
        QCOMPARE(shown, text);
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
