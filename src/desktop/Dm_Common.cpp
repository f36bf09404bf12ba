#include "Dm_Common.h"

#include "AutoStartEntry.h"
#include "Dlg_About.h"
#include "Dlg_Options.h"
#include "GeneralErrorHandler.h"
#include "IniFile.h"
#include "InterchangeTime.h"
#include "Messages.h"
#include "OleDateTime.h"
#include "ProductAddresses.h"
#include "TQZHHComp.h"
#include "TQzFormState.h"
#include "TQzTrayIcon.h"
#include "UpdateReminder.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QWidget>
#include <QWindow>

namespace {

QAction *makeAction(QObject *owner, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

TcommonDm::TcommonDm(const CommonDmContext &context, QObject *parent)
    : QObject(parent)
    , ctx(context)
{
    Action_UiOpen = makeAction(this, "Action_UiOpen", QStringLiteral("&Open Brivel Jotterly"));
    Action_UiClose = makeAction(this, "Action_UiClose", QStringLiteral("&Close            Ctrl+F12"));
    Action_UiStayOnTop = makeAction(this, "Action_UiStayOnTop", QStringLiteral("S&tay on top"));
    Action_UiStayOnTop->setCheckable(true);
    Action_Options = makeAction(this, "Action_Options", QStringLiteral("&Options..."));
    HelpContents1 = makeAction(this, "HelpContents1", QStringLiteral("&Contents"));
    HelpContents1->setToolTip(QStringLiteral("Help Contents"));
    HelpContents1->setShortcut(QKeySequence(Qt::Key_F1));
    Action_Contact = makeAction(this, "Action_Contact", QStringLiteral("C&ontact Technical Support"));
    Action_Suggestion = makeAction(this, "Action_Suggestion", QStringLiteral("&Make a Suggestion"));
    Action_Website = makeAction(this, "Action_Website", QStringLiteral("&Visit Brivel Website"));
    Action_Update = makeAction(this, "Action_Update", QStringLiteral("Check for &Update"));
    Action_About = makeAction(this, "Action_About", QStringLiteral("&About"));

    const auto bind = [this](QAction *action, void (TcommonDm::*handler)()) {
        GeneralErrorHandler::connectGuarded(action, &QAction::triggered, this, handler);
    };
    bind(Action_UiOpen, &TcommonDm::Action_UiOpenExecute);
    bind(Action_UiClose, &TcommonDm::Action_UiCloseExecute);
    bind(Action_UiStayOnTop, &TcommonDm::Action_UiStayOnTopExecute);
    bind(Action_Options, &TcommonDm::Action_OptionsExecute);
    bind(Action_Contact, &TcommonDm::OpenSupportMail);
    bind(Action_Suggestion, &TcommonDm::OpenSupportMail);
    bind(Action_Website, &TcommonDm::OpenWebSite);
    bind(Action_Update, &TcommonDm::OpenWebSite);
    bind(HelpContents1, &TcommonDm::HelpContents1Execute);
    bind(Action_About, &TcommonDm::Action_AboutExecute);
}

void TcommonDm::openUrl(const QUrl &url) const
{
    if (ctx.openUrl)
        ctx.openUrl(url);
    else
        QDesktopServices::openUrl(url); // its answer says nothing reliable on X11; not looked at
}

void TcommonDm::FirstShowSteps()
{
    if (ctx.mainWindow)
        ctx.mainWindow->setWindowTitle(QStringLiteral("Brivel Jotterly"));
    const bool remind = ctx.visitWebEn && ctx.visitWeb
                        && UpdateReminder::isDue(*ctx.visitWebEn, *ctx.visitWeb, OleDateTime::now());
    if (remind && ctx.mainWindow) {
        QCoreApplication::postEvent(ctx.mainWindow, new QEvent(Msg::UpdateReminder));
        if (ctx.runMinimizedEn && *ctx.runMinimizedEn) {
            *ctx.runMinimizedEn = false; // this start stays in sight for the question
            runMinimizedHeldBack = true;
        }
    }
    // Without a tray host there is nowhere to go: the window stays shown.
    if (ctx.runMinimizedEn && *ctx.runMinimizedEn && ctx.trayIcon && ctx.trayIcon->trayHostAvailable())
        ctx.trayIcon->Minimize();
}

void TcommonDm::Action_UiOpenExecute()
{
    if (ctx.trayIcon)
        ctx.trayIcon->Restore();
}

void TcommonDm::Action_UiCloseExecute()
{
    if (ctx.trayIcon)
        ctx.trayIcon->Minimize();
}

void TcommonDm::Action_UiStayOnTopExecute()
{
    QWidget *window = ctx.mainWindow;
    if (!window)
        return;
    if (ctx.formState)
        ctx.formState->SaveState();
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, Action_UiStayOnTop->isChecked());
    // Switched on the native window as it is: re-creating it would hide and show the
    // window, and a show adds a memo while "Add new item while open" is on.
    if (QWindow *native = window->windowHandle()) {
        window->overrideWindowFlags(flags);
        native->setFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
    if (ctx.formState)
        ctx.formState->RestoreState();
}

void TcommonDm::Action_OptionsExecute()
{
    TOptionsDlg dialog(*this, ctx.mainWindow);
    dialog.exec();
}

void TcommonDm::HelpContents1Execute()
{
    if (ctx.help && !ctx.help->HelpFile.isEmpty())
        openUrl(QUrl::fromLocalFile(ctx.help->helpFilePath()));
}

void TcommonDm::Action_AboutExecute()
{
    TAboutDlg dialog(*this, ctx.mainWindow);
    dialog.exec();
}

bool TcommonDm::RunMinimizedOption() const
{
    return runMinimizedHeldBack || (ctx.runMinimizedEn && *ctx.runMinimizedEn);
}

void TcommonDm::SetRunMinimizedOption(bool on)
{
    runMinimizedHeldBack = false;
    if (ctx.runMinimizedEn)
        *ctx.runMinimizedEn = on;
}

bool TcommonDm::IsAutoStartOn() const
{
    return ctx.autoStart && ctx.autoStart->exists();
}

void TcommonDm::SetAutoStart(bool on)
{
    if (!ctx.autoStart)
        return;
    if (on)
        ctx.autoStart->make();
    else
        ctx.autoStart->remove();
}

void TcommonDm::OpenWebSite()
{
    openUrl(ProductAddresses::homePage());
    IniFile::WriteString(ctx.iniPath, QStringLiteral("option"), QStringLiteral("visitWeb"),
                         FormatInterchangeTime(OleDateTime::now()));
}

void TcommonDm::OpenSupportMail()
{
    openUrl(ProductAddresses::mailTo(ProductAddresses::kSupportMail));
}

void TcommonDm::OpenSalesMail()
{
    openUrl(ProductAddresses::mailTo(ProductAddresses::kSalesMail));
}
