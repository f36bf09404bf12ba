// The desktop's notification area through QSystemTrayIcon (StatusNotifierItem where the
// desktop offers it, the system tray protocol otherwise).
#pragma once

#include "TrayBackend.h"

#include <QSystemTrayIcon>

class QtTrayBackend : public TrayBackend
{
    Q_OBJECT
public:
    explicit QtTrayBackend(QObject *parent = nullptr);

    bool isAvailable() const override;
    bool add(const QIcon &icon, const QString &tip) override;
    bool modify(const QIcon &icon, const QString &tip) override;
    void remove() override;
    void setMenu(QMenu *menu) override;
    void showBalloon(const QString &title, const QString &text, int iconKind, int timeoutMs) override;

private:
    QSystemTrayIcon icon;
};
