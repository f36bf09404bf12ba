#include "SingleInstance.h"

#include "GeneralErrorHandler.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace {

QString safeName(QString text)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_.-]+"));
    return text.replace(unsafe, QStringLiteral("-"));
}

// The folder of the lock and the socket: one per user (and login session where the
// desktop has a runtime folder), whatever TMPDIR says. Qt's own fallback for a missing
// XDG_RUNTIME_DIR lies in TMPDIR, so that case takes a private folder of the user's
// cache location instead.
QString guardFolder(const QString &applicationTitle)
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty())
            return runtime;
    }
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    const QString folder = cache + QLatin1Char('/') + safeName(applicationTitle);
    // Made owner-only; a folder that cannot be made shows as a lock that cannot be taken.
    if (QDir().mkpath(cache))
        QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

} // namespace

SingleInstance::SingleInstance(const QString &applicationTitle, QObject *parent)
    : QObject(parent)
{
    const QDir folder(guardFolder(applicationTitle));
    // A full path, so that the socket is made in this folder rather than in TMPDIR.
    socketPath = folder.filePath(safeName(applicationTitle));
    lock = std::make_unique<QLockFile>(folder.filePath(QStringLiteral("Brivel-Jotterly-Mutex.lock")));
    // A lock is stale only when its process is gone, never because it is old.
    lock->setStaleLockTime(0);
    connect(&server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

SingleInstance::~SingleInstance()
{
    release();
}

bool SingleInstance::ActivateRunningInstance()
{
    if (lock->tryLock(0)) {
        listen();
        return false;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        // No other copy holds the lock; refusing to start would leave the user with no
        // program and no word why.
        const QString reason = lock->error() == QLockFile::PermissionError ? QStringLiteral("permission denied")
                                                                           : QStringLiteral("it cannot be created");
        GeneralErrorHandler::report(QStringLiteral("Cannot take the single-instance lock %1 (%2); the program starts "
                                                   "without checking for another running copy")
                                        .arg(QDir::toNativeSeparators(lock->fileName()), reason));
        return false;
    }
    // Another copy holds the lock. It may still be starting, so keep trying briefly.
    const QDeadlineTimer deadline(1500);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(200)) {
            socket.write("raise\n");
            socket.waitForBytesWritten(500);
            socket.disconnectFromServer();
            return true;
        }
        QThread::msleep(50);
    }
    return true;
}

void SingleInstance::listen()
{
    // Holding the lock, this is the only copy: a socket file left by a killed copy
    // would make listen fail, so it goes first.
    QLocalServer::removeServer(socketPath);
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server.listen(socketPath))
        GeneralErrorHandler::report(QStringLiteral("Cannot listen on %1 (%2); a second start cannot bring this "
                                                   "window forward")
                                        .arg(QDir::toNativeSeparators(socketPath), server.errorString()));
}

void SingleInstance::release()
{
    server.close();
    if (lock && lock->isLocked())
        lock->unlock();
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        emit activationRequested();
    }
}
