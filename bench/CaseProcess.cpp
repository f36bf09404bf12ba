#include "CaseProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

bool copyFiles(const QString &from, const QString &to, QString &failure)
{
    if (!QDir().mkpath(to)) {
        failure = QStringLiteral("cannot make %1").arg(to);
        return false;
    }
    for (const QString &name : QDir(from).entryList(QDir::Files)) {
        if (!QFile::copy(from + name, to + name)) {
            failure = QStringLiteral("cannot copy %1 to %2").arg(from + name, to);
            return false;
        }
    }
    return true;
}

} // namespace

bool RunCaseProcess(const CaseProcessRequest &request, bool keep, const std::function<void(const QString &)> &printLine)
{
    QString failure;
    bool ok = copyFiles(request.dataDir, request.workDir, failure);
    if (ok) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments{QString::number(request.memoCount), QStringLiteral("--case=") + request.caseName,
                              QStringLiteral("--data=") + request.workDir};
        child.start(QCoreApplication::applicationFilePath(), arguments + request.extraArguments);
        if (!child.waitForStarted() || !child.waitForFinished(-1)) {
            failure = QStringLiteral("%1: %2").arg(request.caseName, child.errorString());
            ok = false;
        }
        for (const QByteArray &line : child.readAllStandardOutput().split('\n'))
            if (!line.isEmpty())
                printLine(QString::fromUtf8(line));
        if (ok && (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)) {
            failure = child.exitStatus() == QProcess::NormalExit
                          ? QStringLiteral("%1 ended with status %2").arg(request.caseName).arg(child.exitCode())
                          : QStringLiteral("%1 crashed").arg(request.caseName);
            ok = false;
        }
    }
    if (!failure.isEmpty())
        printLine(QStringLiteral("# error: ") + failure);
    if (!keep)
        QDir(request.workDir).removeRecursively();
    return ok;
}
