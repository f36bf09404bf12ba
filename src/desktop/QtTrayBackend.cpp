#include "QtTrayBackend.h"

QtTrayBackend::QtTrayBackend(QObject *parent)
    : TrayBackend(parent)
{
    connect(&icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            emit pressed(Qt::LeftButton);
            break;
        case QSystemTrayIcon::MiddleClick:
            emit pressed(Qt::MiddleButton);
            break;
        case QSystemTrayIcon::DoubleClick:
            emit doubleClicked(Qt::LeftButton);
            break;
        default: // the context menu opens by itself
            break;
        }
    });
    connect(&icon, &QSystemTrayIcon::messageClicked, this, &TrayBackend::balloonClicked);
}

bool QtTrayBackend::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTrayBackend::add(const QIcon &picture, const QString &tip)
{
    // Shown even without a tray host: the icon appears once a host starts.
    icon.setIcon(picture);
    icon.setToolTip(tip);
    icon.show();
    return true;
}

bool QtTrayBackend::modify(const QIcon &picture, const QString &tip)
{
    icon.setIcon(picture);
    icon.setToolTip(tip);
    return true;
}

void QtTrayBackend::remove()
{
    icon.hide();
}

void QtTrayBackend::setMenu(QMenu *menu)
{
    icon.setContextMenu(menu);
}

void QtTrayBackend::showBalloon(const QString &title, const QString &text, int iconKind, int timeoutMs)
{
    static const QSystemTrayIcon::MessageIcon kinds[] = {QSystemTrayIcon::NoIcon, QSystemTrayIcon::Information,
                                                         QSystemTrayIcon::Warning, QSystemTrayIcon::Critical};
    icon.showMessage(title, text, kinds[qBound(0, iconKind, 3)], timeoutMs);
}
