// Keeps the program to one running copy per user. The first copy holds a lock file and
// listens on a local socket, both in the user's runtime folder (XDG_RUNTIME_DIR, else a
// private folder in the user's cache location; never TMPDIR, so a second start with
// another TMPDIR still finds the first). A second copy finds the lock held, asks the
// first to come forward through the socket and ends. A lock or socket left behind by a
// killed copy never blocks the next start, and a lock that cannot be taken at all is
// reported rather than mistaken for a running copy.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &applicationTitle, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when another copy is running; it has then been asked to come forward.
    // False when this process is to run: it holds the lock and listens, or the guard
    // could not be set up, which is reported through the general error handler.
    bool ActivateRunningInstance();
    // Gives up the lock and stops listening.
    void release();

signals:
    // Another copy asked this one to bring its window forward.
    void activationRequested();

private:
    void listen();
    void onNewConnection();

    QString socketPath;
    std::unique_ptr<QLockFile> lock;
    QLocalServer server;
};
