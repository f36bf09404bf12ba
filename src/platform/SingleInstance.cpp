#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QThread>

namespace {

QString currentUser()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return user.isEmpty() ? QStringLiteral("user") : user;
}

QString safeName(QString text)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_.-]+"));
    return text.replace(unsafe, QStringLiteral("-"));
}

} // namespace

SingleInstance::SingleInstance(const QString &applicationTitle, QObject *parent)
    : QObject(parent)
    , name(safeName(applicationTitle + QLatin1Char('-') + currentUser()))
{
    const QString lockPath = QDir::temp().filePath(safeName(QStringLiteral("Brivel-Jotterly-Mutex-") + currentUser()) + QStringLiteral(".lock"));
    lock = std::make_unique<QLockFile>(lockPath);
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
        // A socket file left by a killed copy would make listen fail.
        QLocalServer::removeServer(name);
        server.setSocketOptions(QLocalServer::UserAccessOption);
        server.listen(name);
        return false;
    }
    // Another copy holds the lock. It may still be starting, so keep trying briefly.
    const QDeadlineTimer deadline(1500);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(name);
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
