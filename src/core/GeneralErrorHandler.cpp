#include "GeneralErrorHandler.h"

#include "Boxes.h"
#include "JotterlyError.h"

namespace GeneralErrorHandler {

QString applicationTitle()
{
    return QStringLiteral("Brivel Jotterly Lite");
}

QString decorate(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void report(const QString &message)
{
    Boxes::CaptionedBox(applicationTitle(), decorate(message), Boxes::Ok, Boxes::Icon::Error);
}

QString messageOf(const std::exception &error)
{
    if (const auto *own = dynamic_cast<const JotterlyError *>(&error))
        return own->message();
    return QString::fromLocal8Bit(error.what());
}

void report(const std::exception &error)
{
    if (dynamic_cast<const SilentAbort *>(&error))
        return; // the user stopped it; nothing to tell
    report(messageOf(error));
}

} // namespace GeneralErrorHandler
