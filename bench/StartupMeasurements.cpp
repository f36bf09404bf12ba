#include "StartupMeasurements.h"

#include "BareLimits.h"
#include "BenchSession.h"
#include "JotterlyError.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>

const char *const kBareWindowArgument = "--bare-window";

namespace {

const QByteArray kPaintedLine = QByteArrayLiteral("jotterly-startup painted_ms=");
constexpr int kWaitMs = 120000;

[[noreturn]] void fail(const QString &what)
{
    throw JotterlyError(QStringLiteral("startup: ") + what);
}

// What one start of a program took.
struct ProgramRun
{
    double startupMs = 0; // until it said it had painted
    double exitMs = 0;    // from then until it had ended
    double peakRssMb = -1;
};

ProgramRun runOnce(const QString &program, const QStringList &arguments, const QString &folder)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("JOTTERLY_STARTUP_TIMING"), QStringLiteral("exit"));
    // Its own runtime folder, so no other running copy of the program is taken for this one.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder + QStringLiteral("runtime"));
    environment.insert(QStringLiteral("TMPDIR"), folder + QStringLiteral("tmp"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.setReadChannel(QProcess::StandardError);

    ProgramRun run;
    QByteArray said;
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForStarted(kWaitMs))
        fail(QStringLiteral("%1 did not start: %2").arg(program, process.errorString()));
    while (!said.contains(kPaintedLine)) {
        if (!process.waitForReadyRead(kWaitMs))
            fail(QStringLiteral("%1 never said it had painted; it said: %2").arg(program, QString::fromUtf8(said)));
        said += process.readAllStandardError();
    }
    run.startupMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    run.peakRssMb = peakRssMb(process.processId());
    if (!process.waitForFinished(kWaitMs))
        fail(QStringLiteral("%1 did not end after its Exit command").arg(program));
    run.exitMs = static_cast<double>(clock.nsecsElapsed()) / 1e6 - run.startupMs;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        fail(QStringLiteral("%1 ended with status %2").arg(program).arg(process.exitCode()));
    return run;
}

void copyOrFail(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        fail(QStringLiteral("cannot copy %1 to %2").arg(from, to));
}

// The program's folder as an installed copy looks: the executable, its pictures, and the
// data and settings it finds beside itself.
QString programFolder(const BenchSession &session)
{
    const QString folder = session.dataDir + QStringLiteral("program/");
    const QString built = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    for (const char *sub : {"", "Images", "runtime", "tmp"})
        if (!QDir().mkpath(folder + QLatin1String(sub)))
            fail(QStringLiteral("cannot make %1").arg(folder + QLatin1String(sub)));
    QFile::setPermissions(folder + QStringLiteral("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    copyOrFail(built + QStringLiteral("jotterly"), folder + QStringLiteral("jotterly"));
    for (const QString &picture : QDir(built + QStringLiteral("Images")).entryList(QDir::Files))
        copyOrFail(built + QStringLiteral("Images/") + picture, folder + QStringLiteral("Images/") + picture);
    copyOrFail(session.dataFile, folder + QStringLiteral("qzData.qzb"));
    if (QFile::exists(session.iniPath))
        copyOrFail(session.iniPath, folder + QStringLiteral("qzConf.ini"));
    return folder;
}

} // namespace

std::vector<MeasurementResult> MeasureStartup(BenchSession &session)
{
    const QString folder = programFolder(session);
    std::vector<double> startups, exits, peaks, bareStartups, bareExits, reads;
    for (int i = 0; i < kRunsPerMeasurement; ++i) {
        const ProgramRun program = runOnce(folder + QStringLiteral("jotterly"), {}, folder);
        startups.push_back(program.startupMs);
        exits.push_back(program.exitMs);
        peaks.push_back(program.peakRssMb);
        const ProgramRun bare = runOnce(QCoreApplication::applicationFilePath(),
                                        {QString::fromLatin1(kBareWindowArgument)}, folder);
        bareStartups.push_back(bare.startupMs);
        bareExits.push_back(bare.exitMs);
    }
    const double readMs = Measurement{
        {},
        [&] { BareLimits::ReadAllMemoRows(folder + QStringLiteral("qzData.qzb")); },
        {}}.medianMs();

    MeasurementResult startup{QStringLiteral("startup"), session.memoCount};
    startup.ms = Median(startups);
    startup.limitMs = Median(bareStartups) + readMs;
    startup.peakRssMb = *std::max_element(peaks.begin(), peaks.end());
    startup.ofOtherProgram = true;
    MeasurementResult exit{QStringLiteral("exit_process"), session.memoCount};
    exit.ms = Median(exits);
    exit.limitMs = Median(bareExits);
    exit.peakRssMb = startup.peakRssMb;
    exit.ofOtherProgram = true;
    return {startup, exit};
}

namespace {

// Says when the window has painted, then ends the program.
class PaintedThenQuit : public QObject
{
public:
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                std::fprintf(stderr, "%s%lld\n", kPaintedLine.constData(), static_cast<long long>(clock.elapsed()));
                std::fflush(stderr);
                QCoreApplication::quit();
            });
        }
        return false;
    }
};

} // namespace

int RunBareWindow(int &argc, char **argv)
{
    PaintedThenQuit watch;
    watch.clock.start();
    QApplication app(argc, argv);
    QMainWindow window;
    window.setGeometry(648, 252, 371, 480);
    window.installEventFilter(&watch);
    window.show();
    return app.exec();
}
