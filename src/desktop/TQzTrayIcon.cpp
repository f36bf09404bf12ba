#include "TQzTrayIcon.h"

#include "Boxes.h"
#include "GeneralErrorHandler.h"
#include "QtTrayBackend.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QStyle>
#include <QWidget>
#include <QWindowStateChangeEvent>

namespace {

void trayError(const char *text)
{
    Boxes::CaptionedBox(QStringLiteral("Brivel TrayIcon Error"), QLatin1String(text), Boxes::Ok, Boxes::Icon::None);
}

} // namespace

TQzCustomTrayIcon::TQzCustomTrayIcon(QWidget *owner, std::unique_ptr<TrayBackend> service)
    : QObject(owner)
    , owner(owner)
    , backend(service ? std::move(service) : std::make_unique<QtTrayBackend>())
    , builtIn(std::make_unique<QMenu>())
{
    builtIn->addAction(QStringLiteral("&Close"), qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    builtIn->addAction(QStringLiteral("&Restore"), this, [this] { Restore(); });
    setPopupMenu(builtIn.get());
    connect(backend.get(), &TrayBackend::pressed, this, &TQzCustomTrayIcon::onPressed);
    connect(backend.get(), &TrayBackend::doubleClicked, this, &TQzCustomTrayIcon::onDoubleClicked);
    const auto raise = [](const std::function<void()> &event) {
        if (event)
            GeneralErrorHandler::guarded(event);
    };
    connect(backend.get(), &TrayBackend::balloonClicked, this, [this, raise] { raise(OnBalloonHintClick); });
    connect(backend.get(), &TrayBackend::balloonClosed, this, [this, raise] { raise(OnBalloonHintClose); });
    connect(backend.get(), &TrayBackend::balloonHidden, this, [this, raise] { raise(OnBalloonHintHide); });
}

TQzCustomTrayIcon::~TQzCustomTrayIcon()
{
    RemoveFromTray();
    if (owner && ownerWatched)
        owner->removeEventFilter(this);
    backend->setMenu(nullptr);
}

// ---------------------------------------------------------------------------------------
// The icon in the tray

QIcon TQzCustomTrayIcon::shownIcon() const
{
    if (!currentIcon.isNull())
        return currentIcon;
    if (!QGuiApplication::windowIcon().isNull())
        return QGuiApplication::windowIcon();
    return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
}

QString TQzCustomTrayIcon::shownTip() const
{
    return showHint ? hint.left(kMaxHintLength) : QString();
}

bool TQzCustomTrayIcon::trayHostAvailable() const
{
    return backend->isAvailable();
}

void TQzCustomTrayIcon::AddToTray()
{
    if (inTray)
        return;
    if (!ownerWatched && owner) {
        owner->installEventFilter(this);
        ownerWatched = true;
    }
    inTray = backend->add(shownIcon(), shownTip());
    if (!inTray)
        trayError("AddToTray can not add icon to the tray");
}

void TQzCustomTrayIcon::RemoveFromTray()
{
    if (!inTray)
        return;
    backend->remove();
    inTray = false;
}

void TQzCustomTrayIcon::ResetIcon()
{
    if (active && !backend->modify(shownIcon(), shownTip()))
        trayError("ResetIcon Error");
}

void TQzCustomTrayIcon::takeImage(int index)
{
    if (images && index >= 0 && index < static_cast<int>(images->size()))
        currentIcon = (*images)[static_cast<size_t>(index)];
}

void TQzCustomTrayIcon::Loaded()
{
    loaded = true;
    if (active)
        AddToTray();
    if (!icon.isNull())
        setIcon(icon);
    else if (images)
        setImages(images);
}

// ---------------------------------------------------------------------------------------
// Property setters

void TQzCustomTrayIcon::setActive(bool value)
{
    if (value) {
        AddToTray();
        active = true;
        if (resumeAnimation)
            setAnimate(true);
        return;
    }
    if (animate) {
        setAnimate(false);
        resumeAnimation = true;
    }
    RemoveFromTray();
    active = false;
}

void TQzCustomTrayIcon::setAnimate(bool value)
{
    if (value == animate)
        return;
    animate = value;
    if (active) {
        resumeAnimation = value;
        if (value)
            startAnimation();
        else
            stopAnimation();
    }
    if (animationTimer) {
        if (animate && !animationTimer->isActive())
            animationTimer->start();
        else if (!animate)
            animationTimer->stop();
    }
}

void TQzCustomTrayIcon::startAnimation()
{
    if (!animationTimer) {
        animationTimer = std::make_unique<QTimer>();
        connect(animationTimer.get(), &QTimer::timeout, this, &TQzCustomTrayIcon::animateStep);
    }
    if (interval == 0)
        interval = 200; // a period of 0 would spin
    animationTimer->setInterval(interval);
    animationTimer->start();
}

void TQzCustomTrayIcon::stopAnimation()
{
    if (animationTimer)
        animationTimer->stop();
    if (!icon.isNull())
        currentIcon = icon;
    else
        takeImage(imageIndex);
    ResetIcon(); // the frame index stays, so a restart goes on where this one stopped
}

void TQzCustomTrayIcon::animateStep()
{
    if (!images || images->empty() || !inTray)
        return;
    takeImage(frameIndex);
    ResetIcon();
    if (++frameIndex >= static_cast<int>(images->size()))
        frameIndex = 0;
}

void TQzCustomTrayIcon::setHint(const QString &value)
{
    if (value == hint)
        return;
    hint = value;
    if (showHint && inTray && !backend->modify(shownIcon(), shownTip()))
        trayError("SetHint Error");
}

void TQzCustomTrayIcon::setShowHint(bool value)
{
    showHint = value;
    if (inTray && !backend->modify(shownIcon(), shownTip()))
        trayError("SetShowHint Error");
}

void TQzCustomTrayIcon::setIcon(const QIcon &value)
{
    icon = value;
    currentIcon = icon;
    if (inTray)
        ResetIcon();
}

void TQzCustomTrayIcon::setImages(const TrayImages *value)
{
    images = value;
    // Before Loaded the owner is still setting properties; the picture is taken then.
    if (loaded && icon.isNull() && images) {
        takeImage(imageIndex);
        ResetIcon();
    }
}

void TQzCustomTrayIcon::setImageIndex(int value)
{
    imageIndex = value;
    if (!inTray)
        return;
    if (!images) {
        trayError("SetImageIndex: No image list assigned");
        return;
    }
    takeImage(value);
    ResetIcon();
}

void TQzCustomTrayIcon::setInterval(int value)
{
    interval = value;
    if (animationTimer)
        animationTimer->setInterval(value);
}

void TQzCustomTrayIcon::setPopupMenu(QMenu *menu)
{
    popupMenu = menu;
    backend->setMenu(menu);
}

// ---------------------------------------------------------------------------------------
// Clicks, balloons, restore and minimize

void TQzCustomTrayIcon::onPressed(Qt::MouseButton button)
{
    if (OnClick)
        GeneralErrorHandler::guarded([&] { OnClick(button, QGuiApplication::keyboardModifiers()); });
}

void TQzCustomTrayIcon::onDoubleClicked(Qt::MouseButton button)
{
    GeneralErrorHandler::guarded([&] {
        bool restoreApp = true;
        if (OnDblClick)
            OnDblClick(button, QGuiApplication::keyboardModifiers(), restoreApp);
        if (restoreApp)
            Restore();
    });
}

void TQzCustomTrayIcon::ShowBalloonHint(const QString &title, const QString &text, int iconKind, int timeoutSeconds)
{
    backend->showBalloon(title.left(kMaxBalloonTitleLength), text.left(kMaxBalloonTextLength), qBound(0, iconKind, 3),
                         qBound(0, timeoutSeconds, 255) * 1000);
}

void TQzCustomTrayIcon::Restore()
{
    if (OnRestore)
        OnRestore();
    if (!owner)
        return;
    if (owner->isMinimized() && startMinimizedCount >= 2)
        owner->setWindowState(owner->windowState() & ~Qt::WindowMinimized);
    owner->show();
    owner->raise();
    owner->activateWindow();
    if (HideOnRestore)
        RemoveFromTray();
}

void TQzCustomTrayIcon::Minimize()
{
    QWidget *window = owner;
    if (!window || !window->isVisible())
        return; // already out of sight
    QMetaObject::invokeMethod(
        window, [window] { window->showMinimized(); }, Qt::QueuedConnection);
}

void TQzCustomTrayIcon::hideOwnerToTray()
{
    if (!owner)
        return;
    AddToTray();
    owner->hide(); // a minimized window stays so until Restore makes it normal
}

bool TQzCustomTrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != owner)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
        // A window first seen minimized goes straight to the tray; once it has been
        // seen in any other state, this is off for good.
        if (startMinimizedCount < 2) {
            if (owner->isMinimized() && trayHostAvailable()) {
                // Hidden once the show has finished; hiding in the middle of it would not stick.
                QMetaObject::invokeMethod(owner, &QWidget::hide, Qt::QueuedConnection);
                ++startMinimizedCount;
            } else {
                startMinimizedCount = 2;
            }
        }
        break;
    case QEvent::WindowStateChange: {
        const auto *change = static_cast<QWindowStateChangeEvent *>(event);
        const bool minimized = owner->isMinimized() && !(change->oldState() & Qt::WindowMinimized);
        // A window not yet shown that is made minimized is no minimize: the show above
        // takes it to the tray.
        if (!minimized || !owner->isVisible())
            break;
        if (OnMinimize)
            GeneralErrorHandler::guarded(OnMinimize);
        // Hidden once the minimize has finished: showMinimized() shows the window again
        // after the change of state.
        if (MinimizeToTray && active && trayHostAvailable())
            QMetaObject::invokeMethod(
                this, [this] { GeneralErrorHandler::guarded([this] { hideOwnerToTray(); }); }, Qt::QueuedConnection);
        break;
    }
    case QEvent::Close:
        // Only a close from the window manager: the program's own close() is an exit.
        if (event->spontaneous() && CloseToTray && active && trayHostAvailable()) {
            event->ignore();
            GeneralErrorHandler::guarded([this] { hideOwnerToTray(); });
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
