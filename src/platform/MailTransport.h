// How a message reaches the user's mail client. Results are Simple MAPI's result codes
// (0 success, 1 user abort, 2 general failure, 11 attachment not found, ...), so that a
// transport for another platform can sit beside this one and the message component keeps
// one error vocabulary.
#pragma once

#include <QString>
#include <QStringList>

struct MailMessage
{
    QString subject;
    QString body;
    QStringList to, cc, bcc; // names or addresses as the user gave them
    QStringList attachments; // full paths
    bool review = true;      // the client shows its compose window
};

class MailTransport
{
public:
    virtual ~MailTransport() = default;
    virtual int send(const MailMessage &message) = 0;
};

// The freedesktop.org way: xdg-email, run as a child process, which hands the message to
// the user's configured mail client; the client always shows it for review. While it
// runs, events are handled so the window keeps painting; after the time limit the
// program goes on and leaves it running (a client starting up may take that long).
class XdgEmailTransport : public MailTransport
{
public:
    explicit XdgEmailTransport(int timeLimitMs = 60000);
    int send(const MailMessage &message) override;

    // The arguments handed to xdg-email, in order.
    static QStringList arguments(const MailMessage &message);
    // Simple MAPI's result for an exit status of xdg-email:
    //   0 success                      -> 0 success
    //   1 error in the command line    -> 2 general failure
    //   2 a file does not exist        -> 11 attachment not found
    //   3 no mail client or tool found -> 1 user abort: a missing mail system stays quiet
    //   4 the client failed            -> 2 general failure
    //   anything else or a crash    -> 2 general failure
    // xdg-email missing altogether gives 1 as well; still running at the time limit, 0.
    static int resultOfExitStatus(int status);

private:
    int timeLimitMs;
};
