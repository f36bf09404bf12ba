// The outline view on its own: rows, scrolling far down a long list, hit testing and
// rendering every shown row for printing.
#include "OutlineView.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {
struct TextData : OutlineNodeData
{
    QString text;
};

QString textOf(OutlineNode *node)
{
    return static_cast<TextData *>(node->data())->text;
}
} // namespace

class TstOutlineView : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void shownRowsFollowVisibilityAndExpansion();
    void scrollingFarDownMeasuresOnlyWhatIsShown();
    void hugeTextIsCutToTheView_data();
    void hugeTextIsCutToTheView();
    void hitTestingAfterScrolling();
    void renderingEveryShownRowForPrinting();

private:
    OutlineNode *add(OutlineNode *parent, const QString &text);
    std::unique_ptr<OutlineView> view;
    int measured = 0;
};

void TstOutlineView::init()
{
    view = std::make_unique<OutlineView>();
    view->resize(300, 200);
    measured = 0;
    view->tree().OnCreateNodeData = [] { return std::make_unique<TextData>(); };
    view->OnGetText = [](OutlineNode *node, qsizetype) { return textOf(node); };
    view->OnMeasureItem = [this](OutlineNode *, int &) { ++measured; };
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

void TstOutlineView::cleanup()
{
    view.reset();
}

OutlineNode *TstOutlineView::add(OutlineNode *parent, const QString &text)
{
    OutlineNode *node = view->tree().addChild(parent);
    static_cast<TextData *>(node->data())->text = text;
    return node;
}

void TstOutlineView::shownRowsFollowVisibilityAndExpansion()
{
    OutlineNode *a = add(nullptr, "a");
    add(a, "a1");
    OutlineNode *b = add(nullptr, "b");
    QCOMPARE(view->shownRowCount(), 2); // a's child is collapsed away
    view->tree().setExpanded(a, true);
    QCOMPARE(view->shownRowCount(), 3);
    QCOMPARE(textOf(view->shownRow(1)), QStringLiteral("a1"));
    view->tree().setVisible(a, false); // a hidden memo hides its children too
    QCOMPARE(view->shownRowCount(), 1);
    QCOMPARE(view->shownRow(0), b);
}

void TstOutlineView::scrollingFarDownMeasuresOnlyWhatIsShown()
{
    for (int i = 0; i < 20000; ++i)
        add(nullptr, QStringLiteral("memo %1").arg(i));
    QCoreApplication::processEvents();
    const int afterFirstPaint = measured;
    QVERIFY2(afterFirstPaint < 200, qPrintable(QString::number(afterFirstPaint)));
    OutlineNode *last = view->tree().lastTopLevel();
    view->scrollIntoView(last);
    const QRect rect = view->nodeRect(last);
    QVERIFY(!rect.isEmpty());
    QVERIFY(rect.bottom() < view->viewport()->height());
    QVERIFY(measured - afterFirstPaint < 200); // no walk over every row's height
}

void TstOutlineView::hugeTextIsCutToTheView_data()
{
    QTest::addColumn<QString>("text");
    QString lines;
    for (int i = 0; i < 3000; ++i)
        lines += QStringLiteral("line %1\n").arg(i);
    QTest::newRow("many lines") << lines;
    QTest::newRow("one long line") << QString(20000, QLatin1Char('x'));
    QTest::newRow("long words") << QStringLiteral("word ").repeated(4000);
}

void TstOutlineView::hugeTextIsCutToTheView()
{
    QFETCH(QString, text);
    add(nullptr, "before");
    OutlineNode *huge = add(nullptr, text);
    add(nullptr, "after");
    qsizetype mostAsked = 0;
    view->OnGetText = [&mostAsked](OutlineNode *node, qsizetype maxLength) {
        mostAsked = qMax(mostAsked, maxLength < 0 ? textOf(node).size() : maxLength);
        return textOf(node);
    };
    view->setFocusedNode(huge);
    QCoreApplication::processEvents();
    const QRect rect = view->nodeRect(huge);
    QVERIFY(!rect.isEmpty());
    QVERIFY2(rect.height() <= view->viewport()->height(), qPrintable(QString::number(rect.height())));
    QVERIFY2(mostAsked < text.size() / 2, qPrintable(QString::number(mostAsked))); // the view needs a screenful
    // A printout is not a view: it shows the whole text.
    QVERIFY(view->shownRowsHeight(view->viewport()->width()) > 3 * view->viewport()->height());
}

void TstOutlineView::hitTestingAfterScrolling()
{
    for (int i = 0; i < 500; ++i)
        add(nullptr, QStringLiteral("memo %1").arg(i));
    OutlineNode *target = view->tree().topLevelNode(321);
    view->setFocusedNode(target);
    const QRect rect = view->nodeRect(target);
    QVERIFY(!rect.isEmpty());
    QCOMPARE(view->nodeAt(rect.center()), target);
    QCOMPARE(view->nodeAt(QPoint(5, view->viewport()->height() + 50)), nullptr);
}

void TstOutlineView::renderingEveryShownRowForPrinting()
{
    add(nullptr, "first");
    add(nullptr, "a text long enough to wrap onto several lines when the page is narrow");
    OutlineNode *hidden = add(nullptr, "hidden");
    view->tree().setVisible(hidden, false);
    const int narrow = view->shownRowsHeight(120);
    const int wide = view->shownRowsHeight(1200);
    QVERIFY(narrow > wide); // wrapped at the page's width, not the view's
    QImage page(120, narrow, QImage::Format_ARGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        view->renderShownRows(&painter, 120);
    }
    int inked = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            inked += page.pixel(x, y) != qRgb(255, 255, 255);
    QVERIFY(inked > 100);
}

QTEST_MAIN(TstOutlineView)
#include "tst_outlineview.moc"
