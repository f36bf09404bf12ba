// Tests of the outline's tree structure without widgets: adding, levels and indexes,
// pre-order walks, deleting with free events and stale references, moving, the stable
// sort, expansion events, sibling-constrained selection, and one large tree.
#include "OutlineTree.h"

#include <QtTest>

#include <map>

namespace {

// The record the tests attach to every node: a name to recognise it and a sort key.
struct Label : OutlineNodeData
{
    QString name;
    int key = 0;
};

QString nameOf(const OutlineNode *node)
{
    return node ? node->dataAs<Label>()->name : QStringLiteral("-");
}

// Records what the tree tells its view.
struct RecordingObserver : OutlineTreeObserver
{
    int rows = 0;
    int repaints = 0;
    QStringList invalidated;
    QStringList aboutToBeDeleted;
    QStringList *freedSoFar = nullptr; // the free events seen when a deletion is announced
    QList<int> freedAtAnnouncement;

    void rowsChanged() override { ++rows; }
    void nodeInvalidated(OutlineNode *node) override { invalidated << nameOf(node); }
    void nodesRepaint() override { ++repaints; }
    void nodeAboutToBeDeleted(OutlineNode *node) override
    {
        // The node must still be whole: its payload readable, its children in place.
        aboutToBeDeleted << nameOf(node) + QLatin1Char('/') + QString::number(node->childCount());
        if (freedSoFar)
            freedAtAnnouncement << freedSoFar->size();
    }
};

// A tree with labelled nodes, built from and described as text: "A(A1 A2(A21)) B".
class Fixture
{
public:
    Fixture()
    {
        tree.OnCreateNodeData = [] { return std::make_unique<Label>(); };
        tree.OnFreeNode = [this](OutlineNode *node) { freed << nameOf(node); };
        tree.OnCompareNodes = [](const OutlineNode *a, const OutlineNode *b) {
            return a->dataAs<Label>()->key - b->dataAs<Label>()->key;
        };
        tree.OnExpanded = [this](OutlineNode *node) { expansions << QLatin1Char('+') + nameOf(node); };
        tree.OnCollapsed = [this](OutlineNode *node) { expansions << QLatin1Char('-') + nameOf(node); };
        tree.OnSelectionChange = [this](OutlineNode *node) { selectionEvents << nameOf(node); };
    }

    OutlineNode *add(OutlineNode *parent, const QString &name, int key = 0)
    {
        OutlineNode *node = tree.addChild(parent);
        node->dataAs<Label>()->name = name;
        node->dataAs<Label>()->key = key;
        byName[name] = node;
        lastNode = node;
        return node;
    }

    void build(const QString &shape)
    {
        std::vector<OutlineNode *> parents{nullptr};
        QString name;
        const auto flush = [&] {
            if (!name.isEmpty())
                add(parents.back(), name);
            name.clear();
        };
        for (const QChar c : shape) {
            if (c == QLatin1Char('(')) {
                flush();
                parents.push_back(lastNode);
            } else if (c == QLatin1Char(')')) {
                flush();
                parents.pop_back();
            } else if (c == QLatin1Char(' ')) {
                flush();
            } else {
                name += c;
            }
        }
        flush();
    }

    OutlineNode *operator[](const QString &name) const
    {
        const auto it = byName.find(name);
        return it == byName.end() ? nullptr : it->second;
    }

    // The tree as text, walked through first child and next sibling.
    QString shape() const { return describe(tree.firstTopLevel()); }

    // Every node's index equals its position among its siblings, and its parent is right.
    bool indexesConsistent() const
    {
        int count = 0;
        return consistent(nullptr, tree.firstTopLevel(), count) && count == tree.totalCount();
    }

    void expandAll()
    {
        for (OutlineNode *n = tree.firstNode(); n; n = OutlineTree::nextNode(n))
            if (n->hasChildren())
                tree.setExpanded(n, true);
    }

    QStringList names(const std::vector<OutlineNode *> &nodes) const
    {
        QStringList result;
        for (const OutlineNode *node : nodes)
            result << nameOf(node);
        return result;
    }

    // Declared before the tree: its destruction still raises free events into them.
    QStringList freed;
    QStringList expansions;
    QStringList selectionEvents;
    OutlineTree tree;

private:
    static QString describe(const OutlineNode *first)
    {
        QStringList parts;
        for (const OutlineNode *n = first; n; n = n->nextSibling()) {
            QString part = nameOf(n);
            if (n->hasChildren())
                part += QLatin1Char('(') + describe(n->firstChild()) + QLatin1Char(')');
            parts << part;
        }
        return parts.join(QLatin1Char(' '));
    }

    static bool consistent(const OutlineNode *parent, const OutlineNode *first, int &count)
    {
        int i = 0;
        for (const OutlineNode *n = first; n; n = n->nextSibling(), ++i) {
            ++count;
            if (n->index() != i || n->parent() != parent)
                return false;
            if (n->hasChildren() && !consistent(n, n->firstChild(), count))
                return false;
        }
        return true;
    }

    std::map<QString, OutlineNode *> byName;
    OutlineNode *lastNode = nullptr;
};

} // namespace

class TestOutlineTree : public QObject
{
    Q_OBJECT

private slots:
    void addingBuildsLevelsAndIndexes()
    {
        Fixture f;
        OutlineNode *a = f.add(nullptr, "A");
        OutlineNode *b = f.add(nullptr, "B");
        OutlineNode *a1 = f.add(a, "A1");
        OutlineNode *a2 = f.add(a, "A2");
        OutlineNode *a21 = f.add(a2, "A21");
        QCOMPARE(f.shape(), QStringLiteral("A(A1 A2(A21)) B"));

        QCOMPARE(a->level(), 0);
        QCOMPARE(a1->level(), 1);
        QCOMPARE(a21->level(), 2);
        QCOMPARE(a->parent(), nullptr);
        QCOMPARE(a2->parent(), a);
        QCOMPARE(a21->parent(), a2);
        QCOMPARE(b->index(), 1);
        QCOMPARE(a2->index(), 1);
        QCOMPARE(a21->index(), 0);
        QCOMPARE(a1->nextSibling(), a2);
        QCOMPARE(a2->previousSibling(), a1);
        QCOMPARE(a2->nextSibling(), nullptr);
        QCOMPARE(a1->previousSibling(), nullptr);
        QCOMPARE(b->nextSibling(), nullptr);
        QCOMPARE(a->firstChild(), a1);
        QCOMPARE(a->lastChild(), a2);
        QCOMPARE(f.tree.topLevelCount(), 2);
        QCOMPARE(f.tree.totalCount(), 5);
        QCOMPARE(f.tree.visibleCount(), 5);

        // New nodes are visible, collapsed and unselected, each with a fresh record.
        QVERIFY(a21->isVisible());
        QVERIFY(!a21->isExpanded());
        QVERIFY(!a21->isSelected());
        QVERIFY(a21->data() && a21->data() != a2->data());
    }

    void restructuring_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("expected");
        const QString flat = QStringLiteral("A B C D");
        const QString nested = QStringLiteral("A(A1 A2(A21)) B(B1) C");
        QTest::newRow("add under a node") << nested << "add N B" << true << "A(A1 A2(A21)) B(B1 N) C";
        QTest::newRow("add at the top level") << nested << "add N -" << true << "A(A1 A2(A21)) B(B1) C N";
        QTest::newRow("delete the first sibling") << flat << "delete A" << true << "B C D";
        QTest::newRow("delete a middle sibling") << flat << "delete B" << true << "A C D";
        QTest::newRow("delete the last sibling") << flat << "delete D" << true << "A B C";
        QTest::newRow("delete a node with its children") << nested << "delete A" << true << "B(B1) C";
        QTest::newRow("delete only the children") << nested << "children A" << true << "A B(B1) C";
        QTest::newRow("move the first to the end") << flat << "last A -" << true << "B C D A";
        QTest::newRow("move the last to the front") << flat << "first D -" << true << "D A B C";
        QTest::newRow("move the last to the end stays") << flat << "last D -" << true << "A B C D";
        QTest::newRow("move the first to the front stays") << flat << "first A -" << true << "A B C D";
        QTest::newRow("move with children under another node")
            << nested << "first A2 B" << true << "A(A1) B(A2(A21) B1) C";
        QTest::newRow("move a child to the top level") << nested << "last A21 -" << true << "A(A1 A2) B(B1) C A21";
        QTest::newRow("move a top-level node under a sibling")
            << nested << "last C A" << true << "A(A1 A2(A21) C) B(B1)";
        QTest::newRow("refuse a move into itself") << nested << "first A A" << false << nested;
        QTest::newRow("refuse a move into its child") << nested << "last A A2" << false << nested;
        QTest::newRow("refuse a move into its grandchild") << nested << "first A A21" << false << nested;
        QTest::newRow("move to a position forward") << flat << "to A - 2" << true << "B C A D";
        QTest::newRow("move to a position backward") << flat << "to D - 1" << true << "A D B C";
        QTest::newRow("move to a position past the end is clamped") << flat << "to B - 99" << true << "A C D B";
        QTest::newRow("move to a negative position is clamped") << flat << "to C - -5" << true << "C A B D";
        QTest::newRow("move to a position under another node")
            << nested << "to C A 1" << true << "A(A1 C A2(A21)) B(B1)";
    }
    void restructuring()
    {
        QFETCH(QString, start);
        QFETCH(QString, operation);
        QFETCH(bool, accepted);
        QFETCH(QString, expected);
        Fixture f;
        f.build(start);
        QCOMPARE(f.shape(), start);
        const QStringList op = operation.split(QLatin1Char(' '));
        OutlineNode *node = f[op.at(1)];
        OutlineNode *target = op.size() > 2 ? f[op.at(2)] : nullptr;
        const OutlineNodeRef ref(node);
        bool done = true;
        if (op.at(0) == QLatin1String("add"))
            f.add(target, op.at(1));
        else if (op.at(0) == QLatin1String("delete"))
            f.tree.deleteNode(node);
        else if (op.at(0) == QLatin1String("children"))
            f.tree.deleteChildren(node);
        else if (op.at(0) == QLatin1String("first"))
            done = f.tree.moveNode(node, target, true);
        else if (op.at(0) == QLatin1String("last"))
            done = f.tree.moveNode(node, target, false);
        else if (op.at(0) == QLatin1String("to"))
            done = f.tree.moveNodeTo(node, target, op.at(3).toInt());
        QCOMPARE(done, accepted);
        QCOMPARE(f.shape(), expected);
        QVERIFY(f.indexesConsistent());
        // A handle stays good across moves, so a deferred step still finds its node.
        if (op.at(0) == QLatin1String("delete"))
            QCOMPARE(ref.get(), nullptr);
        else if (op.at(0) != QLatin1String("add"))
            QCOMPARE(ref.get(), node);
        if (op.at(0) == QLatin1String("to") || op.at(0) == QLatin1String("first") || op.at(0) == QLatin1String("last"))
            if (accepted)
                QCOMPARE(node->level(), target ? target->level() + 1 : 0);
    }

    void preOrderIncludesHiddenAndCollapsedNodes()
    {
        Fixture f;
        f.build("A(A1(A11) A2) B C(C1(C11 C12))");
        f.tree.setVisible(f["A2"], false);
        f.tree.setVisible(f["B"], false);
        f.tree.setVisible(f["C1"], false);
        f.tree.setExpanded(f["C"], true); // A and A1 stay collapsed
        QStringList walked;
        for (const OutlineNode *n = f.tree.firstNode(); n; n = OutlineTree::nextNode(n))
            walked << nameOf(n);
        QCOMPARE(walked, QStringList({"A", "A1", "A11", "A2", "B", "C", "C1", "C11", "C12"}));
        QCOMPARE(OutlineTree::nextNode(nullptr), nullptr);
        QCOMPARE(f.tree.visibleCount(), 6);
        QCOMPARE(f.tree.totalCount(), 9);
    }

    void precedes_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("expected");
        QTest::newRow("earlier sibling") << "A"
                                         << "B" << true;
        QTest::newRow("later sibling") << "B"
                                       << "A" << false;
        QTest::newRow("a node does not precede itself") << "A2"
                                                        << "A2" << false;
        QTest::newRow("parent before its child") << "A"
                                                 << "A1" << true;
        QTest::newRow("child after its parent") << "A1"
                                                << "A" << false;
        QTest::newRow("grandchild of an earlier node before a later top-level node") << "A21"
                                                                                     << "B" << true;
        QTest::newRow("later top-level node after a deep node") << "B"
                                                                << "A21" << false;
        QTest::newRow("child of an earlier sibling before a later sibling's child") << "A1"
                                                                                    << "B1" << true;
        QTest::newRow("last child before the next top-level node") << "A2"
                                                                   << "B" << true;
    }
    void precedes()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, expected);
        Fixture f;
        f.build("A(A1 A2(A21)) B(B1)");
        QCOMPARE(OutlineTree::precedes(f[a], f[b]), expected);
        // The same answer as the pre-order walk gives.
        int posA = -1, posB = -1, i = 0;
        for (const OutlineNode *n = f.tree.firstNode(); n; n = OutlineTree::nextNode(n), ++i) {
            if (n == f[a])
                posA = i;
            if (n == f[b])
                posB = i;
        }
        QCOMPARE(posA < posB, expected);
    }

    void precedesInADeepTree()
    {
        // The outline is generic: its order must hold at any depth, not only at two levels.
        Fixture f;
        OutlineNode *first = f.add(nullptr, "first");
        OutlineNode *deep = f.add(nullptr, "chain");
        for (int level = 1; level < 80; ++level)
            deep = f.add(deep, QStringLiteral("L%1").arg(level));
        QCOMPARE(deep->level(), 79);
        QCOMPARE(OutlineTree::precedes(deep, first), false);
        QCOMPARE(OutlineTree::precedes(first, deep), true);
    }

    void deletingANodeWithChildren()
    {
        Fixture f;
        RecordingObserver observer;
        observer.freedSoFar = &f.freed;
        f.tree.setObserver(&observer);
        f.build("A(A1(A11 A12) A2) B");
        f.tree.setExpanded(f["A"], true);
        f.tree.setVisible(f["A2"], false);
        f.tree.setSelected(f["A11"], true);
        f.tree.setSelected(f["A12"], true, true);
        const OutlineNodeRef refA(f["A"]), refA1(f["A1"]), refA11(f["A11"]), refA2(f["A2"]), refB(f["B"]);
        QCOMPARE(f.tree.visibleCount(), 5);
        QCOMPARE(f.tree.selectedCount(), 2);

        f.tree.deleteNode(f["A"]);

        QCOMPARE(observer.aboutToBeDeleted, QStringList("A/2"));
        QCOMPARE(observer.freedAtAnnouncement, QList<int>{0});           // told before any record goes
        QCOMPARE(f.freed, QStringList({"A11", "A12", "A1", "A2", "A"})); // children first
        QCOMPARE(refA.get(), nullptr);
        QCOMPARE(refA1.get(), nullptr);
        QCOMPARE(refA11.get(), nullptr);
        QCOMPARE(refA2.get(), nullptr);
        QCOMPARE(refB.get(), f["B"]);
        QCOMPARE(f.tree.selectedCount(), 0);
        QVERIFY(f.tree.selectedNodes().empty());
        QCOMPARE(f.tree.firstSelected(), nullptr);
        QCOMPARE(f.tree.totalCount(), 1);
        QCOMPARE(f.tree.visibleCount(), 1);
        QCOMPARE(f["B"]->index(), 0);
        QCOMPARE(f.shape(), QStringLiteral("B"));
        QVERIFY(observer.rows > 0);
    }

    void deleteSelectedNodes_data()
    {
        QTest::addColumn<QString>("deselect"); // a node taken out of the selection first
        QTest::addColumn<QString>("remaining");
        QTest::addColumn<QStringList>("freed");
        QTest::newRow("parents and children selected together")
            << QString() << "B(B1)" << QStringList({"A1", "A2", "A", "C1", "C"});
        QTest::newRow("a child selected without its parent") << "A"
                                                             << "A B(B1)" << QStringList({"A1", "A2", "C1", "C"});
        QTest::newRow("a parent selected without its child") << "A1"
                                                             << "B(B1)" << QStringList({"A1", "A2", "A", "C1", "C"});
    }
    void deleteSelectedNodes()
    {
        QFETCH(QString, deselect);
        QFETCH(QString, remaining);
        QFETCH(QStringList, freed);
        Fixture f;
        f.build("A(A1 A2) B(B1) C(C1)");
        f.tree.setExpanded(f["A"], true);
        f.tree.setExpanded(f["C"], true);
        f.tree.setVisible(f["B"], false);
        f.tree.selectAllShown();
        QCOMPARE(f.names(f.tree.selectedNodes()), QStringList({"A", "A1", "A2", "C", "C1"}));
        if (!deselect.isEmpty())
            f.tree.setSelected(f[deselect], false);
        const OutlineNodeRef refC1(f["C1"]);
        f.selectionEvents.clear();

        f.tree.deleteSelectedNodes();

        QCOMPARE(f.shape(), remaining);
        QCOMPARE(f.freed, freed); // each node freed exactly once
        QCOMPARE(f.tree.selectedCount(), 0);
        QCOMPARE(refC1.get(), nullptr);
        QCOMPARE(f.selectionEvents, QStringList("-"));
        QVERIFY(f.indexesConsistent());
        QCOMPARE(f.tree.visibleCount(), f.tree.totalCount() - 1); // B is the one hidden node
    }

    void clearRemovesEverything()
    {
        Fixture f;
        RecordingObserver observer;
        f.tree.setObserver(&observer);
        f.build("A(A1 A2(A21)) B(B1) C");
        f.tree.setSelected(f["B1"], true);
        const OutlineNodeRef refA21(f["A21"]), refC(f["C"]);
        f.tree.clear();
        QCOMPARE(f.freed.size(), 7);
        QCOMPARE(f.freed.mid(0, 4), QStringList({"A1", "A21", "A2", "A"}));
        QCOMPARE(observer.aboutToBeDeleted, QStringList({"A/2", "B/1", "C/0"}));
        QCOMPARE(refA21.get(), nullptr);
        QCOMPARE(refC.get(), nullptr);
        QCOMPARE(f.tree.totalCount(), 0);
        QCOMPARE(f.tree.visibleCount(), 0);
        QCOMPARE(f.tree.selectedCount(), 0);
        QCOMPARE(f.tree.firstNode(), nullptr);
        // The tree is usable again at once.
        OutlineNode *again = f.tree.addChild(nullptr);
        QCOMPARE(again->index(), 0);
        QCOMPARE(f.tree.totalCount(), 1);
    }

    void destroyingTheTreeFreesEveryNode()
    {
        QStringList freed;
        OutlineNodeRef ref;
        {
            OutlineTree tree;
            tree.OnCreateNodeData = [] { return std::make_unique<Label>(); };
            tree.OnFreeNode = [&freed](OutlineNode *node) { freed << QString::number(node->level()); };
            OutlineNode *top = tree.addChild(nullptr);
            ref = OutlineNodeRef(tree.addChild(top));
            tree.addChild(nullptr);
        }
        QCOMPARE(freed, QStringList({"1", "0", "0"}));
        QCOMPARE(ref.get(), nullptr);
    }

    void sortIsStableInBothDirections_data()
    {
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<bool>("sortedBefore"); // sorted the other way first
        QTest::newRow("ascending") << true << false;
        QTest::newRow("descending keeps equal nodes in order, not reversed") << false << false;
        QTest::newRow("ascending after descending") << true << true;
        QTest::newRow("descending after ascending") << false << true;
    }
    void sortIsStableInBothDirections()
    {
        QFETCH(bool, ascending);
        QFETCH(bool, sortedBefore);
        // Many equal keys on every level; names give the order the nodes were added in.
        Fixture f;
        QStringList topNames;
        std::map<int, QStringList> topsByKey;
        for (int i = 0; i < 30; ++i) {
            const QString name = QStringLiteral("t%1").arg(i, 2, 10, QLatin1Char('0'));
            OutlineNode *top = f.add(nullptr, name, (i * 7) % 3);
            topsByKey[(i * 7) % 3] << name;
            for (int j = 0; j < 6; ++j)
                f.add(top, name + QStringLiteral("c%1").arg(j), j % 2);
        }
        f.tree.setSelected(f["t05"], true);
        f.tree.setSelected(f["t01"], true, true);
        f.tree.setSelected(f["t03"], true, true);
        if (sortedBefore)
            f.tree.sort(!ascending);
        f.tree.sort(ascending);

        QStringList expectedTops;
        for (int key : ascending ? QList<int>{0, 1, 2} : QList<int>{2, 1, 0})
            expectedTops += topsByKey[key];
        QStringList tops;
        for (OutlineNode *n = f.tree.firstTopLevel(); n; n = n->nextSibling()) {
            tops << nameOf(n);
            // Each sibling list is sorted on its own: children stay with their parent.
            QStringList kids;
            for (OutlineNode *k = n->firstChild(); k; k = k->nextSibling())
                kids << nameOf(k).mid(3);
            QCOMPARE(kids, ascending ? QStringList({"c0", "c2", "c4", "c1", "c3", "c5"})
                                     : QStringList({"c1", "c3", "c5", "c0", "c2", "c4"}));
        }
        QCOMPARE(tops, expectedTops);
        QVERIFY(f.indexesConsistent());
        // The selection follows the new order.
        QStringList expectedSelection;
        for (const QString &name : expectedTops)
            if (name == QLatin1String("t01") || name == QLatin1String("t03") || name == QLatin1String("t05"))
                expectedSelection << name;
        QCOMPARE(f.names(f.tree.selectedNodes()), expectedSelection);
    }

    void expansionEventsOnlyOnRealChanges_data()
    {
        QTest::addColumn<QStringList>("steps"); // +X expands X, -X collapses X, ^X expands X's ancestors
        QTest::addColumn<QStringList>("events");
        QTest::newRow("expand a collapsed node") << QStringList("+A") << QStringList("+A");
        QTest::newRow("expanding twice raises one event") << QStringList({"+A", "+A"}) << QStringList("+A");
        QTest::newRow("collapsing a collapsed node raises nothing") << QStringList("-A") << QStringList();
        QTest::newRow("expand then collapse") << QStringList({"+A", "-A", "-A"}) << QStringList({"+A", "-A"});
        QTest::newRow("ancestors expand from the top down") << QStringList("^A11") << QStringList({"+A", "+A1"});
        QTest::newRow("expanded ancestors raise nothing")
            << QStringList({"+A", "+A1", "^A11"}) << QStringList({"+A", "+A1"});
        QTest::newRow("only the collapsed ancestor changes")
            << QStringList({"+A1", "^A11"}) << QStringList({"+A1", "+A"});
    }
    void expansionEventsOnlyOnRealChanges()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, events);
        Fixture f;
        f.build("A(A1(A11)) B");
        for (const QString &step : steps) {
            OutlineNode *node = f[step.mid(1)];
            if (step.startsWith(QLatin1Char('^')))
                f.tree.expandAncestors(node);
            else
                f.tree.setExpanded(node, step.startsWith(QLatin1Char('+')));
        }
        QCOMPARE(f.expansions, events);
    }

    void selectionKeepsToSiblings()
    {
        Fixture f;
        f.build("A(A1 A2 A3) B(B1)");
        f.tree.setSelected(f["A2"], true, true); // the first may be anywhere
        f.tree.setSelected(f["B"], true, true);  // not a sibling of A2: refused
        f.tree.setSelected(f["B1"], true, true); // nor a cousin
        f.tree.setSelected(f["A"], true, true);  // nor the parent
        QCOMPARE(f.names(f.tree.selectedNodes()), QStringList("A2"));
        QVERIFY(!f["B"]->isSelected());
        f.tree.setSelected(f["A3"], true, true);
        f.tree.setSelected(f["A1"], true, true);
        QCOMPARE(f.names(f.tree.selectedNodes()), QStringList({"A1", "A2", "A3"}));
        QCOMPARE(f.tree.firstSelected(), f["A1"]);
        // Without the constraint any node may join.
        f.tree.setSelected(f["B"], true);
        QCOMPARE(f.tree.selectedCount(), 4);
        // Events only for real changes.
        QCOMPARE(f.selectionEvents, QStringList({"A2", "A3", "A1", "B"}));
        f.tree.setSelected(f["B"], true);
        f.tree.setSelected(f["B1"], false);
        QCOMPARE(f.selectionEvents.size(), 4);
        f.tree.setSelected(f["A2"], false);
        QCOMPARE(f.names(f.tree.selectedNodes()), QStringList({"A1", "A3", "B"}));
        f.tree.clearSelection();
        QCOMPARE(f.tree.selectedCount(), 0);
        QVERIFY(!f["A1"]->isSelected());
        QCOMPARE(f.selectionEvents.last(), QStringLiteral("-"));
        // With nothing selected, the constraint admits any node again.
        f.tree.setSelected(f["B1"], true, true);
        QCOMPARE(f.tree.firstSelected(), f["B1"]);
    }

    void selectedNodesInPreOrderAfterMoves()
    {
        Fixture f;
        f.build("A B C D(D1 D2 D3)");
        for (const char *name : {"C", "A", "D"})
            f.tree.setSelected(f[name], true, true);
        QCOMPARE(f.names(f.tree.selectedNodes()), QStringList({"A", "C", "D"}));
        f.tree.moveNode(f["A"], nullptr, false);
        QCOMPARE(f.names(f.tree.selectedNodes()), QStringList({"C", "D", "A"}));
        f.tree.moveNodeTo(f["D"], nullptr, 0);
        QCOMPARE(f.names(f.tree.selectedNodes()), QStringList({"D", "C", "A"}));
        f.tree.clearSelection();
        for (const char *name : {"D3", "D1"})
            f.tree.setSelected(f[name], true, true);
        f.tree.moveNode(f["D1"], f["D"], false);
        QCOMPARE(f.names(f.tree.selectedNodes()), QStringList({"D3", "D1"}));
    }

    void selectAllShownSelectsOnlyShownNodes()
    {
        Fixture f;
        f.build("A(A1(A11) A2(A21)) B(B1) C(C1 C2) D(D1)");
        f.expandAll();
        f.tree.setExpanded(f["B"], false); // B1 is inside a collapsed node
        f.tree.setVisible(f["A2"], false); // A21 is visible but its parent is hidden
        f.tree.setVisible(f["C1"], false); // hidden itself
        f.tree.setVisible(f["D"], false);  // hidden top-level with a shown-looking child
        f.tree.setSelected(f["D1"], true); // a former selection that is not shown goes
        f.tree.selectAllShown();
        const QStringList shown = {"A", "A1", "A11", "B", "C", "C2"};
        QCOMPARE(f.names(f.tree.selectedNodes()), shown);
        QCOMPARE(f.tree.selectedCount(), shown.size());
        for (OutlineNode *n = f.tree.firstNode(); n; n = OutlineTree::nextNode(n)) {
            QCOMPARE(n->isSelected(), shown.contains(nameOf(n)));
            QCOMPARE(OutlineTree::isShown(n), shown.contains(nameOf(n)));
        }
    }

    void observerHearsEveryChange()
    {
        Fixture f;
        RecordingObserver observer;
        f.tree.setObserver(&observer);
        f.build("A(A1) B");
        QCOMPARE(observer.rows, 3);
        f.tree.setExpanded(f["A"], true);
        QCOMPARE(observer.rows, 4);
        f.tree.setExpanded(f["B"], true); // no children: no rows change
        QCOMPARE(observer.rows, 4);
        f.tree.setVisible(f["B"], false);
        QCOMPARE(observer.rows, 5);
        f.tree.setVisible(f["B"], false);
        QCOMPARE(observer.rows, 5);
        f.tree.sort(false);
        QCOMPARE(observer.rows, 6);
        f.tree.moveNode(f["A1"], nullptr, true);
        QCOMPARE(observer.rows, 7);
        f.tree.setSelected(f["A1"], true);
        QCOMPARE(observer.repaints, 1);
        f.tree.invalidateNode(f["B"]);
        QCOMPARE(observer.invalidated, QStringList("B"));
        f.tree.deleteNode(f["A"]);
        QCOMPARE(observer.aboutToBeDeleted, QStringList("A/0"));
        QCOMPARE(observer.rows, 8);
        f.tree.setObserver(nullptr);
        f.tree.deleteNode(f["B"]);
        QCOMPARE(observer.aboutToBeDeleted.size(), 1);
    }

    void largeTreeSelectAndDelete_data()
    {
        QTest::addColumn<int>("topLevel");
        QTest::addColumn<int>("childrenEach");
        QTest::addColumn<bool>("everySecondOnly"); // select every second top-level node only
        QTest::newRow("memo-like: a tenth top-level, all shown and selected") << 10000 << 9 << false;
        QTest::newRow("one flat list of siblings, all selected") << 100000 << 0 << false;
        QTest::newRow("one parent with all the rest as children") << 1 << 99999 << false;
        QTest::newRow("every second of a flat list") << 100000 << 0 << true;
    }
    void largeTreeSelectAndDelete()
    {
        // Guards against quadratic work at 100,000 nodes. It runs under a CTest time-out
        // rather than a timer of its own, so a slow machine does not make it fail.
        QFETCH(int, topLevel);
        QFETCH(int, childrenEach);
        QFETCH(bool, everySecondOnly);
        const int total = topLevel * (childrenEach + 1);
        OutlineTree tree;
        int freed = 0;
        tree.OnCreateNodeData = [] { return std::make_unique<Label>(); };
        tree.OnFreeNode = [&freed](OutlineNode *) { ++freed; };
        tree.OnCompareNodes = [](const OutlineNode *a, const OutlineNode *b) {
            return a->dataAs<Label>()->key - b->dataAs<Label>()->key;
        };
        for (int i = 0; i < topLevel; ++i) {
            OutlineNode *top = tree.addChild(nullptr);
            top->dataAs<Label>()->key = (i * 7919) % 100;
            for (int j = 0; j < childrenEach; ++j)
                tree.addChild(top)->dataAs<Label>()->key = (i + j) % 5;
            if (childrenEach > 0)
                tree.setExpanded(top, true);
        }
        QCOMPARE(tree.totalCount(), total);
        tree.sort(false);

        int selected = total;
        if (everySecondOnly) {
            for (int i = 0; i < topLevel; i += 2)
                tree.setSelected(tree.topLevelNode(i), true, true);
            selected = (topLevel + 1) / 2;
        } else {
            tree.selectAllShown();
        }
        QCOMPARE(tree.selectedCount(), selected);
        QCOMPARE(tree.selectedNodes().size(), size_t(selected));
        QVERIFY(OutlineTree::precedes(tree.selectedNodes().front(), tree.selectedNodes().back()));

        tree.deleteSelectedNodes();
        QCOMPARE(freed, selected);
        QCOMPARE(tree.totalCount(), total - selected);
        QCOMPARE(tree.visibleCount(), total - selected);
        QCOMPARE(tree.selectedCount(), 0);
        if (everySecondOnly) {
            QCOMPARE(tree.topLevelCount(), topLevel / 2);
            QCOMPARE(tree.lastTopLevel()->index(), topLevel / 2 - 1);
        } else {
            QCOMPARE(tree.firstNode(), nullptr);
        }
    }
};

QTEST_GUILESS_MAIN(TestOutlineTree)
#include "tst_outlinetree.moc"
