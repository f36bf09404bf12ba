// jotterly-bench [N] [--small] [--xcb] [--keep] [--only=NAME,...]
//
// Generates a data file of N memos (default 100000) in a temporary folder and measures
// the program's work on it against the bare building blocks, printing one line per
// measurement with the peak memory of that measurement alone: each runs in a process of
// its own (this program again, with --case=NAME --data=FOLDER, which also works by hand
// under a profiler).
// --small adds a second run at 10000 memos; --xcb uses the X server named by DISPLAY
// instead of the offscreen platform; --keep leaves the data folder for a closer look and
// --only runs just the named measurements.
#include "BenchSession.h"
#include "BigMemoMeasurements.h"
#include "Boxes.h"
#include "CaseProcess.h"
#include "JotterlyApplication.h"
#include "JotterlyError.h"
#include "Measurement.h"
#include "MemoDataGenerator.h"
#include "MemoTreeMeasurements.h"
#include "PrintMeasurement.h"
#include "StartupMeasurements.h"
#include "StoreMeasurements.h"
#include "bench_interchange.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kDefaultMemoCount = 100000;
constexpr int kSmallMemoCount = 10000;

// One measurement of the report. New measurements (backup, import, restore) are one
// function each, added to this list.
struct BenchCase
{
    const char *name;
    std::function<std::vector<MeasurementResult>(BenchSession &)> measure;
};

// A measurement of one result line as a case.
std::function<std::vector<MeasurementResult>(BenchSession &)> single(MeasurementResult (*measure)(BenchSession &))
{
    return [measure](BenchSession &session) { return std::vector<MeasurementResult>{measure(session)}; };
}

const std::vector<BenchCase> &benchCases()
{
    static const std::vector<BenchCase> cases = {
        {"load", single(MeasureLoad)},
        {"filter", single(MeasureFilter)},
        {"sort", single(MeasureSort)},
        {"listview", single(MeasureListView)},
        {"backup", single(MeasureBackup)},
        {"import", single(MeasureImport)},
        {"restore_all", single(MeasureRestoreAll)},
        {"commit", single(MeasureCommit)},
        {"exit", single(MeasureExit)},
        {"bigmemo", MeasureBigMemo},
        {"startup", MeasureStartup},
        {"print", single(MeasurePrint)},
    };
    return cases;
}

struct Options
{
    std::vector<int> memoCounts;
    bool useXcb = false;
    bool keepData = false;
    QStringList only;  // measurement names to run; empty runs them all
    QString childCase; // --case: run just this measurement, in this process
    QString childData; // --data: the folder the child works in
};

const BenchCase *findCase(const QString &name)
{
    for (const BenchCase &benchCase : benchCases())
        if (name == QLatin1String(benchCase.name))
            return &benchCase;
    return nullptr;
}

void printLine(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// The offscreen platform warns on every shown window that it cannot pass size hints on;
// that says nothing about the measurements, so it is left out. Everything else passes.
QtMessageHandler previousMessageHandler = nullptr;

void dropSizeHintWarning(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    if (previousMessageHandler)
        previousMessageHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

void printUsage()
{
    std::fprintf(stderr,
                 "usage: jotterly-bench [N] [--small] [--xcb] [--keep] [--only=NAME,...]\n"
                 "  N        memos to generate and measure (default %d)\n"
                 "  --small  also measure a second, smaller run of %d memos\n"
                 "  --xcb    use the X server in DISPLAY instead of the offscreen platform\n"
                 "  --keep   keep the temporary data folder and print where it is\n"
                 "  --only=  run only the named measurements (load, filter, sort, listview,\n"
                 "           backup, import, restore_all, commit, exit, bigmemo, startup,\n"
                 "           print)\n",
                 kDefaultMemoCount, kSmallMemoCount);
}

// False for arguments that make no sense; the usage is printed then.
bool parseOptions(int argc, char **argv, Options &options)
{
    int memoCount = kDefaultMemoCount;
    bool small = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--small") {
            small = true;
        } else if (arg == "--xcb") {
            options.useXcb = true;
        } else if (arg == "--keep") {
            options.keepData = true;
        } else if (arg.startsWith("--only=")) {
            options.only = QString::fromUtf8(arg.mid(7)).split(QLatin1Char(','), Qt::SkipEmptyParts);
            for (const QString &name : options.only)
                if (!findCase(name))
                    return false;
        } else if (arg.startsWith("--case=")) {
            options.childCase = QString::fromUtf8(arg.mid(7));
            if (!findCase(options.childCase))
                return false;
        } else if (arg.startsWith("--data=")) {
            options.childData = QString::fromUtf8(arg.mid(7));
        } else {
            bool ok = false;
            memoCount = arg.toInt(&ok);
            if (!ok || memoCount < 1)
                return false;
        }
    }
    options.memoCounts = {memoCount};
    if (options.childCase.isEmpty() != options.childData.isEmpty())
        return false;
    if (small && memoCount != kSmallMemoCount)
        options.memoCounts.push_back(kSmallMemoCount);
    return true;
}

BackgroundPictures loadPictures(const QString &folder, QStringList &notes)
{
    BackgroundPictures pictures;
    QStringList missing;
    const auto load = [&](QImage &target, const char *name) {
        if (!target.load(folder + QLatin1String(name)))
            missing << QLatin1String(name);
    };
    load(pictures.toolsbar, "toolsbarBackground.bmp");
    load(pictures.searchbar, "searchbarBackground.bmp");
    load(pictures.group, "groupBackground.bmp");
    load(pictures.item0, "itemBackground0.bmp");
    load(pictures.item1, "itemBackground1.bmp");
    if (!missing.isEmpty())
        notes << QStringLiteral("pictures missing in %1: %2 (rows painted without them)")
                     .arg(folder, missing.join(QStringLiteral(", ")));
    return pictures;
}

QString messageOf(const std::exception &error)
{
    const auto *own = dynamic_cast<const JotterlyError *>(&error);
    return own ? own->message() : QString::fromLocal8Bit(error.what());
}

// Generates the data at one memo count and runs every measurement on it, each in a
// process of its own; false on a failure, which is reported as a "#" line.
bool runSession(int memoCount, const Options &options)
{
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/jotterly-bench-XXXXXX"));
    if (!folder.isValid()) {
        printLine(QStringLiteral("# error: cannot make a temporary folder: %1").arg(folder.errorString()));
        return false;
    }
    folder.setAutoRemove(!options.keepData);
    if (options.keepData)
        printLine(QStringLiteral("# data folder kept: %1").arg(folder.path()));
    const QString dataDir = folder.path() + QStringLiteral("/data/");
    try {
        if (!QDir().mkpath(dataDir))
            throw JotterlyError(QStringLiteral("cannot make %1").arg(dataDir));
        MemoDataPlan plan;
        plan.memoCount = memoCount;
        QElapsedTimer clock;
        clock.start();
        const MemoDataSummary d = GenerateMemoData(dataDir + QStringLiteral("qzData.qzb"), plan);
        printLine(QStringLiteral("# data n=%1: %2 top-level (%3 expanded, %4 without sub-memos, at most %5 sub-memos), "
                                 "%6 sub-memos, %7 multi-line, %8 with non-ASCII words, %9 text bytes; made in %10 ms")
                      .arg(memoCount)
                      .arg(d.topLevel)
                      .arg(d.expanded)
                      .arg(d.withoutSubMemos)
                      .arg(d.mostSubMemos)
                      .arg(d.subMemos)
                      .arg(d.multiline)
                      .arg(d.withNonAscii)
                      .arg(d.textBytes)
                      .arg(clock.elapsed()));
    } catch (const std::exception &error) {
        printLine(QStringLiteral("# error: ") + messageOf(error));
        return false;
    }
    bool ok = true;
    for (const BenchCase &benchCase : benchCases()) {
        if (!options.only.isEmpty() && !options.only.contains(QLatin1String(benchCase.name)))
            continue;
        CaseProcessRequest request;
        request.caseName = QLatin1String(benchCase.name);
        request.dataDir = dataDir;
        request.workDir = folder.path() + QLatin1Char('/') + request.caseName + QLatin1Char('/');
        request.memoCount = memoCount;
        if (options.useXcb)
            request.extraArguments << QStringLiteral("--xcb");
        ok = RunCaseProcess(request, options.keepData, printLine) && ok;
    }
    return ok;
}

// The child's part: one measurement on the data in options.childData, its lines
// printed with this process's peak memory unless the measurement knows another's.
bool runChild(const Options &options)
{
    BenchSession session;
    session.memoCount = options.memoCounts.front();
    session.dataDir = options.childData.endsWith(QLatin1Char('/')) ? options.childData
                                                                   : options.childData + QLatin1Char('/');
    session.dataFile = session.dataDir + QStringLiteral("qzData.qzb");
    session.iniPath = session.dataDir + QStringLiteral("qzConf.ini");
    session.pictures = loadPictures(QCoreApplication::applicationDirPath() + QStringLiteral("/Images/"), session.notes);
    bool ok = true;
    try {
        std::vector<MeasurementResult> results = findCase(options.childCase)->measure(session);
        const double peak = peakRssMb();
        for (MeasurementResult &result : results) {
            if (result.peakRssMb < 0 && !result.ofOtherProgram)
                result.peakRssMb = peak;
            printLine(resultLine(result));
        }
    } catch (const std::exception &error) {
        session.notes << QStringLiteral("error: %1").arg(messageOf(error));
        ok = false;
    }
    session.host.reset(); // the window goes before its data folder
    for (const QString &note : session.notes)
        printLine(QStringLiteral("# ") + note);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && qstrcmp(argv[1], kBareWindowArgument) == 0)
        return RunBareWindow(argc, argv);
    Options options;
    if (!parseOptions(argc, argv, options)) {
        printUsage();
        return 2;
    }
    // Offscreen unless a real X server was asked for and is there.
    const bool xcb = options.useXcb && !qEnvironmentVariableIsEmpty("DISPLAY");
    qputenv("QT_QPA_PLATFORM", xcb ? "xcb" : "offscreen");
    previousMessageHandler = qInstallMessageHandler(dropSizeHintWarning);

    JotterlyApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("jotterly-bench"));
    QStandardPaths::setTestModeEnabled(true); // nothing of the user's is read or written
    // A box would block the run: every box is printed and answered with Cancel.
    int boxes = 0;
    Boxes::setPresenter([&boxes](const QString &caption, const QString &text, Boxes::Buttons, Boxes::Icon) {
        ++boxes;
        printLine(QStringLiteral("# box: %1: %2").arg(caption, text));
        return static_cast<int>(Boxes::IdCancel);
    });

    if (!options.childCase.isEmpty())
        return runChild(options) && boxes == 0 ? 0 : 1;

    printLine(QStringLiteral("# jotterly-bench platform=%1 build=%2 qt=%3 sqlite=%4 runs=%5 (median reported)")
                  .arg(QGuiApplication::platformName(), QStringLiteral(JOTTERLY_BENCH_BUILD_TYPE),
                       QString::fromLatin1(qVersion()), QString::fromLatin1(sqlite3_libversion()))
                  .arg(kRunsPerMeasurement));
    if (options.useXcb && !xcb)
        printLine(QStringLiteral("# --xcb ignored: DISPLAY is not set"));

    bool ok = true;
    for (int memoCount : options.memoCounts)
        ok = runSession(memoCount, options) && ok;
    return ok && boxes == 0 ? 0 : 1;
}
