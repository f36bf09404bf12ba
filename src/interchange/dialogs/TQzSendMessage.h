// Hands a message (subject, body, recipients, attachments) to the user's mail client;
// as the program uses it, the client's compose window opens filled in and the user adds
// the recipients and sends from there. The transport is behind MailTransport; failures
// come back as Simple MAPI result codes and raise EMapiUserAbort (1, passed over in
// silence) or EMapiError ("MAPI: <text>. ErrorCode = <code>").
#pragma once

#include "JotterlyError.h"

#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStringList>

#include <memory>

#include "MailTransport.h"

class EMapiError : public JotterlyError
{
public:
    explicit EMapiError(int code);
    int code() const { return resultCode; }
    // The text of a result code ("General Failure" for 2, "Unknown Error" for any unknown).
    static QString textOf(int code);

private:
    int resultCode;
};

class EMapiUserAbort : public SilentAbort
{
public:
    EMapiUserAbort()
        : SilentAbort(QStringLiteral("User Abort"))
    {
    }
};

// Raises the exception of a result code above 0.
void RaiseMapiResult(int code);

class TQzSendMessage : public QObject
{
    Q_OBJECT
public:
    // transport: null means the desktop's own (xdg-email).
    explicit TQzSendMessage(QObject *parent = nullptr, std::unique_ptr<MailTransport> transport = nullptr);
    ~TQzSendMessage() override;

    QStringList Attachments;
    QStringList ToRecipients;
    QStringList CcRecipients;
    QStringList BccRecipients;
    QPointer<QPlainTextEdit> MessageMemo; // when set, its lines replace MessageText at each send
    QStringList MessageText;
    QString ProfileName;
    QString Password;
    bool Review = true;
    bool ResolveNames = true; // there is no address book to ask here: names go as written
    QString Subject;
    QPointer<QLineEdit> SubjectEdit; // when set, its text is the subject

    void Logon();
    void Logoff();
    // Builds the message and hands it over; the session opened for it stays open.
    void Send();
    void Clear();
    bool hasSession() const { return session; }

private:
    std::unique_ptr<MailTransport> transport;
    bool session = false;
};
