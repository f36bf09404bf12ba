// The notification-area service as the tray icon component sees it: one icon with a
// tool tip and a menu, mouse activity on it, and balloon messages. The desktop's own
// service is QtTrayBackend; tests put a fake in its place.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QMenu;

class TrayBackend : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether a tray host is there to show the icon right now.
    virtual bool isAvailable() const = 0;
    // Puts the icon into the tray, changes it, takes it away; false when the service
    // refused. tip is empty for no tool tip.
    virtual bool add(const QIcon &icon, const QString &tip) = 0;
    virtual bool modify(const QIcon &icon, const QString &tip) = 0;
    virtual void remove() = 0;
    // The menu the service opens on a right click; null for none.
    virtual void setMenu(QMenu *menu) = 0;
    // iconKind: 0 none, 1 information, 2 warning, 3 error.
    virtual void showBalloon(const QString &title, const QString &text, int iconKind, int timeoutMs) = 0;

signals:
    void pressed(Qt::MouseButton button);
    void doubleClicked(Qt::MouseButton button);
    void balloonClicked();
    void balloonClosed();
    void balloonHidden();
};
