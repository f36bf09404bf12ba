// The general error handler: a failure that no handler catches is shown in a box with
// the application title as caption and an error icon, and the program keeps running.
#pragma once

#include <QObject>
#include <QString>
#include <exception>

namespace GeneralErrorHandler {

// The application title, used as the caption of error boxes and to find a running copy.
QString applicationTitle();

// The message as shown: a full stop is added when its last character sorts after ".".
QString decorate(const QString &message);

// The text of an exception as shown to the user.
QString messageOf(const std::exception &error);

void report(const QString &message);
void report(const std::exception &error);

// Runs the step and reports any exception it raises instead of letting it escape.
template<class Step>
void guarded(Step &&step)
{
    try {
        step();
    } catch (const std::exception &error) {
        report(error);
    } catch (...) {
        report(QStringLiteral("Unknown error"));
    }
}

// Connects the signal to a handler of the receiver that runs guarded: a command that
// fails shows its error and the program goes on.
template<class Sender, class Signal, class Receiver>
void connectGuarded(const Sender *sender, Signal signal, Receiver *receiver, void (Receiver::*handler)())
{
    QObject::connect(sender, signal, receiver, [receiver, handler] { guarded([&] { (receiver->*handler)(); }); });
}

} // namespace GeneralErrorHandler
