// Adding, editing and storing memos in place, driven through the keyboard.
#include "MemoFrameFixture.h"
#include "MemoMessages.h"
#include "TextHelpers.h"

#include <QLineEdit>
#include <QRegularExpression>

class TstMemoEdit : public QObject
{
    Q_OBJECT
private slots:
    void newMemoIsStoredWithFreshIdAndTimes();
    void newMemoEndings_data();
    void newMemoEndings();
    void storedMemoEdit_data();
    void storedMemoEdit();
    void commitWithoutChangeWritesNothing();
    void addsAreIgnoredWhileEditing();
    void subMemoTarget_data();
    void subMemoTarget();
    void subMemoInEmptyTreeAsksToSelect();
    void editTakesFirstSelectedInTreeOrder();
    void discardOfVanishedNodeIsIgnored();
    void failedInsertKeepsMemoUnstored();
};

void TstMemoEdit::newMemoIsStoredWithFreshIdAndTimes()
{
    MemoFrameFixture f;
    f.start();
    QTest::keyClick(f.view(), Qt::Key_Return);
    f.settle();
    QVERIFY(f.editor());
    QCOMPARE(f.tip()->tipMode(), 1);
    QVERIFY(!f.frame->Action_MemoDelete->isEnabled()); // commands are off while editing
    QTest::keyClicks(f.editor(), "first line");
    QTest::keyClick(f.editor(), Qt::Key_Return); // a line break, not a commit
    QTest::keyClicks(f.editor(), "second line");
    f.typeAndCommit(QString());

    QCOMPARE(f.count(), 1);
    OutlineNode *node = f.tree().topLevelNode(0);
    const TMemoInfo *memo = memoOf(node);
    QVERIFY(isMemoId(memo->mid));
    QCOMPARE(f.column(memo->mid, "content"), QByteArray("first line\r\nsecond line"));
    QCOMPARE(f.column(memo->mid, "pid"), QByteArray("root"));
    QCOMPARE(f.column(memo->mid, "createTime"), f.column(memo->mid, "assignTime"));
    QVERIFY(memo->editTime >= memo->createTime);
    QVERIFY(memo->createTime > 40000);
    QVERIFY(!f.frame->memoBeingEdited());
    QCOMPARE(f.tree().selectedNodes(), (std::vector<OutlineNode *>{node}));
    QCOMPARE(f.tip()->tipMode(), 0);
    QVERIFY(f.frame->Action_MemoDelete->isEnabled());
}

void TstMemoEdit::newMemoEndings_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("backspaces");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("commit without typing removes the node") << QString() << 0 << false << 0 << QByteArray();
    QTest::newRow("cancel removes the node") << "words" << 0 << true << 0 << QByteArray();
    QTest::newRow("typed then erased stores an empty memo") << "ab" << 2 << false << 1 << QByteArray("");
    QTest::newRow("trailing blanks and blank lines go, leading stay")
        << "  hello  \n\n \t" << 0 << false << 1 << QByteArray("  hello");
}

void TstMemoEdit::newMemoEndings()
{
    QFETCH(QString, typed);
    QFETCH(int, backspaces);
    QFETCH(bool, cancel);
    QFETCH(int, rows);
    QFETCH(QByteArray, stored);

    MemoFrameFixture f;
    f.start();
    f.frame->Action_MemoAddExecute();
    f.settle();
    QVERIFY(f.editor());
    for (const QChar c : typed) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(f.editor(), Qt::Key_Return);
        else
            QTest::keyClicks(f.editor(), QString(c));
    }
    for (int i = 0; i < backspaces; ++i)
        QTest::keyClick(f.editor(), Qt::Key_Backspace);
    if (cancel)
        QTest::keyClick(f.editor(), Qt::Key_Escape);
    else
        QTest::keyClick(f.editor(), Qt::Key_Return, Qt::ControlModifier);
    f.settle();

    QCOMPARE(f.count(), rows);
    QCOMPARE(f.tree().totalCount(), rows);
    QVERIFY(!f.frame->memoBeingEdited());
    if (rows == 1)
        QCOMPARE(memoOf(f.tree().topLevelNode(0))->content, stored);
    if (rows == 0)
        QCOMPARE(f.tip()->tipMode(), 2); // the empty tree invites adding again
}

void TstMemoEdit::storedMemoEdit_data()
{
    QTest::addColumn<int>("how"); // 0: F2, 1: edit command, 2: focus leaves the editor
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("waitForWholeText"); // false: typed and committed at once
    // Big enough to come into the editor in pieces; the "ö" spans a piece's edge nowhere
    // in particular, the numbers show any piece out of order.
    QByteArray big;
    for (int line = 0; big.size() < 600 * 1024; ++line)
        big += "line " + QByteArray::number(line) + " \xc3\xb6 of a long memo\r\n";
    big += "last line";
    QTest::newRow("F2 then Ctrl+Enter") << 0 << false << QByteArray("old text") << true;
    QTest::newRow("edit command then Ctrl+Enter") << 1 << false << QByteArray("old text") << true;
    QTest::newRow("losing the focus commits") << 2 << false << QByteArray("old text") << true;
    QTest::newRow("Esc keeps the stored text") << 0 << true << QByteArray("old text") << true;
    QTest::newRow("a large text comes in whole") << 0 << false << big << true;
    QTest::newRow("a large text committed while coming in stays whole") << 0 << false << big << false;
}

void TstMemoEdit::storedMemoEdit()
{
    QFETCH(int, how);
    QFETCH(bool, cancel);
    QFETCH(QByteArray, stored);
    QFETCH(bool, waitForWholeText);
    MemoFrameFixture f;
    f.addRow("{A}", "root", stored, false, 45000);
    f.start();
    OutlineNode *node = f.tree().topLevelNode(0);
    f.tree().setSelected(node, true);
    f.view()->setFocusedNode(node);
    if (how == 1)
        f.frame->Action_MemoEditExecute();
    else
        QTest::keyClick(f.view(), Qt::Key_F2); // refused, then started by the frame
    f.settle();
    QVERIFY(f.editor());
    if (waitForWholeText)
        QTRY_VERIFY(!f.editor()->isLoading());
    else
        QVERIFY(f.editor()->isLoading());
    if (waitForWholeText)
        QCOMPARE(f.editor()->toPlainText(), MemoTextToEditor(stored));
    QTest::keyClick(f.editor(), Qt::Key_End);
    QTest::keyClicks(f.editor(), " changed");
    if (!waitForWholeText) { // Enter adds no line break to a text still coming in
        const int length = f.editor()->document()->characterCount();
        QTest::keyClick(f.editor(), Qt::Key_Return);
        QCOMPARE(f.editor()->document()->characterCount(), length);
    }
    if (cancel)
        QTest::keyClick(f.editor(), Qt::Key_Escape);
    else if (how == 2)
        f.searchBox()->setFocus();
    else
        QTest::keyClick(f.editor(), Qt::Key_Return, Qt::ControlModifier);
    f.settle();

    const bool changed = !cancel && waitForWholeText;
    QVERIFY(!f.editor());
    QCOMPARE(f.column("{A}", "content"), changed ? stored + " changed" : stored);
    QCOMPARE(memoOf(node)->mid, QByteArray("{A}"));
    QCOMPARE(memoOf(node)->editTime > 45000, changed);
    QCOMPARE(f.tree().totalCount(), 1);
}

void TstMemoEdit::commitWithoutChangeWritesNothing()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "same", false, 45000);
    f.addRow("{B}", "root", "zeta");
    f.start();
    f.tree().setSelected(f.findNode("zeta"), true);
    f.tree().setSelected(f.findNode("same"), true); // first in tree order
    const int changes = f.totalChanges();
    f.frame->Action_MemoEditExecute();
    f.settle();
    QVERIFY(f.editor());
    f.typeAndCommit(QString());
    QCOMPARE(f.totalChanges(), changes);
    QCOMPARE(memoOf(f.findNode("same"))->editTime, 45000.0);
    // The memo ends up as the only selected node.
    QCOMPARE(f.tree().selectedNodes(), (std::vector<OutlineNode *>{f.findNode("same")}));
}

void TstMemoEdit::addsAreIgnoredWhileEditing()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "a");
    f.start();
    f.frame->Action_MemoAddExecute(); // requested, not yet open
    OutlineNode *editing = f.frame->memoBeingEdited();
    QVERIFY(editing);
    f.frame->Action_MemoAddExecute();
    f.frame->Action_MemoAddChildExecute();
    f.frame->Action_MemoEditExecute();
    QCOMPARE(f.tree().totalCount(), 2);
    f.settle(); // now open
    QVERIFY(f.editor());
    QCoreApplication::postEvent(f.frame, new QEvent(Msg::AddMemo));
    QTest::keyClick(f.view(), Qt::Key_Return, Qt::ControlModifier);
    f.settle();
    QCOMPARE(f.tree().totalCount(), 2);
    QCOMPARE(f.frame->memoBeingEdited(), editing);
}

void TstMemoEdit::subMemoTarget_data()
{
    QTest::addColumn<QByteArray>("selected");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QByteArray>("parent");
    QTest::newRow("top-level memo selected") << QByteArray("alpha") << QString() << QByteArray("alpha");
    QTest::newRow("sub-memo selected: no third level") << QByteArray("beta child") << QString() << QByteArray("beta");
    QTest::newRow("nothing selected: last top-level in tree order") << QByteArray() << QString() << QByteArray("gamma");
    // The user never types blind: the memo being edited and its parent come into view.
    QTest::newRow("nothing selected, the last top-level memo filtered out")
        << QByteArray() << "alpha" << QByteArray("gamma");
}

void TstMemoEdit::subMemoTarget()
{
    QFETCH(QByteArray, selected);
    QFETCH(QString, search);
    QFETCH(QByteArray, parent);
    MemoFrameFixture f;
    f.addRow("{G}", "root", "gamma");
    f.addRow("{A}", "root", "alpha");
    f.addRow("{B}", "root", "beta");
    f.addRow("{B1}", "{B}", "beta child");
    f.start();                   // sorted: alpha, beta, gamma
    for (int i = 0; i < 30; ++i) // enough rows above the parent to need scrolling
        f.frame->AddMemoFromText(QStringLiteral("filler alpha %1").arg(i));
    f.frame->Action_ViewAscExecute();
    f.frame->Action_ViewAscExecute(); // sorted again, gamma last
    if (!search.isEmpty())
        f.typeSearch(search);
    if (!selected.isEmpty())
        f.selectOnly(f.findNode(selected));
    QTest::keyClick(f.view(), Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    f.settle();
    QVERIFY(f.editor());
    QVERIFY(OutlineTree::isShown(f.frame->memoBeingEdited()));
    QVERIFY(f.view()->viewport()->rect().contains(f.editor()->geometry()));
    f.typeAndCommit("new child");
    OutlineNode *added = f.findNode("new child");
    QVERIFY(added);
    QCOMPARE(memoOf(added->parent())->content, parent);
    QCOMPARE(added->level(), 1);
    QCOMPARE(f.column(memoOf(added)->mid, "pid"), memoOf(added->parent())->mid);
    QVERIFY(added->parent()->isExpanded());
}

void TstMemoEdit::subMemoInEmptyTreeAsksToSelect()
{
    MemoFrameFixture f;
    f.start();
    f.frame->Action_MemoAddChildExecute();
    QCOMPARE(f.boxes.size(), size_t(1));
    QCOMPARE(f.boxes[0].caption, QStringLiteral("Tip"));
    QCOMPARE(f.boxes[0].text, QStringLiteral("Please select a memo!"));
    QCOMPARE(f.tree().totalCount(), 0);
    QVERIFY(!f.frame->memoBeingEdited());
}

void TstMemoEdit::editTakesFirstSelectedInTreeOrder()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "a");
    f.addRow("{B}", "root", "b");
    f.addRow("{C}", "root", "c");
    f.start();
    f.tree().setSelected(f.findNode("c"), true);
    f.tree().setSelected(f.findNode("b"), true);
    f.frame->Action_MemoEditExecute();
    QCOMPARE(f.frame->memoBeingEdited(), f.findNode("b"));
}

void TstMemoEdit::discardOfVanishedNodeIsIgnored()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "keep");
    f.start();
    OutlineNode *doomed = f.tree().addChild(nullptr);
    auto *message = new DiscardNodeEvent(doomed);
    f.tree().deleteNode(doomed);
    QVERIFY(!message->node.get());
    QCoreApplication::postEvent(f.frame, message);
    f.settle();
    QCOMPARE(f.texts(), (QList<QByteArray>{"keep"}));
}

void TstMemoEdit::failedInsertKeepsMemoUnstored()
{
    MemoFrameFixture f;
    f.addRow("{A}", "root", "stored");
    f.start();
    f.exec("create trigger refuse before insert on memos when new.content = 'precious' "
           "begin select raise(abort, 'refused'); end;");
    f.frame->Action_MemoAddExecute();
    f.settle();
    f.typeAndCommit("precious");
    QVERIFY(!f.boxes.empty());
    QVERIFY(f.boxes.back().text.contains(QStringLiteral("refused")));
    OutlineNode *node = f.findNode("precious");
    QVERIFY(node);                        // the text is not lost
    QVERIFY(memoOf(node)->mid.isEmpty()); // and not pretended to be stored:
    QFont font = f.view()->font();
    QColor color;
    f.view()->OnPaintText(node, font, color);
    QVERIFY(font.italic()); // it is drawn like a memo without stored text
    f.selectOnly(node);
    QCOMPARE(f.statusBar()->panelText(1), QStringLiteral("Not stored"));

    // A sub-memo under it needs the parent's row first; while that still fails, none is added.
    const size_t boxesBefore = f.boxes.size();
    f.frame->Action_MemoAddChild->trigger();
    f.settle();
    QCOMPARE(f.boxes.size(), boxesBefore + 1);
    QCOMPARE(node->childCount(), 0);
    QVERIFY(!f.frame->memoBeingEdited());

    f.exec("drop trigger refuse");
    f.selectOnly(node);
    f.frame->Action_MemoAddChild->trigger();
    f.settle();
    f.typeAndCommit("child");
    QVERIFY(!memoOf(node)->mid.isEmpty());
    QCOMPARE(f.column(QString::fromLatin1(memoOf(node)->mid), "content"), QByteArray("precious"));
    QCOMPARE(node->childCount(), 1);
    QCOMPARE(f.column(QString::fromLatin1(memoOf(node->child(0))->mid), "pid"), memoOf(node)->mid);
    QCOMPARE(f.count(), 3);
}

QTEST_MAIN(TstMemoEdit)
#include "tst_memoedit.moc"
