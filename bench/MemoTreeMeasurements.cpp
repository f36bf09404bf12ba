#include "MemoTreeMeasurements.h"

#include "BareLimits.h"
#include "BenchSession.h"
#include "Fr_qzMemos.h"
#include "IniFile.h"
#include "JotterlyError.h"
#include "MemoSearchBar.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>

#include <algorithm>

// Three letters found only inside a few words of the generated texts ("rent", "renew",
// "renewal"), so a moderate share of the memos (about 14%) matches.
const char *const kFilterText = "ren";

namespace {

[[noreturn]] void fail(const QString &what)
{
    throw JotterlyError(what);
}

} // namespace

MemoTreeHost &startedUpHost(BenchSession &session)
{
    if (!session.host) {
        session.host = std::make_unique<MemoTreeHost>(session.dataFile, session.iniPath, &session.pictures);
        session.hostStartedUp = false;
        session.host->reload();
        session.host->paintNow();
    }
    if (!session.hostStartedUp) {
        session.host->runStartUpMessage();
        session.host->paintNow();
        session.hostStartedUp = true;
    }
    return *session.host;
}

void requirePainted(const MemoTreeHost &host, int before, const char *what)
{
    if (host.treePaints() <= before)
        fail(QStringLiteral("%1: the memo tree did not paint").arg(QLatin1String(what)));
}

namespace {

// Every memo text in the tree in pre-order, as shallow copies of the tree's own bytes.
std::vector<QByteArray> memoTexts(const MemoTreeHost &host)
{
    const OutlineTree &tree = host.tree()->tree();
    std::vector<QByteArray> texts;
    texts.reserve(static_cast<size_t>(tree.totalCount()));
    for (const OutlineNode *node = tree.firstNode(); node; node = OutlineTree::nextNode(node))
        texts.push_back(memoOf(node)->content);
    return texts;
}

// Puts the search box in search mode the way a user does, by giving it the focus.
void enterSearchMode(MemoTreeHost &host, QStringList &notes)
{
    host.window().activateWindow();
    QCoreApplication::processEvents();
    host.searchBox()->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    if (!host.searchBar()->isSearching())
        fail(QStringLiteral("filter: the search box took no focus and did not enter search mode"));
    notes << QStringLiteral("filter: search mode entered by focusing the search box");
}

void leaveSearchMode(MemoTreeHost &host)
{
    host.tree()->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    if (host.searchBar()->isSearching())
        host.searchBar()->Btn_SearchClick();
    host.paintNow();
}

// The sort direction in force, as the sort command stores it.
bool sortsAscending(const BenchSession &session)
{
    return IniFile::ReadBool(session.iniPath, QStringLiteral("memo"), QStringLiteral("viewAscEn"), true);
}

std::vector<bool> expandedStates(const OutlineTree &tree)
{
    std::vector<bool> states(static_cast<size_t>(tree.topLevelCount()));
    for (int i = 0; i < tree.topLevelCount(); ++i)
        states[static_cast<size_t>(i)] = tree.topLevelNode(i)->isExpanded();
    return states;
}

// Puts the expanded states back (the program stores each change in the data file).
int restoreExpandedStates(OutlineTree &tree, const std::vector<bool> &states)
{
    int changed = 0;
    for (int i = 0; i < tree.topLevelCount(); ++i) {
        OutlineNode *memo = tree.topLevelNode(i);
        if (memo->isExpanded() != states[static_cast<size_t>(i)]) {
            tree.setExpanded(memo, states[static_cast<size_t>(i)]);
            ++changed;
        }
    }
    return changed;
}

} // namespace

MeasurementResult MeasureLoad(BenchSession &session)
{
    MeasurementResult result{QStringLiteral("load"), session.memoCount};

    qint64 rows = 0;
    result.limitMs = Measurement{{}, [&] { rows = BareLimits::ReadAllMemoRows(session.dataFile); }, {}}.medianMs();
    if (rows != session.memoCount)
        fail(QStringLiteral("load: SQLite read %1 rows, not %2").arg(rows).arg(session.memoCount));

    // Every run starts from a new window with an empty tree on a new connection, as the
    // program does at its start.
    int paintsBefore = 0;
    Measurement load;
    load.prepare = [&] {
        session.host.reset();
        session.hostStartedUp = false;
        session.host = std::make_unique<MemoTreeHost>(session.dataFile, session.iniPath, &session.pictures);
        paintsBefore = session.host->treePaints();
    };
    load.run = [&] {
        session.host->reload();
        session.host->paintNow();
    };
    load.tidy = [&] {
        requirePainted(*session.host, paintsBefore, "load");
        const int loaded = session.host->tree()->tree().totalCount();
        if (loaded != session.memoCount)
            fail(QStringLiteral("load: the tree holds %1 memos, not %2").arg(loaded).arg(session.memoCount));
    };
    result.ms = load.medianMs();
    return result;
}

MeasurementResult MeasureFilter(BenchSession &session)
{
    MeasurementResult result{QStringLiteral("filter"), session.memoCount};
    MemoTreeHost &host = startedUpHost(session);
    TqzMemosFrame *frame = host.frame();
    OutlineTree &tree = host.tree()->tree();
    enterSearchMode(host, session.notes);
    host.paintNow();

    // Every run filters the tree as it was before the first search: the memos that the
    // pass expands (and stores as expanded) are collapsed again between runs.
    const std::vector<bool> expandedBefore = expandedStates(tree);
    const QString filterText = QString::fromLatin1(kFilterText);
    int paintsBefore = 0;
    int visibleAfter = -1;
    int expandedByPass = 0;
    std::vector<double> storeMs; // the pass's expanded states, written once the user pauses
    Measurement filter;
    filter.prepare = [&] { paintsBefore = host.treePaints(); };
    filter.run = [&] {
        host.searchBox()->setText(filterText); // raises Edt_SearchChange, which filters
        host.paintNow();
    };
    filter.tidy = [&] {
        requirePainted(host, paintsBefore, "filter");
        if (host.searchBar()->searchText() != filterText.toUtf8())
            fail(QStringLiteral("filter: the search text did not reach the frame"));
        visibleAfter = tree.visibleCount();
        QElapsedTimer store;
        store.start();
        frame->storePendingExpandStates();
        storeMs.push_back(store.nsecsElapsed() / 1e6);
        host.searchBox()->clear();
        expandedByPass = restoreExpandedStates(tree, expandedBefore);
        host.paintNow();
    };
    result.ms = filter.medianMs();
    leaveSearchMode(host);

    const std::vector<QByteArray> texts = memoTexts(host);
    int matches = 0;
    result.limitMs = Measurement{{}, [&] { matches = BareLimits::CountContaining(texts, kFilterText); }, {}}.medianMs();
    session.notes << QStringLiteral("filter: \"%1\" is in %2 of %3 memo texts (%4%); %5 rows stay visible; "
                                    "the pass expands %6 collapsed memos")
                         .arg(filterText)
                         .arg(matches)
                         .arg(texts.size())
                         .arg(texts.empty() ? 0.0 : 100.0 * matches / static_cast<double>(texts.size()), 0, 'f', 1)
                         .arg(visibleAfter)
                         .arg(expandedByPass);
    std::sort(storeMs.begin(), storeMs.end());
    if (!storeMs.empty())
        session.notes << QStringLiteral("filter: writing those expanded states after the pass (not part of it) "
                                        "took %1 ms (median)")
                             .arg(storeMs[storeMs.size() / 2], 0, 'f', 1);
    return result;
}

MeasurementResult MeasureSort(BenchSession &session)
{
    MeasurementResult result{QStringLiteral("sort"), session.memoCount};
    MemoTreeHost &host = startedUpHost(session);
    TqzMemosFrame *frame = host.frame();

    int paintsBefore = 0;
    bool directionBefore = false;
    Measurement sort;
    sort.prepare = [&] {
        paintsBefore = host.treePaints();
        directionBefore = sortsAscending(session);
    };
    sort.run = [&] {
        frame->Action_ViewAsc->trigger();
        host.paintNow();
    };
    sort.tidy = [&] {
        requirePainted(host, paintsBefore, "sort");
        if (sortsAscending(session) == directionBefore)
            fail(QStringLiteral("sort: the command did not change the direction"));
    };

    // The limit starts like the tree: sorted in the present direction, then turned.
    std::vector<QByteArray> texts = memoTexts(host);
    bool limitAscending = sortsAscending(session);
    BareLimits::StableSortTexts(texts, limitAscending);
    result.limitMs = Measurement{
        {},
        [&] {
            limitAscending = !limitAscending;
            BareLimits::StableSortTexts(texts, limitAscending);
        },
        {}}.medianMs();
    texts.clear();
    result.ms = sort.medianMs();
    return result;
}

MeasurementResult MeasureListView(BenchSession &session)
{
    MeasurementResult result{QStringLiteral("listview"), session.memoCount};
    MemoTreeHost &host = startedUpHost(session);
    TqzMemosFrame *frame = host.frame();

    int paintsBefore = 0;
    bool checkedBefore = false;
    Measurement toggle;
    toggle.prepare = [&] {
        paintsBefore = host.treePaints();
        checkedBefore = frame->Action_ViewList->isChecked();
    };
    toggle.run = [&] {
        frame->Action_ViewList->trigger(); // flips the checked state, then runs the command
        host.paintNow();
    };
    toggle.tidy = [&] {
        requirePainted(host, paintsBefore, "listview");
        if (frame->Action_ViewList->isChecked() == checkedBefore)
            fail(QStringLiteral("listview: the command did not change the view"));
    };
    const bool listViewAtStart = frame->Action_ViewList->isChecked();
    result.ms = toggle.medianMs();
    if (frame->Action_ViewList->isChecked() != listViewAtStart) {
        frame->Action_ViewList->trigger(); // later measurements see the view as it was
        host.paintNow();
    }

    const std::vector<QByteArray> texts = memoTexts(host);
    qint64 length = 0;
    result.limitMs = Measurement{{}, [&] { length = BareLimits::OneLineFormOfAll(texts); }, {}}.medianMs();
    if (length <= 0 && !texts.empty())
        fail(QStringLiteral("listview: the limit produced no text"));
    return result;
}

MeasurementResult MeasureExit(BenchSession &session)
{
    MeasurementResult result{QStringLiteral("exit"), session.memoCount};
    Measurement exit;
    exit.prepare = [&] {
        startedUpHost(session);
        if (session.host->tree()->tree().totalCount() != session.memoCount)
            fail(QStringLiteral("exit: the tree does not hold every memo"));
    };
    exit.run = [&] { session.host.reset(); };
    exit.tidy = [&] { session.hostStartedUp = false; };
    result.ms = exit.medianMs();

    std::vector<MemoRecord> records;
    Measurement limit;
    limit.prepare = [&] {
        records.clear();
        MemoTreeHost &host = startedUpHost(session);
        records.reserve(static_cast<size_t>(session.memoCount));
        for (const OutlineNode *node = host.tree()->tree().firstNode(); node; node = OutlineTree::nextNode(node)) {
            const TMemoInfo *memo = memoOf(node);
            MemoRecord copy;
            copy.mid = QByteArray(memo->mid.constData(), memo->mid.size()); // own copies, freed one by one
            copy.pid = QByteArray(memo->pid.constData(), memo->pid.size());
            copy.content = QByteArray(memo->content.constData(), memo->content.size());
            records.push_back(std::move(copy));
        }
    };
    limit.run = [&] { std::vector<MemoRecord>().swap(records); };
    result.limitMs = limit.medianMs();
    return result;
}
