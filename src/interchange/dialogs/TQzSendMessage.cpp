#include "TQzSendMessage.h"

#include "MailTransport.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScopeGuard>

EMapiError::EMapiError(int code)
    : JotterlyError(QStringLiteral("MAPI: %1. ErrorCode = %2").arg(textOf(code)).arg(code))
    , resultCode(code)
{
}

QString EMapiError::textOf(int code)
{
    static const char *const texts[] = {nullptr,
                                        nullptr,
                                        "General Failure",
                                        "Login Failure",
                                        "Disk Full",
                                        "Insufficient Memory",
                                        "Access Denied",
                                        nullptr,
                                        "Too Many Sessions",
                                        "Too Many Files",
                                        "Too Many Recipients",
                                        "Attachment Not Found",
                                        "Attachment Open Failure",
                                        "Attachment Write Failure",
                                        "Unknown Recipient",
                                        "Bad Recipient Type",
                                        "No Messages",
                                        "Invalid Message",
                                        "Text Too Large",
                                        "Invalid Session",
                                        "Type Not Supported",
                                        "Ambiguous Recipient",
                                        "Message In Use",
                                        "Network Failure",
                                        "Invalid Edit Fields",
                                        "Invalid Recipients",
                                        "Feature Not Supported"};
    const bool known = code >= 0 && code < static_cast<int>(std::size(texts)) && texts[code];
    return QLatin1String(known ? texts[code] : "Unknown Error");
}

void RaiseMapiResult(int code)
{
    if (code == 1)
        throw EMapiUserAbort();
    if (code > 0)
        throw EMapiError(code);
}

TQzSendMessage::TQzSendMessage(QObject *parent, std::unique_ptr<MailTransport> mail)
    : QObject(parent)
    , transport(mail ? std::move(mail) : std::make_unique<XdgEmailTransport>())
{
}

TQzSendMessage::~TQzSendMessage()
{
    Logoff();
}

void TQzSendMessage::Logon()
{
    // The desktop's mail hand-over needs no profile: the session is this component's own.
    session = true;
}

void TQzSendMessage::Logoff()
{
    session = false;
}

void TQzSendMessage::Clear()
{
    Attachments.clear();
    ToRecipients.clear();
    CcRecipients.clear();
    BccRecipients.clear();
    MessageText.clear();
}

void TQzSendMessage::Send()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QString directory = QDir::currentPath();
    // The mail client may change the current folder; it and the cursor come back whatever happens.
    const auto restore = qScopeGuard([&directory] {
        QDir::setCurrent(directory);
        QGuiApplication::restoreOverrideCursor();
    });
    if (!session)
        Logon();
    if (MessageMemo)
        MessageText = MessageMemo->toPlainText().split(QLatin1Char('\n'));
    MailMessage message;
    for (const QString &line : MessageText)
        message.body += line + QStringLiteral("\r\n");
    message.subject = SubjectEdit ? SubjectEdit->text() : Subject;
    message.to = ToRecipients;
    message.cc = CcRecipients;
    message.bcc = BccRecipients;
    for (const QString &file : Attachments)
        message.attachments << QFileInfo(file).absoluteFilePath(); // relative to the current folder now
    message.review = Review || ToRecipients.isEmpty();
    RaiseMapiResult(transport->send(message));
}
