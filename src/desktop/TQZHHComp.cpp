#include "TQZHHComp.h"

#include "HelpContext.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QShortcut>
#include <QTextBrowser>
#include <QWidget>

TQZHHComp::TQZHHComp(QWidget *ownerForm)
    : QObject(ownerForm)
    , owner(ownerForm)
{
    setObjectName(QStringLiteral("QZHHComp1"));
}

TQZHHComp::~TQZHHComp()
{
    delete window.data();
}

void TQZHHComp::Loaded()
{
    // The application sees a key before the focused control does: the window's key preview.
    qApp->installEventFilter(this);
}

QTextBrowser *TQZHHComp::helpWindow() const
{
    return window;
}

QString TQZHHComp::helpFilePath() const
{
    if (HelpFile.isEmpty() || QFileInfo(HelpFile).isAbsolute())
        return HelpFile;
    return QDir(QCoreApplication::applicationDirPath()).filePath(HelpFile);
}

int TQZHHComp::activeContext() const
{
    const QWidget *active = owner->focusWidget();
    if (const int own = HelpContext::of(active))
        return own;
    if (active) {
        if (const int holder = HelpContext::of(active->parentWidget()))
            return holder;
    }
    return HelpContext::of(owner);
}

QUrl TQZHHComp::contextUrl(const QString &helpFile, int context)
{
    QUrl url = QUrl::fromLocalFile(helpFile);
    if (context != 0)
        url.setFragment(QStringLiteral("context-%1").arg(context));
    return url;
}

void TQZHHComp::ShowContext(int context)
{
    const QString path = helpFilePath();
    if (!window) {
        window = new QTextBrowser;
        window->setObjectName(QStringLiteral("HelpWindow"));
        window->setWindowTitle(QStringLiteral("Brivel Jotterly Help"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setOpenExternalLinks(true); // the web site and mail links go to the desktop
        window->document()->setDocumentMargin(12);
        window->resize(640, 560);
        new QShortcut(QKeySequence(Qt::Key_Escape), window, window.data(), &QWidget::close);
    }
    if (QFileInfo::exists(path)) {
        window->setSource(contextUrl(path, context));
    } else {
        // Said in the window itself: an empty help window would look like a fault of its own.
        window->setHtml(QStringLiteral("<p>The help pages were not found at <b>%1</b>.</p>").arg(path.toHtmlEscaped()));
    }
    window->show();
    window->raise();
    window->activateWindow();
}

bool TQZHHComp::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()
        || static_cast<QWidget *>(watched)->window() != owner)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool plainF1 = key->key() == Qt::Key_F1 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier
                         && QGuiApplication::mouseButtons() == Qt::NoButton;
    if (!plainF1)
        return false;
    if (!HelpFile.isEmpty())
        ShowContext(activeContext());
    return true; // F1 goes no further, also without a help file
}
