#include "MemoTreeHost.h"

#include "Fr_qzMemos.h"
#include "MemoFrameContext.h"
#include "MemoSearchBar.h"
#include "Messages.h"
#include "OutlineView.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>

// Counts the paint events of one widget.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QObject *parent)
        : QObject(parent)
    {
    }
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

MemoTreeHost::MemoTreeHost(const QString &dataFile, const QString &iniPath, const BackgroundPictures *pictures)
{
    connection.open(dataFile);

    // The same context the main window gives the frame; commands of parts that are not
    // built yet stay null and show disabled.
    MemoFrameContext context;
    context.connection = &connection;
    context.iniPath = iniPath;
    context.pictures = pictures;
    context.hostWindow = &mainWindow;
    context.hideToTray = [this] { mainWindow.showMinimized(); };

    mainWindow.setWindowTitle(QStringLiteral("Brivel Jotterly"));
    mainWindow.setGeometry(648, 252, 371, 480);
    memoFrame = new TqzMemosFrame(context, &mainWindow);
    mainWindow.setCentralWidget(memoFrame);
    paintCounter = new PaintCounter(tree()->viewport());
    tree()->viewport()->installEventFilter(paintCounter);
    mainWindow.show();
    paintNow();
}

MemoTreeHost::~MemoTreeHost()
{
    // The frame goes before the connection it stores its edits through.
    delete memoFrame.data();
}

TqzMemosFrame *MemoTreeHost::frame() const
{
    return memoFrame.data();
}

OutlineView *MemoTreeHost::tree() const
{
    return memoFrame->findChild<OutlineView *>(QStringLiteral("VtMemos"));
}

MemoSearchBar *MemoTreeHost::searchBar() const
{
    return memoFrame->findChild<MemoSearchBar *>(QStringLiteral("ToolBar_Bottom"));
}

QLineEdit *MemoTreeHost::searchBox() const
{
    return memoFrame->findChild<QLineEdit *>(QStringLiteral("Edt_Search"));
}

void MemoTreeHost::reload()
{
    QEvent load(Msg::ReloadMemos);
    QCoreApplication::sendEvent(memoFrame, &load);
}

void MemoTreeHost::paintNow()
{
    mainWindow.repaint();
    QCoreApplication::processEvents();
}

int MemoTreeHost::treePaints() const
{
    return paintCounter && memoFrame ? paintCounter->paints : 0;
}

void MemoTreeHost::runStartUpMessage()
{
    QCoreApplication::postEvent(memoFrame, new QEvent(Msg::SetupTree));
    QCoreApplication::processEvents();
}
