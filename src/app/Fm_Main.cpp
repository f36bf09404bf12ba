#include "Fm_Main.h"

#include "Dlg_Update.h"
#include "Dm_Common.h"
#include "Dm_Io.h"
#include "Fr_qzMemos.h"
#include "GeneralErrorHandler.h"
#include "IniFile.h"
#include "InterchangeTime.h"
#include "JotterlyError.h"
#include "Messages.h"
#include "SingleInstance.h"
#include "TQZHHComp.h"
#include "TQzFormState.h"
#include "TQzVersionInfo.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

namespace {
const QString kOptionSection = QStringLiteral("option");
constexpr int kTitleBarAllowance = 32;
} // namespace

TmainFm::TmainFm(const AppPaths &paths, SingleInstance *instance, std::unique_ptr<TrayBackend> tray, QWidget *parent)
    : QMainWindow(parent)
    , exeDir(paths.exeDir)
    , dataDir(paths.dataDir)
    , instanceMutex(instance)
    , interchangeQuestions(this)
{
    setObjectName(QStringLiteral("Fm_Main"));
    setWindowTitle(QStringLiteral("Brivel Software")); // replaced at the first show
    setGeometry(648, 252, 371, 480);
    QzVersionInfo1 = new TQzVersionInfo(this);
    // The placement is watched first, so the tray's watch of the close button comes
    // before it: a close that hides to the tray is no close of the window.
    QzFormState1 = new TQzFormState(this);
    QzFormState1->Section = QStringLiteral("form");
    QZHHComp1 = new TQZHHComp(this);
    createActions();
    createTrayIcon(std::move(tray));
    FormCreate();
    if (!QzFormState1->WasSaved())
        keepInsideScreen();
    QzTrayIcon1->Loaded();
    QZHHComp1->Loaded();
}

TmainFm::~TmainFm()
{
    // The memo tree goes before the connection it stores its edits through.
    delete memosFrame.data();
}

void TmainFm::keepInsideScreen()
{
    // A large scale factor or a small screen must not leave the window mostly off screen.
    QScreen *screen = QGuiApplication::screenAt(geometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is not known before the window is shown; the title bar is allowed for.
    const QRect available = screen->availableGeometry().adjusted(0, kTitleBarAllowance, 0, 0);
    setGeometry(WindowPlacement::keptInside(geometry(), available));
}

void TmainFm::createActions()
{
    Action_AddMemo = new QAction(QStringLiteral("&Add Memo"), this);
    Action_PasteMemo = new QAction(QStringLiteral("Paste To &Memo"), this);
    Action_Exit = new QAction(QStringLiteral("E&xit"), this);
    Action_DbBackup = new QAction(QStringLiteral("Database &Backup..."), this);
    Action_DbRestore = new QAction(QStringLiteral("Database &Restore..."), this);
    Action_Import = new QAction(QStringLiteral("&Import"), this);
    connect(Action_AddMemo, &QAction::triggered, this, [this] {
        QzTrayIcon1->Restore();
        if (memosFrame)
            QCoreApplication::postEvent(memosFrame, new QEvent(Msg::AddMemo));
    });
    connect(Action_PasteMemo, &QAction::triggered, this, [this] {
        if (memosFrame)
            GeneralErrorHandler::guarded([this] { memosFrame->Action_PasteMemoExecute(); });
    });
    connect(Action_Exit, &QAction::triggered, this, [this] { Action_ExitExecute(); });
    // Backup, restore and import work once the interchange module is attached.
    for (QAction *pending : {Action_DbBackup, Action_DbRestore, Action_Import})
        pending->setEnabled(false);
}

QString TmainFm::fileVersion() const
{
    QString version;
    QzVersionInfo1->GetEntry(2, version);
    return version;
}

void TmainFm::attachIo(TIoDm *io)
{
    IoDm = io;
    connect(Action_DbBackup, &QAction::triggered, this,
            [this] { GeneralErrorHandler::guarded([this] { IoDm->Backup(); }); });
    connect(Action_DbRestore, &QAction::triggered, this,
            [this] { GeneralErrorHandler::guarded([this] { afterReadingFile(IoDm->Restore()); }); });
    connect(Action_Import, &QAction::triggered, this,
            [this] { GeneralErrorHandler::guarded([this] { afterReadingFile(IoDm->Import()); }); });
    Action_DbBackup->setEnabled(true);
    // Without a data file nothing can be stored: restoring or importing would only fail.
    for (QAction *action : {Action_DbRestore, Action_Import})
        action->setEnabled(ADOConnection1.isOpen());
}

void TmainFm::afterReadingFile(bool succeeded)
{
    // The memo tree shows the database again once the operation has returned.
    if (succeeded && memosFrame)
        QCoreApplication::postEvent(memosFrame, new QEvent(Msg::ReloadMemos));
}

void TmainFm::FormCreate()
{
    firstShow = true;
    exiting = false;
    // Each step reports its own failure and the rest still run: a missing picture or an
    // unreadable data file must not keep the settings from being read.
    GeneralErrorHandler::guarded([this] { loadBackgroundPictures(); });
    iniPath = dataDir + QStringLiteral("qzConf.ini");
    GeneralErrorHandler::guarded(
        [this] { addOpenEn = IniFile::ReadBool(iniPath, kOptionSection, QStringLiteral("addOpenEn"), false); });
    GeneralErrorHandler::guarded([this] { ADOConnection1.open(dataDir + QStringLiteral("qzData.qzb")); });
    GeneralErrorHandler::guarded([this] { readOptionsInForce(); });
    QZHHComp1->HelpFile = exeDir + QStringLiteral("help/index.html");
    QzFormState1->IniPath = iniPath;
    QzTrayIcon1->setHint(QStringLiteral("Brivel Jotterly"));
}

void TmainFm::loadBackgroundPictures()
{
    const QString folder = exeDir + QStringLiteral("Images/");
    QStringList missing;
    const auto load = [&](QImage &target, const char *name) {
        const QString path = folder + QLatin1String(name);
        if (!target.load(path))
            missing << path;
    };
    load(pictures.toolsbar, "toolsbarBackground.bmp");
    load(pictures.searchbar, "searchbarBackground.bmp");
    load(pictures.group, "groupBackground.bmp");
    load(pictures.item0, "itemBackground0.bmp");
    load(pictures.item1, "itemBackground1.bmp");
    if (!missing.isEmpty())
        throw JotterlyError(QStringLiteral("Cannot load the picture %1").arg(missing.join(QStringLiteral(", "))));
}

void TmainFm::readOptionsInForce()
{
    visitWebEn = IniFile::ReadBool(iniPath, kOptionSection, QStringLiteral("visitWebEn"), true);
    const QString stored = IniFile::ReadString(iniPath, kOptionSection, QStringLiteral("visitWeb"), QString());
    bool known = false;
    if (!stored.trimmed().isEmpty()) {
        try {
            visitWeb = ParseInterchangeTime(stored);
            known = true;
        } catch (const JotterlyError &) {
            // A damaged date is treated like a missing one and written afresh below.
        }
    }
    if (!known) {
        visitWeb = OleDateTime::now();
        IniFile::WriteString(iniPath, kOptionSection, QStringLiteral("visitWeb"), FormatInterchangeTime(visitWeb));
    }
    runMinimizedEn = IniFile::ReadBool(iniPath, kOptionSection, QStringLiteral("runMinimizedEn"), false);
}

MemoFrameContext TmainFm::frameContext()
{
    MemoFrameContext context;
    context.connection = &ADOConnection1;
    context.iniPath = iniPath;
    context.dataDir = dataDir;
    context.fileVersion = fileVersion();
    context.pictures = &pictures;
    context.hostWindow = this;
    if (Action_DbBackup->isEnabled())
        context.commands.dbBackup = Action_DbBackup;
    if (Action_DbRestore->isEnabled())
        context.commands.dbRestore = Action_DbRestore;
    if (Action_Import->isEnabled())
        context.commands.importFile = Action_Import;
    context.hideToTray = [this] { QzTrayIcon1->Minimize(); };
    if (commonDm) {
        HostCommands &commands = context.commands;
        commands.options = commonDm->Action_Options;
        commands.stayOnTop = commonDm->Action_UiStayOnTop;
        commands.closeWindow = commonDm->Action_UiClose;
        commands.helpContents = commonDm->HelpContents1;
        commands.support = commonDm->Action_Contact;
        commands.suggestion = commonDm->Action_Suggestion;
        commands.visitWeb = commonDm->Action_Website;
        commands.checkUpdate = commonDm->Action_Update;
        commands.about = commonDm->Action_About;
    }
    context.questions = &interchangeQuestions;
    return context;
}

void TmainFm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        GeneralErrorHandler::guarded([this] { FormShow(); });
}

void TmainFm::FormShow()
{
    if (firstShow) {
        memosFrame = new TqzMemosFrame(frameContext(), this);
        setCentralWidget(memosFrame);
        // Posted, so the tree is loaded before it is sorted and focused.
        QCoreApplication::postEvent(memosFrame, new QEvent(Msg::ReloadMemos));
        QCoreApplication::postEvent(memosFrame, new QEvent(Msg::SetupTree));
        firstShowSteps();
        firstShow = false;
        return;
    }
    if (addOpenEn && memosFrame)
        QCoreApplication::postEvent(memosFrame, new QEvent(Msg::AddMemo));
}

void TmainFm::firstShowSteps()
{
    if (commonDm)
        commonDm->FirstShowSteps();
    else
        setWindowTitle(QStringLiteral("Brivel Jotterly"));
}

void TmainFm::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    if (!event->spontaneous())
        FormHide();
}

void TmainFm::FormHide()
{
    if (exiting)
        return;
    QzFormState1->SaveState();
    showBalloonOnce();
}

bool TmainFm::event(QEvent *event)
{
    if (event->type() == Msg::UpdateReminder)
        GeneralErrorHandler::guarded([this] { showUpdateReminder(); });
    return QMainWindow::event(event);
}

void TmainFm::showUpdateReminder()
{
    if (!commonDm || exiting)
        return;
    TupdateDlg dialog(*commonDm, this);
    dialog.exec();
}

void TmainFm::tearDown(bool placementSaved)
{
    exiting = true;
    // Saved once: the close that follows is not to save it again.
    QzFormState1->UnhookFormEvents();
    if (!placementSaved)
        GeneralErrorHandler::guarded([this] { QzFormState1->SaveState(); });
    delete memosFrame.data(); // commits an open edit
    if (instanceMutex)
        instanceMutex->release();
}

void TmainFm::Action_ExitExecute()
{
    tearDown();
    close();
}

void TmainFm::closeEvent(QCloseEvent *event)
{
    // Without a tray to hide in, closing the window ends the program like Exit.
    if (!exiting)
        tearDown(true); // the placement's watch has just saved it
    event->accept();
    QCoreApplication::quit();
}

void TmainFm::bringToFront()
{
    if (exiting)
        return;
    // Also out of the tray: another start of the program always brings the window forward.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    QzTrayIcon1->Restore();
}
