// Tests of backup, restore and import (TIoDm) and the memo export, on a real SQLite file
// in a temporary folder, without a screen. Boxes go through their seam, and the file-name
// and replace questions are answered by ScriptedQuestions, so no test ever waits for a
// user. The real dialogs are tested in tst_interchangedialogs.
#include "Boxes.h"
#include "Dm_Io.h"
#include "InterchangeFixture.h"
#include "InterchangeFormat.h"
#include "InterchangeRecords.h"
#include "InterchangeTime.h"
#include "JotterlyError.h"
#include "MemoExport.h"
#include "MemoRecord.h"
#include "SqlConnection.h"
#include "SqlQuery.h"
#include "TextHelpers.h"
#include "pU_XmlTry.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <ctime>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

const QStringList kMemoColumns{"mid", "pid", "content", "assignTime", "createTime", "editTime"};
const QStringList kTaskColumns{"tid",       "pid",       "content",         "checkFlag",  "alarmFlag",
                               "dueFlag",   "textColor", "backgroundColor", "createTime", "editTime",
                               "checkTime", "alarmTime", "dueTime"};
const QStringList kMemoAttributes{"mid", "pid", "content", "assign-time", "create-time", "edit-time"};

using Attributes = QList<QPair<QByteArray, QByteArray>>;

Attributes memoAttributes(const QByteArray &mid, const QByteArray &pid, const QByteArray &content,
                          const QByteArray &time = "2008-03-05T14:07:09.000Z")
{
    return {{"mid", mid},          {"pid", pid},          {"content", content},
            {"assign-time", time}, {"create-time", time}, {"edit-time", time}};
}

} // namespace

class TestDmIo : public QObject, private InterchangeFixture
{
    Q_OBJECT

    static QString memosSeenBy(sqlite3 *handle)
    {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(handle,
                           "select group_concat(mid || ':' || content, '|') from (select * from memos order by mid)",
                           -1, &stmt, nullptr);
        QString seen;
        if (sqlite3_step(stmt) == SQLITE_ROW)
            seen = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        return seen;
    }
    // What a reader that is not the program finds in the data file.
    QString memosSeenByAnotherProcess()
    {
        sqlite3 *other = nullptr;
        sqlite3_open_v2(QFile::encodeName(path("qzData.qzb")).constData(), &other, SQLITE_OPEN_READONLY, nullptr);
        const QString seen = memosSeenBy(other);
        sqlite3_close(other);
        return seen;
    }

    void addMemo(const QByteArray &mid, const QByteArray &pid, const QByteArray &content, TDateTime time)
    {
        SqlQuery query(*db);
        OpenSql(query, QStringLiteral("select * from memos where 1=0"));
        query.insert();
        query.setText("mid", mid);
        query.setText("pid", pid);
        query.setText("content", content);
        query.setDateTime("assignTime", time);
        query.setDateTime("createTime", time - 1);
        query.setDateTime("editTime", time + 0.5);
        query.post();
    }

    // Columns left out of `values` stay NULL.
    void addTask(const QList<QPair<QString, QVariant>> &values)
    {
        SqlQuery query(*db);
        OpenSql(query, QStringLiteral("select * from tasks where 0=1"));
        query.insert();
        for (const auto &value : values) {
            if (value.second.typeId() == QMetaType::Double)
                query.setDateTime(value.first, value.second.toDouble());
            else
                query.setText(value.first, value.second.toByteArray());
        }
        query.post();
    }

    // The rows as the program reads them (NULL reads as "" or 0), ordered by id.
    QList<QStringList> rows(const QString &table, const QStringList &columns)
    {
        SqlQuery query(*db);
        OpenSql(query, QStringLiteral("select * from %1 order by %2").arg(table, columns[0]));
        QList<QStringList> result;
        for (; !query.eof(); query.next()) {
            QStringList row;
            for (const QString &column : columns) {
                row << (column.endsWith("Time") ? QString::number(query.asDateTime(column), 'g', 17)
                                                : QString::fromUtf8(query.text(column)));
            }
            result << row;
        }
        return result;
    }

    QString writeDocument(const QString &name, const QList<Attributes> &memos, const QList<Attributes> &tasks = {},
                          const QByteArray &app = "Clockvane", bool withApp = true)
    {
        Txmltry xml;
        Interchange::StartDocument(xml, kVersion);
        if (withApp)
            xml.SetAttr("brivel", "app", app);
        else
            xml.FindNode("brivel").remove_attribute("app");
        for (const auto &[listPath, element, records] :
             {std::tuple{"brivel,memos", "memo", memos}, std::tuple{"brivel,tasks", "task", tasks}}) {
            pugi::xml_node list = xml.FindNode(QString::fromLatin1(listPath));
            for (const Attributes &record : records) {
                pugi::xml_node node = list.append_child(element);
                for (const auto &attribute : record)
                    node.append_attribute(attribute.first.constData()).set_value(attribute.second.constData());
            }
        }
        const QString file = path(name);
        xml.SaveToFile(file);
        return file;
    }

    // Two top-level memos, one with two sub-memos (multi-line, non-ASCII, markup and a quote),
    // and two tasks, one with NULL columns.
    void fillSample()
    {
        addMemo("{M1}", "root", "first line\r\nsecond line\r\n\r\nlast", at(2008, 3, 5, 14, 7, 9));
        addMemo("{S1}", "{M1}", "Grüße, 日本語, emoji 😀 & <b>markup</b> \"quoted\" 'it''s'", at(2009, 1, 2, 3, 4, 5));
        addMemo("{S2}", "{M1}", "\ttab\r\n  indented", at(2010, 7, 8, 9, 10, 11));
        addMemo("{M2}", "root", "", at(2011, 12, 31, 23, 59, 59));
        addTask({{"tid", "{T1}"},
                 {"pid", "root"},
                 {"content", "task\r\ntwo lines"},
                 {"checkFlag", "1"},
                 {"alarmFlag", "0"},
                 {"dueFlag", "1"},
                 {"textColor", "255"},
                 {"backgroundColor", "16777215"},
                 {"createTime", at(2008, 1, 1, 0, 0, 0)},
                 {"editTime", at(2008, 1, 2, 12, 0, 1)},
                 {"checkTime", at(2008, 1, 3, 1, 2, 3)},
                 {"alarmTime", at(2008, 1, 4, 4, 5, 6)},
                 {"dueTime", at(2008, 1, 5, 7, 8, 9)}});
        addTask({{"tid", "{T2}"},
                 {"pid", "{T1}"},
                 {"content", "sub-task"},
                 {"checkFlag", "0"},
                 {"createTime", at(2008, 2, 1, 10, 0, 0)},
                 {"editTime", at(2008, 2, 1, 11, 0, 0)}});
    }

    void clearTables() { db->exec("delete from memos; delete from tasks;"); }

private slots:
    void initTestCase() { useZone("UTC"); }

    void init() { openFixture(); }

    void cleanup()
    {
        closeFixture();
        useZone("UTC");
    }

    void backupRestoreRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::newRow("UTC") << QByteArray("UTC");
        QTest::newRow("Asia/Kolkata") << QByteArray("Asia/Kolkata");
        QTest::newRow("America/New_York") << QByteArray("America/New_York");
    }
    void backupRestoreRoundTrip()
    {
        QFETCH(QByteArray, zone);
        useZone(zone);
        fillSample();
        const QList<QStringList> memos = rows("memos", kMemoColumns);
        const QList<QStringList> tasks = rows("tasks", kTaskColumns);

        TIoDm io(*db, kVersion, scripted);
        scripted.nextFile = path("backup.qzx");
        QVERIFY(io.Backup());
        QCOMPARE(scripted.dialogKinds, QList<ScriptedQuestions::Kind>{ScriptedQuestions::Kind::Save});
        QCOMPARE(scripted.dialogs[0].filter, QStringLiteral("Brivel Database,  (*.qzx)|*.qzx"));
        QCOMPARE(scripted.dialogs[0].defaultExt, QStringLiteral("*.qzx"));

        Txmltry xml;
        xml.LoadFromFile(scripted.nextFile);
        QCOMPARE(QByteArray(xml.FindNode("brivel").attribute("app").value()), QByteArray("Clockvane"));
        QCOMPARE(QString::fromUtf8(xml.FindNode("brivel").attribute("appversion").value()), kVersion);
        QCOMPARE(xml.ChildCount("brivel,memos"), 4);
        QCOMPARE(xml.ChildCount("brivel,tasks"), 2);
        const QStringList taskElements = elementsOf(xml, "brivel,tasks");
        QVERIFY2(taskElements[1].startsWith("task: tid={T2}, pid={T1}, content=sub-task, check-flag=0, alarm-flag=, "
                                            "due-flag=, text-color=, background-color=, create-time="),
                 qPrintable(taskElements[1]));
        QVERIFY(taskElements[1].contains("alarm-time=1899-12-30T00:00:00.000"));

        clearTables();
        QVERIFY(io.Restore());
        QCOMPARE(boxes, QStringList());
        QVERIFY(scripted.asked.isEmpty()); // nothing was stored, so nothing is asked
        QCOMPARE(rows("memos", kMemoColumns), memos);
        QCOMPARE(rows("tasks", kTaskColumns), tasks);
        // A NULL time comes back as the stored zero date-time.
        SqlQuery query(*db);
        OpenSql(query, "select typeof(alarmTime), alarmTime from tasks where tid='{T2}'");
        QCOMPARE(query.textAt(0), QByteArray("real"));
        QCOMPARE(query.dateTimeAt(1), 0.0);
    }

    void restoreAnswers_data()
    {
        QTest::addColumn<QList<ReplaceAnswer>>("script");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QStringList>("replaced"); // of the stored {A}, {B}, {T}
        QTest::addColumn<QStringList>("inserted"); // of the new {C}, {U}
        using A = ReplaceAnswer;
        QTest::newRow("yes to each") << QList<A>{A::Yes, A::Yes, A::Yes} << 3 << QStringList{"{A}", "{B}", "{T}"}
                                     << QStringList{"{C}", "{U}"};
        QTest::newRow("no to each") << QList<A>{A::No, A::No, A::No} << 3 << QStringList{} << QStringList{"{C}", "{U}"};
        QTest::newRow("closed, yes, closed")
            << QList<A>{A::Cancel, A::Yes, A::Cancel} << 3 << QStringList{"{B}"} << QStringList{"{C}", "{U}"};
        QTest::newRow("all carries into tasks")
            << QList<A>{A::YesToAll} << 1 << QStringList{"{A}", "{B}", "{T}"} << QStringList{"{C}", "{U}"};
        QTest::newRow("yes, then all") << QList<A>{A::Yes, A::YesToAll} << 2 << QStringList{"{A}", "{B}", "{T}"}
                                       << QStringList{"{C}", "{U}"};
        QTest::newRow("abort at once") << QList<A>{A::Abort} << 1 << QStringList{} << QStringList{};
        QTest::newRow("no, then abort skips tasks")
            << QList<A>{A::No, A::Abort} << 2 << QStringList{} << QStringList{"{C}"};
        QTest::newRow("abort in tasks") << QList<A>{A::Yes, A::Yes, A::Abort} << 3 << QStringList{"{A}", "{B}"}
                                        << QStringList{"{C}"};
    }
    void restoreAnswers()
    {
        QFETCH(QList<ReplaceAnswer>, script);
        QFETCH(int, questions);
        QFETCH(QStringList, replaced);
        QFETCH(QStringList, inserted);
        addMemo("{A}", "root", "stored A\r\nsecond line", at(2001, 1, 1, 1, 1, 1));
        addMemo("{B}", "root", "stored B", at(2002, 2, 2, 2, 2, 2));
        db->exec("update memos set expandFlag=1 where mid='{B}'");
        addTask({{"tid", "{T}"}, {"pid", "root"}, {"content", "stored T"}, {"editTime", at(2003, 3, 3, 3, 3, 3)}});
        // File order: A, C (not stored), B; tasks T, U (not stored).
        const QString file = writeDocument(
            "restore.qzx",
            {memoAttributes("{A}", "root", "file A\nline two", "2008-03-05T14:07:09.000+01:00"),
             memoAttributes("{C}", "root", "file C"), memoAttributes("{B}", "root", "file B")},
            {{{"tid", "{T}"},
              {"pid", "root"},
              {"content", "file T"},
              {"check-flag", "1"},
              {"alarm-flag", "0"},
              {"due-flag", "0"},
              {"text-color", "1"},
              {"background-color", "2"},
              {"create-time", "2008-03-05T14:07:09Z"},
              {"edit-time", "2008-04-05T00:00:00Z"},
              {"check-time", "2008-03-05T14:07:09Z"},
              {"alarm-time", "2008-03-05T14:07:09Z"},
              {"due-time", "2008-03-05T14:07:09Z"}},
             {{"tid", "{U}"},
              {"pid", "{T}"},
              {"content", "file U"},
              {"check-flag", ""},
              {"alarm-flag", ""},
              {"due-flag", ""},
              {"text-color", ""},
              {"background-color", ""},
              {"create-time", "2008-03-05T14:07:09Z"},
              {"edit-time", "2008-03-05T14:07:09Z"},
              {"check-time", "2008-03-05T14:07:09Z"},
              {"alarm-time", "2008-03-05T14:07:09Z"},
              {"due-time", "2008-03-05T14:07:09Z"}}});
        scripted.answers = script;
        scripted.nextFile = file;
        // While a question waits, what has been stored so far is in the file: another
        // connection sees exactly what the program's own connection sees.
        QStringList seenWhileAsking;
        scripted.whileAsking = [&] {
            seenWhileAsking << memosSeenBy(db->handle()) + " / " + memosSeenByAnotherProcess();
        };
        TIoDm io(*db, kVersion, scripted);
        QVERIFY(io.Restore()); // an Abort counts as success
        for (const QString &seen : seenWhileAsking) {
            const QStringList sides = seen.split(" / ");
            QCOMPARE(sides.value(1), sides.value(0));
        }
        QCOMPARE(boxes, QStringList());
        QCOMPARE(scripted.asked.size(), questions);
        QCOMPARE(scripted.replaceQuestionsEnded, 1);
        QCOMPARE(scripted.dialogKinds, QList<ScriptedQuestions::Kind>{ScriptedQuestions::Kind::Open});
        QCOMPARE(scripted.dialogs[0].filter, QStringLiteral("Brivel Database, (*.qzx)|*.qzx"));

        // What the first question showed.
        QCOMPARE(scripted.asked[0].caption, QStringLiteral("Would you like to replace the existing memo"));
        QCOMPARE(scripted.asked[0].oldTitle, QStringLiteral("stored A  second line"));
        QCOMPARE(scripted.asked[0].oldTime, "modified: " + OleDateTime::toDisplayText(at(2001, 1, 1, 1, 1, 1) + 0.5));
        QCOMPARE(scripted.asked[0].newTitle, QStringLiteral("file A line two"));
        QCOMPARE(scripted.asked[0].newTime, "modified: " + OleDateTime::toDisplayText(at(2008, 3, 5, 13, 7, 9)));
        if (questions == 3) {
            QCOMPARE(scripted.asked[2].caption, QStringLiteral("Would you like to replace the existing task"));
            QCOMPARE(scripted.asked[2].newTime, "modified: " + OleDateTime::toDisplayText(at(2008, 4, 5, 0, 0, 0)));
        }

        const QHash<QString, QString> stored{{"{A}", "stored A\r\nsecond line"},
                                             {"{B}", "stored B"},
                                             {"{T}", "stored T"}};
        const QHash<QString, QString> fromFile{{"{A}", "file A\r\nline two"},
                                               {"{B}", "file B"},
                                               {"{T}", "file T"},
                                               {"{C}", "file C"},
                                               {"{U}", "file U"}};
        QHash<QString, QString> expected = stored;
        for (const QString &id : replaced + inserted)
            expected[id] = fromFile[id];
        QHash<QString, QString> actual;
        for (const auto &table : {std::pair{"memos", "mid"}, std::pair{"tasks", "tid"}}) {
            const QStringList ids = column(table.first, table.second);
            const QStringList contents = column(table.first, "content");
            for (int i = 0; i < ids.size(); ++i)
                actual[ids[i]] = contents[i];
        }
        QCOMPARE(actual, expected);
        // A replaced memo keeps its expand state; the file does not carry it.
        QCOMPARE(column("memos", "expandFlag").value(column("memos", "mid").indexOf("{B}")), QStringLiteral("1"));
    }

    void importTwiceMakesTwoCopies()
    {
        fillSample();
        const QString file = path("import.qzx");
        TIoDm io(*db, kVersion, scripted);
        QVERIFY(io.BackupTo(file));
        const QList<QStringList> original = rows("memos", kMemoColumns);
        clearTables();

        scripted.nextFile = file;
        QVERIFY(io.Import());
        QVERIFY(io.Import());
        QCOMPARE(boxes, QStringList());
        QVERIFY(scripted.asked.isEmpty());
        QCOMPARE(scripted.dialogKinds, QList<ScriptedQuestions::Kind>(2, ScriptedQuestions::Kind::Open));

        const QList<QStringList> memos = rows("memos", kMemoColumns);
        QCOMPARE(memos.size(), 8);
        QSet<QString> mids;
        for (const QStringList &memo : memos) {
            mids.insert(memo[0]);
            QCOMPARE(memo[0].size(), 38);
            QVERIFY(!QStringList({"{M1}", "{M2}", "{S1}", "{S2}"}).contains(memo[0]));
        }
        QCOMPARE(mids.size(), 8);
        // Each copy keeps its sub-memos under its own new memo, with every other column equal.
        for (const QStringList &memo : memos) {
            const auto source = std::find_if(original.begin(), original.end(),
                                             [&](const QStringList &o) { return o.mid(2) == memo.mid(2); });
            QVERIFY(source != original.end());
            if ((*source)[1] == "root") {
                QCOMPARE(memo[1], QStringLiteral("root"));
            } else {
                const auto parent = std::find_if(memos.begin(), memos.end(),
                                                 [&](const QStringList &p) { return p[0] == memo[1]; });
                QVERIFY(parent != memos.end());
                QCOMPARE((*parent)[2], QStringLiteral("first line\r\nsecond line\r\n\r\nlast"));
            }
        }
        const QList<QStringList> tasks = rows("tasks", kTaskColumns);
        QCOMPARE(tasks.size(), 4);
        for (const QStringList &task : tasks) {
            if (task[2] == "sub-task")
                QVERIFY(std::any_of(tasks.begin(), tasks.end(), [&](const QStringList &t) { return t[0] == task[1]; }));
        }
    }

    void importKeepsSubMemosWithTheirParents_data()
    {
        QTest::addColumn<QList<Attributes>>("records");
        QTest::addColumn<QStringList>("parents"); // expected parent content per content, in file order
        QTest::newRow("sub-memo before its parent")
            << QList<Attributes>{memoAttributes("{S}", "{P}", "sub"), memoAttributes("{P}", "root", "parent"),
                                 memoAttributes("{S2}", "{P}", "sub 2")}
            << QStringList{"parent", "root", "parent"};
        QTest::newRow("parent not in the file")
            << QList<Attributes>{memoAttributes("{X}", "{GONE}", "orphan"), memoAttributes("{P}", "root", "parent"),
                                 memoAttributes("{S}", "{P}", "sub"), memoAttributes("{Y}", "{GONE}", "orphan 2")}
            << QStringList{"root", "root", "parent", "root"};
        QTest::newRow("parent is itself a sub-memo")
            << QList<Attributes>{memoAttributes("{P}", "root", "parent"), memoAttributes("{S}", "{P}", "sub"),
                                 memoAttributes("{D}", "{S}", "deep")}
            << QStringList{"root", "parent", "root"};
    }
    void importKeepsSubMemosWithTheirParents()
    {
        QFETCH(QList<Attributes>, records);
        QFETCH(QStringList, parents);
        TIoDm io(*db, kVersion, scripted);
        QVERIFY(io.ImportFrom(writeDocument("subs.qzx", records)));
        QCOMPARE(boxes, QStringList());
        const QStringList mids = column("memos", "mid");
        const QStringList pids = column("memos", "pid");
        const QStringList contents = column("memos", "content");
        QCOMPARE(contents.size(), parents.size());
        for (int i = 0; i < contents.size(); ++i) {
            const QString parent = pids[i] == "root" ? QStringLiteral("root") : contents.value(mids.indexOf(pids[i]));
            QCOMPARE(parent, parents[i]);
        }
    }

    void exportWritesRecordsInTheirOrder_data()
    {
        QTest::addColumn<QStringList>("records"); // "mid pid" per record, in the order given
        QTest::newRow("memos with their sub-memos")
            << QStringList{"{M1} root", "{S1} {M1}", "{S2} {M1}", "{M2} root", "{S4} {M2}"};
        QTest::newRow("sub-memos as top-level memos") << QStringList{"{S1} root", "{S3} root"};
        QTest::newRow("pids written as given, in any order") << QStringList{"{S1} {M1}", "{M1} root"};
        QTest::newRow("no records") << QStringList{};
    }
    void exportWritesRecordsInTheirOrder()
    {
        QFETCH(QStringList, records);
        std::vector<MemoRecord> memos;
        for (const QString &midPid : records) {
            MemoRecord memo;
            memo.mid = midPid.section(' ', 0, 0).toLatin1();
            memo.pid = midPid.section(' ', 1, 1).toLatin1();
            memo.content = memo.mid == "{M1}" ? QByteArray("memo\r\ntwo lines") : "text of " + memo.mid;
            memo.expandFlag = true; // never written
            memo.assignTime = at(2008, 3, 5, 14, 7, 9);
            memo.createTime = at(2008, 3, 5, 14, 7, 9) + 0.25;
            memo.editTime = 0;
            memos.push_back(memo);
        }

        const QString file = path("export.qzx");
        QVERIFY(ExportMemos(file, memos, kVersion));
        QCOMPARE(boxes, QStringList());
        Txmltry xml;
        xml.LoadFromFile(file);
        QCOMPARE(QByteArray(xml.FindNode("brivel").attribute("app").value()), QByteArray("Clockvane"));
        QCOMPARE(QString::fromUtf8(xml.FindNode("brivel").attribute("appversion").value()), kVersion);
        QCOMPARE(xml.ChildCount("brivel,tasks"), 0);
        QCOMPARE(xml.ChildCount("brivel,notes"), 0);
        QCOMPARE(xml.ChildCount("brivel,peers"), 0);
        QStringList midPid;
        for (pugi::xml_node memo : xml.FindNode("brivel,memos").children())
            midPid << QString::fromUtf8(memo.attribute("mid").value()) + ' ' + memo.attribute("pid").value();
        QCOMPARE(midPid, records);
        const QStringList elements = elementsOf(xml, "brivel,memos");
        const int m1 = records.indexOf("{M1} root");
        if (m1 >= 0) {
            QCOMPARE(elements[m1], QStringLiteral("memo: mid={M1}, pid=root, content=memo\r\ntwo lines, "
                                                  "assign-time=2008-03-05T14:07:09.000Z, "
                                                  "create-time=2008-03-05T20:07:09.000Z, "
                                                  "edit-time=1899-12-30T00:00:00.000Z"));
        }
    }

    void exportCommand_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<bool>("selectSome");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("expectedBoxes");
        QTest::addColumn<int>("dialogsShown");
        QTest::addColumn<bool>("written");
        QTest::newRow("while editing") << true << true << "out.qzx" << QStringList{} << 0 << false;
        QTest::newRow("nothing selected")
            << false << false << "out.qzx" << QStringList{"Warning: Please select a memo!"} << 0 << false;
        QTest::newRow("dialog cancelled") << false << true << "" << QStringList{} << 1 << false;
        QTest::newRow("file chosen") << false << true << "out.qzx" << QStringList{} << 1 << true;
    }
    void exportCommand()
    {
        QFETCH(bool, editing);
        QFETCH(bool, selectSome);
        QFETCH(QString, chosen);
        QFETCH(QStringList, expectedBoxes);
        QFETCH(int, dialogsShown);
        QFETCH(bool, written);
        std::vector<MemoRecord> selected; // what a selection of one memo exports
        if (selectSome) {
            selected.emplace_back();
            selected.back().mid = "{M}";
            selected.back().pid = "root";
        }
        scripted.nextFile = chosen.isEmpty() ? QString() : path(chosen);
        RunExportCommand(editing, selected, kVersion, scripted);
        QCOMPARE(boxes, expectedBoxes);
        QCOMPARE(scripted.dialogs.size(), dialogsShown);
        if (dialogsShown) {
            QCOMPARE(scripted.dialogKinds[0], ScriptedQuestions::Kind::Save);
            QCOMPARE(scripted.dialogs[0].filter, QStringLiteral("Brivel Database,  (*.qzx)|*.qzx"));
        }
        QCOMPARE(QFile::exists(path("out.qzx")), written);
    }

    void unusableFileChangesNothing_data()
    {
        QTest::addColumn<bool>("import");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("expectedBoxes");
        for (const bool import : {false, true}) {
            const char *op = import ? "import: " : "restore: ";
            QTest::addRow("%sapp in lower case", op)
                << import << "lowercase" << QStringList{"Error: Data mismatch: clockvaneClockvane"};
            QTest::addRow("%sapp missing", op)
                << import << "noapp"
                << QStringList{"Error: brivel: app not Exist !", "Error: Data mismatch: Clockvane"};
            QTest::addRow("%snot a container", op) << import << "garbage" << QStringList{"Error: File read failure!"};
            QTest::addRow("%smissing file", op) << import << "missing" << QStringList{"Error: File read failure!"};
        }
    }
    void unusableFileChangesNothing()
    {
        QFETCH(bool, import);
        QFETCH(QString, kind);
        QFETCH(QStringList, expectedBoxes);
        addMemo("{A}", "root", "stored", at(2001, 1, 1, 1, 1, 1));
        const QList<QStringList> before = rows("memos", kMemoColumns);
        const QList<Attributes> records{memoAttributes("{A}", "root", "file"), memoAttributes("{N}", "root", "new")};
        QString file = path("missing.qzx");
        if (kind == "lowercase")
            file = writeDocument("lower.qzx", records, {}, "clockvane");
        else if (kind == "noapp")
            file = writeDocument("noapp.qzx", records, {}, "", false);
        else if (kind == "garbage") {
            file = path("garbage.qzx");
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write("\x10\0\0\0\0\0\0\0this is not compressed", 30);
        }
        scripted.answers = {ReplaceAnswer::YesToAll};
        TIoDm io(*db, kVersion, scripted);
        QVERIFY(!(import ? io.ImportFrom(file) : io.RestoreFrom(file)));
        QCOMPARE(boxes, expectedBoxes);
        QVERIFY(scripted.asked.isEmpty());
        QCOMPARE(scripted.replaceQuestionsEnded, import ? 0 : 1); // a failed restore ends its questions too
        QCOMPARE(rows("memos", kMemoColumns), before);
    }

    void failureKeepsEarlierRows_data()
    {
        QTest::addColumn<bool>("import");
        QTest::addColumn<QString>("kind");
        for (const bool import : {false, true}) {
            const char *op = import ? "import: " : "restore: ";
            QTest::addRow("%smalformed time", op) << import << "malformed";
            QTest::addRow("%smissing time attribute", op) << import << "missing";
            QTest::addRow("%sdatabase error", op) << import << "database";
        }
    }
    void failureKeepsEarlierRows()
    {
        QFETCH(bool, import);
        QFETCH(QString, kind);
        Attributes broken = memoAttributes("{B}", "root", "second");
        QStringList expectedBoxes;
        const auto parseMessage = [](const QString &text) {
            try {
                ParseInterchangeTime(text, 0);
            } catch (const JotterlyError &error) {
                return "Error: " + error.message();
            }
            return QString("no failure");
        };
        if (kind == "malformed") {
            broken[4].second = "2008-02-30T00:00:00Z"; // create-time: a day that does not exist
            expectedBoxes << parseMessage("2008-02-30T00:00:00Z");
        } else if (kind == "missing") {
            broken.removeAt(3); // assign-time
            expectedBoxes << "Error: brivel,memos,memo#1: assign-time not Exist !" << parseMessage("");
        } else {
            // A constraint the second row breaks: the database refuses it.
            db->exec("create unique index memos_content on memos(content)");
            broken[2].second = "first";
            expectedBoxes << "Error: UNIQUE constraint failed: memos.content";
        }
        const QString file = writeDocument(
            "broken.qzx", {memoAttributes("{A}", "root", "first"), broken, memoAttributes("{C}", "root", "third")});
        TIoDm io(*db, kVersion, scripted);
        QVERIFY(!(import ? io.ImportFrom(file) : io.RestoreFrom(file)));
        QCOMPARE(boxes, expectedBoxes);
        QVERIFY(!db->inTransaction());
        QCOMPARE(column("memos", "content"), QStringList{"first"});
    }

    void bulkWorkLeavesTheConnectionAsFound()
    {
        const auto cacheSize = [this] {
            SqlQuery query(*db);
            OpenSql(query, "PRAGMA cache_size");
            return query.textAt(0);
        };
        const QByteArray before = cacheSize();
        const QString file = writeDocument("one.qzx", {memoAttributes("{A}", "root", "one")});
        TIoDm io(*db, kVersion, scripted);
        QVERIFY(io.ImportFrom(file));
        QCOMPARE(cacheSize(), before);
        QVERIFY(!db->inTransaction());

        // A caller's transaction is joined, not committed.
        db->beginTransaction();
        QVERIFY(io.RestoreFrom(file));
        QVERIFY(db->inTransaction());
        db->exec("ROLLBACK");
        QCOMPARE(column("memos", "content"), QStringList{"one"});
    }

    void missingContentReadsEmpty()
    {
        Attributes record = memoAttributes("{A}", "root", "unused");
        record.removeAt(2);
        const QString file = writeDocument("nocontent.qzx", {memoAttributes("{B}", "root", "before"), record});
        // While the box is shown, the memo imported before it is in the file already.
        QStringList seenDuringBox;
        Boxes::setPresenter([&](const QString &caption, const QString &text, Boxes::Buttons, Boxes::Icon) {
            boxes << caption + ": " + text;
            seenDuringBox << memosSeenByAnotherProcess();
            return int(Boxes::IdOk);
        });
        TIoDm io(*db, kVersion, scripted);
        QVERIFY(io.ImportFrom(file));
        QCOMPARE(boxes, QStringList{"Error: brivel,memos,memo#1: content not Exist !"});
        QCOMPARE(seenDuringBox.size(), 1);
        QVERIFY2(seenDuringBox[0].contains(":before"), qPrintable(seenDuringBox[0]));
        QCOMPARE(column("memos", "content"), (QStringList{"before", ""}));
    }

    void failedWriteKeepsOlderFile_data()
    {
        QTest::addColumn<bool>("exportMemos");
        QTest::newRow("backup") << false;
        QTest::newRow("export") << true;
    }
    void failedWriteKeepsOlderFile()
    {
        QFETCH(bool, exportMemos);
        // Incompressible text, so the file grows past the size limit set below.
        std::vector<MemoRecord> selected;
        for (int i = 0; i < 60; ++i) {
            QByteArray noise(1024, '\0');
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
            const QByteArray text = noise.toBase64();
            const QByteArray mid = "{" + QByteArray::number(i) + "}";
            addMemo(mid, "root", text, at(2008, 1, 1, 0, 0, 0));
            MemoRecord memo;
            memo.mid = mid;
            memo.pid = "root";
            memo.content = text;
            selected.push_back(memo);
        }
        const QString file = path("older.qzx");
        QFile older(file);
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("an older backup");
        older.close();

        // Writes past 16 KiB fail with EFBIG, as on a full disk.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = 16 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        TIoDm io(*db, kVersion, scripted);
        const bool result = exportMemos ? ExportMemos(file, selected, kVersion) : io.BackupTo(file);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!result);
        QCOMPARE(boxes, QStringList{exportMemos ? "Error: File Write Failure !" : "Error: File write failure!"});
        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(older.readAll(), QByteArray("an older backup"));
        QCOMPARE(QDir(dir->path()).entryList({"*.qzx*"}, QDir::Files | QDir::Hidden), QStringList{"older.qzx"});
    }

    void backupDatabaseFailureEscapes()
    {
        addMemo("{A}", "root", "stored", at(2001, 1, 1, 1, 1, 1));
        db->exec("drop table tasks");
        TIoDm io(*db, kVersion, scripted);
        const QString file = path("never.qzx");
        QVERIFY_THROWS_EXCEPTION(JotterlyError, io.BackupTo(file));
        QVERIFY(!QFile::exists(file));
        QCOMPARE(boxes, QStringList());
    }

    void cancelledDialogChangesNothing()
    {
        addMemo("{A}", "root", "stored", at(2001, 1, 1, 1, 1, 1));
        const QString file = writeDocument("other.qzx", {memoAttributes("{N}", "root", "new")});
        const QList<QStringList> before = rows("memos", kMemoColumns);
        TIoDm io(*db, kVersion, scripted);
        QVERIFY(!io.Backup());
        QVERIFY(!io.Restore());
        QVERIFY(!io.Import());
        QCOMPARE(scripted.dialogs.size(), 3);
        QCOMPARE(boxes, QStringList());
        QCOMPARE(rows("memos", kMemoColumns), before);
        QCOMPARE(QDir(dir->path()).entryList({"*.qzx"}, QDir::Files), QStringList{"other.qzx"});

        // The engine asks by the dialog's name, with no start path of its own: offering the
        // name chosen last is the dialogs' part (tst_interchangedialogs).
        scripted.nextFile = file;
        scripted.answers = {ReplaceAnswer::No};
        QVERIFY(io.Restore());
        scripted.nextFile.clear();
        QVERIFY(!io.Import());
        QStringList names;
        for (const FileNameRequest &request : scripted.dialogs) {
            names << request.name;
            QVERIFY(request.startPath.isEmpty());
        }
        QCOMPARE(names, QStringList({"ExportDialog", "OpenDialog1", "OpenDialog1", "OpenDialog1", "OpenDialog1"}));
        // {N} is not stored, so nothing was asked; the restore that read the file (and only
        // that one) ended its questions.
        QVERIFY(scripted.asked.isEmpty());
        QCOMPARE(scripted.replaceQuestionsEnded, 1);
    }

    void emptyDatabaseBackup()
    {
        TIoDm io(*db, kVersion, scripted);
        const QString file = path("empty.qzx");
        QVERIFY(io.BackupTo(file));
        Txmltry xml;
        xml.LoadFromFile(file);
        QCOMPARE(xml.ChildCount("brivel"), 4);
        QCOMPARE(xml.ChildCount("brivel,memos"), 0);
        QCOMPARE(xml.ChildCount("brivel,tasks"), 0);
        QVERIFY(io.RestoreFrom(file));
        QVERIFY(io.ImportFrom(file));
        QCOMPARE(boxes, QStringList());
        QVERIFY(rows("memos", kMemoColumns).isEmpty());
        QVERIFY(rows("tasks", kTaskColumns).isEmpty());
    }

    void timeTextsMatchTheGeneralFormat_data()
    {
        QTest::addColumn<int>("bias");
        QTest::newRow("UTC") << 0;
        QTest::newRow("one hour east") << -60;
        QTest::newRow("five and a half east") << -330;
        QTest::newRow("five hours west") << 300;
    }
    void timeTextsMatchTheGeneralFormat()
    {
        QFETCH(int, bias);
        Interchange::TimeTextWriter writer(bias);
        QList<double> values{0.0,           -0.25,     -1.5,      1e-9,       0.999999999, 39512.588299,
                             2958465.99999, -657434.5, -700000.0, 3000000.25, 1e12,        std::nan("")};
        QRandomGenerator random(7);
        for (int i = 0; i < 2000; ++i)
            values << (random.bounded(4000000.0) - 700000.0);
        for (const double value : values)
            QCOMPARE(QString::fromLatin1(writer.text(value)), FormatInterchangeTime(value, bias));
    }
};

QTEST_GUILESS_MAIN(TestDmIo)
#include "tst_dmio.moc"
