#include "BigMemoMeasurements.h"

#include "BareLimits.h"
#include "BenchSession.h"
#include "Fr_qzMemos.h"
#include "JotterlyError.h"
#include "MemoTreeMeasurements.h"
#include "OleDateTime.h"
#include "OutlineEditor.h"
#include "OutlineView.h"
#include "RecordIds.h"
#include "TMemoInfo.h"
#include "TextHelpers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace {

constexpr qsizetype kBigMemoBytes = 5 * 1024 * 1024;

[[noreturn]] void fail(const QString &what)
{
    throw JotterlyError(QStringLiteral("bigmemo: ") + what);
}

// About 5 MB of numbered lines of words, as a pasted log or a long document would be.
QString bigText()
{
    static const char *const words[] = {"meeting", "call", "back", "invoice", "draft",  "notes", "plan",
                                        "review",  "ship", "fix",  "renewal", "client", "budget"};
    QString text;
    text.reserve(kBigMemoBytes + 200);
    for (int line = 0; text.size() < kBigMemoBytes; ++line) {
        text += QString::number(line);
        for (int w = 0; w < 10; ++w)
            text += QLatin1Char(' ') + QLatin1String(words[(line * 7 + w * 3) % 13]);
        text += QLatin1Char('\n');
    }
    return text;
}

void press(QWidget *target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString &text = {})
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &up);
}

OutlineEditor *editorOf(const OutlineView *tree)
{
    return tree->viewport()->findChild<OutlineEditor *>();
}

// Handles events until done() holds; fails after 60 s.
void waitUntil(const std::function<bool()> &done, const char *what)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 60000)
            fail(QStringLiteral("%1 did not happen within a minute").arg(QLatin1String(what)));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

bool editorShown(const OutlineView *tree)
{
    const OutlineEditor *editor = editorOf(tree);
    return editor && editor->isVisible();
}

bool editorEditable(const OutlineView *tree)
{
    return editorShown(tree) && !editorOf(tree)->isLoading();
}

// The bare editor's limit: a plain-text editor of the editor's size, given the text.
double bareEditorMs(const QString &text, const QSize &size)
{
    Measurement limit;
    std::unique_ptr<QPlainTextEdit> editor;
    limit.prepare = [&] {
        editor = std::make_unique<QPlainTextEdit>();
        editor->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        editor->resize(size);
        editor->show();
        QCoreApplication::processEvents();
    };
    limit.run = [&] {
        editor->setPlainText(text);
        editor->moveCursor(QTextCursor::End);
        editor->repaint();
    };
    limit.tidy = [&] { editor.reset(); };
    return limit.medianMs();
}

} // namespace

std::vector<MeasurementResult> MeasureBigMemo(BenchSession &session)
{
    MemoTreeHost &host = startedUpHost(session);
    TqzMemosFrame *frame = host.frame();
    OutlineView *tree = host.tree();
    const QString text = bigText();
    const QByteArray stored = TrimRightWhiteAndControl(WithCrLfLineBreaks(text.toUtf8()));

    MeasurementResult paste{QStringLiteral("bigmemo_paste"), session.memoCount};
    OutlineNode *pasted = nullptr;
    int paintsBefore = 0;
    Measurement pasting;
    pasting.prepare = [&] {
        QGuiApplication::clipboard()->setText(text);
        QCoreApplication::processEvents();
        paintsBefore = host.treePaints();
    };
    pasting.run = [&] {
        frame->Action_PasteMemo->trigger();
        host.paintNow();
    };
    pasting.tidy = [&] {
        requirePainted(host, paintsBefore, "bigmemo_paste");
        pasted = tree->tree().topLevelNode(tree->tree().topLevelCount() - 1);
        if (!pasted || memoOf(pasted)->content != stored)
            fail(QStringLiteral("the pasted memo does not hold the text"));
    };
    paste.ms = pasting.medianMs();
    {
        BareLimits::MemoWriter bare(session.dataFile);
        int next = 0;
        paste.limitMs = Measurement{
            {},
            [&] { bare.insert("bare-big-" + QByteArray::number(next++), stored, OleDateTime::now()); },
            {}}.medianMs();
    }

    // F2 on the last pasted memo, until its editor shows, and until it takes typing.
    const auto startEditing = [&] {
        tree->setFocus(Qt::OtherFocusReason);
        tree->tree().clearSelection();
        tree->tree().setSelected(pasted, true);
        tree->setFocusedNode(pasted);
        QCoreApplication::processEvents();
        press(tree, Qt::Key_F2);
    };
    const auto closeEditor = [&] {
        if (OutlineEditor *editor = editorOf(tree))
            press(editor, Qt::Key_Escape);
        waitUntil([&] { return !editorShown(tree); }, "closing the editor");
        host.paintNow();
    };
    MeasurementResult edit{QStringLiteral("bigmemo_edit"), session.memoCount};
    edit.ms = Measurement{{},
                          [&] {
                              startEditing();
                              waitUntil([&] { return editorShown(tree); }, "the editor showing");
                              host.paintNow();
                          },
                          closeEditor}
                  .medianMs();
    MeasurementResult editable{QStringLiteral("bigmemo_editable"), session.memoCount};
    editable.ms = Measurement{{},
                              [&] {
                                  startEditing();
                                  waitUntil([&] { return editorEditable(tree); }, "the whole text in the editor");
                                  host.paintNow();
                              },
                              closeEditor}
                      .medianMs();
    startEditing();
    waitUntil([&] { return editorEditable(tree); }, "the whole text in the editor");
    const QSize editorSize = editorOf(tree)->size();
    closeEditor();
    edit.limitMs = editable.limitMs = bareEditorMs(text, editorSize);

    // Ctrl+Enter after one letter typed at the end, until the edit is stored and painted.
    MeasurementResult commit{QStringLiteral("bigmemo_commit"), session.memoCount};
    QByteArray expected = stored;
    Measurement committing;
    committing.prepare = [&] {
        startEditing();
        waitUntil([&] { return editorEditable(tree); }, "the whole text in the editor");
        press(editorOf(tree), Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        expected += 'x';
        paintsBefore = host.treePaints();
    };
    committing.run = [&] {
        press(editorOf(tree), Qt::Key_Return, Qt::ControlModifier);
        waitUntil([&] { return !editorShown(tree); }, "the commit");
        host.paintNow();
    };
    committing.tidy = [&] {
        requirePainted(host, paintsBefore, "bigmemo_commit");
        if (memoOf(pasted)->content != expected)
            fail(QStringLiteral("the committed memo does not hold the typed letter"));
    };
    commit.ms = committing.medianMs();
    {
        // A letter more each time, as in the program's runs: a row of the same size and
        // bytes would be left as it is by SQLite, which would make the limit too easy.
        BareLimits::MemoWriter bare(session.dataFile);
        commit.limitMs = Measurement{
            {},
            [&] {
                expected += 'y';
                bare.update(memoOf(pasted)->mid, expected, OleDateTime::now());
            },
            {}}.medianMs();
    }
    return {paste, edit, editable, commit};
}
