// Keeps the program to one running copy per user. The first copy holds a lock file and
// listens on a local socket, both named after the application title and the user; a
// second copy finds the lock taken, asks the first to come forward through the socket
// and ends. A lock or socket left behind by a killed copy never blocks the next start.
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
    // False when this process is the only copy: it now holds the lock and listens.
    bool ActivateRunningInstance();
    // Gives up the lock and stops listening.
    void release();

    QString serverName() const { return name; }

signals:
    // Another copy asked this one to bring its window forward.
    void activationRequested();

private:
    void onNewConnection();

    QString name;
    std::unique_ptr<QLockFile> lock;
    QLocalServer server;
};
