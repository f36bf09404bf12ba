// The one exception type of the program: a failure with a message meant for the user.
// Handlers that do not catch it leave it to the general error handler.
#pragma once

#include <QString>
#include <stdexcept>

class JotterlyError : public std::runtime_error
{
public:
    explicit JotterlyError(const QString &message)
        : std::runtime_error(message.toStdString())
        , text(message)
    {
    }
    const QString &message() const { return text; }

private:
    QString text;
};

// A failure that needs no message: the user stopped it. The general error handler passes
// it over in silence.
class SilentAbort : public JotterlyError
{
public:
    using JotterlyError::JotterlyError;
};
