// The main window's life in the notification area: its tray icon and menu, the balloon
// it shows when it goes there, the common commands and the end of the desktop session.
#include "Fm_Main.h"

#include "Boxes.h"
#include "Dm_Common.h"
#include "Fr_qzMemos.h"
#include "GeneralErrorHandler.h"
#include "ImageLists.h"
#include "TQzFormState.h"
#include "TrayBackend.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QSessionManager>

namespace {
constexpr int kBalloonPauseMs = 3600000; // one hour
} // namespace

void TmainFm::createTrayIcon(std::unique_ptr<TrayBackend> tray)
{
    PngImageList1 = {ImageLists::trayIcon()};
    // The open command of the common module comes first, once that module exists.
    PopupMenu_Tray = new QMenu(this);
    PopupMenu_Tray->setObjectName(QStringLiteral("PopupMenu_Tray"));
    PopupMenu_Tray->setSeparatorsCollapsible(false);
    PopupMenu_Tray->addAction(Action_AddMemo);
    PopupMenu_Tray->addAction(Action_PasteMemo);
    PopupMenu_Tray->addSeparator();
    PopupMenu_Tray->addAction(Action_Exit);

    QzTrayIcon1 = new TQzTrayIcon(this, std::move(tray));
    QzTrayIcon1->setObjectName(QStringLiteral("QzTrayIcon1"));
    QzTrayIcon1->setImages(&PngImageList1);
    QzTrayIcon1->MinimizeToTray = true;
    QzTrayIcon1->setPopupMenu(PopupMenu_Tray);
    QzTrayIcon1->OnClick = [this](Qt::MouseButton button, Qt::KeyboardModifiers) { QzTrayIcon1Click(button); };
    // Clicking the balloon opens the window, as a click on the icon does.
    QzTrayIcon1->OnBalloonHintClick = [this] { QzTrayIcon1Click(Qt::LeftButton); };

    Timer_balloon.setInterval(kBalloonPauseMs);
    Timer_balloon.setSingleShot(true); // firing only makes the next balloon possible

    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &) { sessionEnding(); });
    // Ended by other means than Exit (the session, the built-in tray menu's Close): the
    // same steps as Exit, with no box that could hold up a logout.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (exiting)
            return;
        const Boxes::LoggedOnly noBoxes;
        tearDown();
    });
}

void TmainFm::attachCommon(TcommonDm *common)
{
    commonDm = common;
    QAction *first = PopupMenu_Tray->actions().value(0);
    PopupMenu_Tray->insertAction(first, commonDm->Action_UiOpen);
    PopupMenu_Tray->insertSeparator(first);
}

void TmainFm::QzTrayIcon1Click(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    if (commonDm)
        commonDm->Action_UiOpen->trigger();
    else
        QzTrayIcon1->Restore();
}

void TmainFm::showBalloonOnce()
{
    if (Timer_balloon.isActive())
        return;
    QzTrayIcon1->ShowBalloonHint(QStringLiteral("Brivel Jotterly"), QStringLiteral("Click here to open!"), 1, 10);
    Timer_balloon.start();
}

void TmainFm::sessionEnding()
{
    // Boxes go to the log meanwhile: a box would hold up the logout.
    const Boxes::LoggedOnly noBoxes;
    if (memosFrame)
        GeneralErrorHandler::guarded([this] { memosFrame->commitOpenWork(); });
    GeneralErrorHandler::guarded([this] { QzFormState1->SaveState(); });
}
