#include "JotterlyApplication.h"

#include "AppPaths.h"
#include "AutoStartEntry.h"
#include "Dm_Common.h"
#include "Dm_Io.h"
#include "Fm_Main.h"
#include "GeneralErrorHandler.h"
#include "ImageLists.h"
#include "QtBoxPresenter.h"
#include "SingleInstance.h"
#include "StartupTiming.h"

#include <QElapsedTimer>

JotterlyApplication::JotterlyApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool JotterlyApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        GeneralErrorHandler::report(error);
    } catch (...) {
        GeneralErrorHandler::report(QStringLiteral("Unknown error"));
    }
    return false;
}

int RunJotterly(int argc, char **argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    JotterlyApplication app(argc, argv);
    const QString title = GeneralErrorHandler::applicationTitle();
    QCoreApplication::setApplicationName(title);
    QCoreApplication::setOrganizationName(QStringLiteral("Brivel Software"));
    // Names the installed desktop entry, so compositors match the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral(JOTTERLY_APP_ID));
    QGuiApplication::setQuitOnLastWindowClosed(false); // hiding to the tray is no reason to end
    QtBoxPresenter::install();

    SingleInstance instance(title);
    if (instance.ActivateRunningInstance())
        return 0; // the running copy has been brought forward; nothing else happens

    QGuiApplication::setWindowIcon(ImageLists::appIcon());
    // The main window, then the interchange module, as the program's parts depend.
    TmainFm mainFm(AppPaths::forExecutable(), &instance);
    TIoDm ioDm(mainFm.ADOConnection1, mainFm.fileVersion(), mainFm.interchangeQuestions);
    mainFm.attachIo(&ioDm);
    XdgAutoStartEntry autoStart(QStringLiteral(JOTTERLY_APP_ID), QStringLiteral("Brivel Jotterly"),
                                QCoreApplication::applicationFilePath());
    CommonDmContext common;
    common.mainWindow = &mainFm;
    common.trayIcon = mainFm.QzTrayIcon1;
    common.formState = mainFm.QzFormState1;
    common.iniPath = mainFm.iniPath;
    common.runMinimizedEn = &mainFm.runMinimizedEn;
    common.addOpenEn = &mainFm.addOpenEn;
    common.autoStart = &autoStart;
    common.visitWebEn = &mainFm.visitWebEn;
    common.visitWeb = &mainFm.visitWeb;
    common.help = mainFm.QZHHComp1;
    common.exeDir = mainFm.exeDir;
    common.fileVersion = mainFm.fileVersion();
    TcommonDm commonDm(common);
    mainFm.attachCommon(&commonDm);
    QObject::connect(&instance, &SingleInstance::activationRequested, &mainFm, &TmainFm::bringToFront);
    mainFm.show();
    StartupTiming::watch(mainFm, sinceStart);
    return app.exec();
}
