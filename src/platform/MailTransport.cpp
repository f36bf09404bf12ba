#include "MailTransport.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace {

constexpr int kUserAbort = 1;
constexpr int kGeneralFailure = 2;
constexpr int kAttachmentNotFound = 11;

} // namespace

XdgEmailTransport::XdgEmailTransport(int timeLimitMs)
    : timeLimitMs(timeLimitMs)
{
}

QStringList XdgEmailTransport::arguments(const MailMessage &message)
{
    QStringList arguments{QStringLiteral("--utf8")};
    for (const QString &cc : message.cc)
        arguments << QStringLiteral("--cc") << cc;
    for (const QString &bcc : message.bcc)
        arguments << QStringLiteral("--bcc") << bcc;
    arguments << QStringLiteral("--subject") << message.subject << QStringLiteral("--body") << message.body;
    for (const QString &file : message.attachments)
        arguments << QStringLiteral("--attach") << file;
    return arguments + message.to;
}

int XdgEmailTransport::resultOfExitStatus(int status)
{
    switch (status) {
    case 0:
        return 0;
    case 2:
        return kAttachmentNotFound;
    case 3:
        return kUserAbort;
    default: // 1, 4 and anything else
        return kGeneralFailure;
    }
}

int XdgEmailTransport::send(const MailMessage &message)
{
    // On the heap: a client that is still starting when the time is up is left running,
    // the process object with it, and is not killed with its compose window.
    auto *process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QEventLoop loop;
    QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(process, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            loop.quit();
    });
    QTimer::singleShot(timeLimitMs, &loop, &QEventLoop::quit);
    process->start(QStringLiteral("xdg-email"), arguments(message));
    if (process->state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents); // paints meanwhile, takes no clicks
    if (process->state() != QProcess::NotRunning) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return 0; // handed over; the client is still on its way
    }
    const bool started = process->error() != QProcess::FailedToStart;
    const bool normal = process->exitStatus() == QProcess::NormalExit;
    const int status = process->exitCode();
    delete process;
    if (!started)
        return kUserAbort; // no xdg-email at all: as a missing mail system
    return normal ? resultOfExitStatus(status) : kGeneralFailure;
}
