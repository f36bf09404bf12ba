// A memo tree frame on a temporary data file and configuration file, shown offscreen in
// a host window, with message boxes answered by the test and a recording of them. Tests
// drive the frame as a user would: they find its parts by name, as they appear on the
// screen, and use the frame's commands and messages; they never write its state.
#pragma once

#include "Boxes.h"
#include "Fr_qzMemos.h"
#include "IniFile.h"
#include "MemoFrameContext.h"
#include "MemoSearchBar.h"
#include "Messages.h"
#include "OutlineEditor.h"
#include "ScriptedQuestions.h"
#include "SqlConnection.h"
#include "TQzStatusBar.h"
#include "TipPanel.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sqlite3.h>

struct ShownBox
{
    QString caption;
    QString text;
};

// True for an id as the program makes them: a braced upper-case GUID.
inline bool isMemoId(const QByteArray &mid)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"));
    return pattern.match(QString::fromLatin1(mid)).hasMatch();
}

class MemoFrameFixture
{
public:
    MemoFrameFixture()
    {
        db.open(dir.filePath(QStringLiteral("qzData.qzb")));
        previousPresenter = Boxes::setPresenter(
            [this](const QString &caption, const QString &text, Boxes::Buttons, Boxes::Icon) {
                boxes.push_back({caption, text});
                return answer;
            });
    }
    ~MemoFrameFixture()
    {
        host.reset();
        Boxes::setPresenter(previousPresenter);
    }

    QString iniPath() const { return dir.filePath(QStringLiteral("qzConf.ini")); }

    void exec(const QString &sql)
    {
        char *error = nullptr;
        if (sqlite3_exec(db.handle(), sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            const QString message = QString::fromUtf8(error);
            sqlite3_free(error);
            QFAIL(qPrintable(message));
        }
    }

    void addRow(const QString &mid, const QString &pid, const QByteArray &content, bool expanded = false,
                double createTime = 46000.5)
    {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db.handle(),
                           "insert into memos(mid,pid,content,expandFlag,assignTime,createTime,editTime) "
                           "values(?,?,?,?,?,?,?)",
                           -1, &stmt, nullptr);
        const QByteArray midBytes = mid.toUtf8(), pidBytes = pid.toUtf8();
        sqlite3_bind_text(stmt, 1, midBytes.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 2, pidBytes.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 3, content.constData(), static_cast<int>(content.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(stmt, 4, expanded ? 1 : 0);
        sqlite3_bind_double(stmt, 5, createTime);
        sqlite3_bind_double(stmt, 6, createTime);
        sqlite3_bind_double(stmt, 7, createTime);
        QCOMPARE(sqlite3_step(stmt), SQLITE_DONE);
        sqlite3_finalize(stmt);
    }

    // One text column of the row with the given mid; a null QByteArray when there is none.
    QByteArray column(const QString &mid, const char *name)
    {
        const QByteArray sql = QByteArray("select ") + name + " from memos where mid=?";
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db.handle(), sql.constData(), -1, &stmt, nullptr);
        const QByteArray midBytes = mid.toUtf8();
        sqlite3_bind_text(stmt, 1, midBytes.constData(), -1, SQLITE_TRANSIENT);
        QByteArray value;
        if (sqlite3_step(stmt) == SQLITE_ROW) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
            value = text ? QByteArray(text) : QByteArray("");
        }
        sqlite3_finalize(stmt);
        return value;
    }

    int count(const QString &where = QString())
    {
        const QByteArray sql = ("select count(*) from memos " + where).toUtf8();
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db.handle(), sql.constData(), -1, &stmt, nullptr);
        sqlite3_step(stmt);
        const int n = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        return n;
    }

    int totalChanges() { return sqlite3_total_changes(db.handle()); }

    // Shows the frame the way the main window does at its first show: the load message,
    // then the set-up message.
    void start(bool setup = true)
    {
        host = std::make_unique<QMainWindow>();
        host->resize(420, 560);
        MemoFrameContext context;
        context.connection = &db;
        context.iniPath = iniPath();
        context.pictures = &pictures;
        context.hostWindow = host.get();
        context.questions = &questions;
        context.dataDir = dir.path() + QLatin1Char('/');
        frame = new TqzMemosFrame(context, host.get());
        host->setCentralWidget(frame);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
        host->activateWindow();
        QCoreApplication::postEvent(frame, new QEvent(Msg::ReloadMemos));
        if (setup)
            QCoreApplication::postEvent(frame, new QEvent(Msg::SetupTree));
        settle();
    }

    // Loads every memo again, as after a restore or an import.
    void reload()
    {
        QCoreApplication::postEvent(frame, new QEvent(Msg::ReloadMemos));
        settle();
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // The frame's parts, found by the names they carry.
    template<class Part>
    Part *part(const char *name) const
    {
        Part *found = frame->findChild<Part *>(QLatin1String(name));
        [&] { QVERIFY2(found, name); }();
        return found;
    }
    OutlineView *view() const { return part<OutlineView>("VtMemos"); }
    OutlineTree &tree() { return view()->tree(); }
    OutlineEditor *editor() { return view()->editorWidget(); }
    TipPanel *tip() const { return part<TipPanel>("Panel_tip"); }
    MemoSearchBar *searchBar() const { return part<MemoSearchBar>("ToolBar_Bottom"); }
    QLineEdit *searchBox() const { return part<QLineEdit>("Edt_Search"); }
    TQzStatusBar *statusBar() const { return part<TQzStatusBar>("QzStatusBar1"); }
    QLabel *statusImage() const { return part<QLabel>("StatusImage"); }
    QTimer *hoverTimer() const { return part<QTimer>("Timer_HotDelay"); }

    // Selects the node alone, as a click on its row does.
    void selectOnly(OutlineNode *node)
    {
        tree().clearSelection();
        tree().setSelected(node, true);
    }

    // Clicks into the search box (entering search mode) and types the text.
    void typeSearch(const QString &text)
    {
        searchBox()->setFocus(Qt::MouseFocusReason);
        settle();
        QTest::keyClicks(searchBox(), text);
        settle();
    }

    // The context menu the tree opens over the node (or over blank area for null).
    QMenu *contextMenu(OutlineNode *node) const { return view()->OnGetPopupMenu(node); }
    // A menu of the menu bar that the frame installed in its window, by caption.
    QMenu *menuBarMenu(const QString &caption) const { return submenu(host->menuBar()->actions(), caption); }
    static QMenu *submenu(const QList<QAction *> &items, const QString &caption)
    {
        for (QAction *item : items)
            if (item->menu() && item->text() == caption)
                return item->menu();
        [&] { QFAIL(qPrintable("no menu " + caption)); }();
        return nullptr;
    }

    // True when the view commands store their settings; they must never stay blocked,
    // whatever happened while the settings were read. Leaves the view as it was.
    bool viewCommandsRespond()
    {
        QAction *list = frame->Action_ViewList;
        const bool before = list->isChecked();
        list->trigger();
        const bool stored = IniFile::ReadBool(iniPath(), "memo", "viewListEn", before) != before;
        list->trigger();
        return stored;
    }

    // The text the tree shows in the node's row.
    QString shownText(OutlineNode *node) const { return view()->OnGetText(node, OutlineView::kWholeText); }
    // The texts of every row the tree shows, top to bottom.
    QStringList shownRows() const
    {
        QStringList rows;
        for (int i = 0; i < view()->shownRowCount(); ++i)
            rows << shownText(view()->shownRow(i));
        return rows;
    }

    // The texts of the top-level memos (or of one memo's sub-memos) in tree order.
    QList<QByteArray> texts(OutlineNode *parent = nullptr)
    {
        QList<QByteArray> result;
        const int n = parent ? parent->childCount() : tree().topLevelCount();
        for (int i = 0; i < n; ++i)
            result << memoOf(parent ? parent->child(i) : tree().topLevelNode(i))->content;
        return result;
    }

    OutlineNode *findNode(const QByteArray &content)
    {
        for (OutlineNode *node = tree().firstNode(); node; node = OutlineTree::nextNode(node))
            if (memoOf(node)->content == content)
                return node;
        return nullptr;
    }

    // Types into the open editor and commits with Ctrl+Enter.
    void typeAndCommit(const QString &text)
    {
        QVERIFY(editor());
        if (!text.isEmpty())
            QTest::keyClicks(editor(), text);
        QTest::keyClick(editor(), Qt::Key_Return, Qt::ControlModifier);
        settle();
    }

    QTemporaryDir dir;
    ScriptedQuestions questions; // file names for the export and listing commands
    SqlConnection db;
    BackgroundPictures pictures;
    std::unique_ptr<QMainWindow> host;
    TqzMemosFrame *frame = nullptr;
    std::vector<ShownBox> boxes;
    int answer = Boxes::IdOk;

private:
    Boxes::Presenter previousPresenter;
};

// The middle of a shown row, in the tree's viewport.
inline QPoint rowCenter(MemoFrameFixture &f, OutlineNode *node)
{
    const QRect rect = f.view()->nodeRect(node);
    [&] { QVERIFY2(!rect.isEmpty(), "row out of sight"); }();
    return rect.center();
}

// A point of blank tree area below the last row.
inline QPoint blankBelowRows(MemoFrameFixture &f)
{
    const QPoint pos(40, f.view()->viewport()->height() - 3);
    [&] { QVERIFY(!f.view()->nodeAt(pos)); }();
    return pos;
}
