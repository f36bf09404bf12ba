// The application object: the last net of the general error handler. An exception that
// escapes an event handler is shown in a box and the program keeps running.
#pragma once

#include <QApplication>

class JotterlyApplication : public QApplication
{
    Q_OBJECT
public:
    JotterlyApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Starts the program: single-instance test, main window, message loop. Returns the exit code.
int RunJotterly(int argc, char **argv);
