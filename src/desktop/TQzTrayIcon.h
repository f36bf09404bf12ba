// One icon in the notification area for an owner window. Mouse activity on the icon
// becomes events, a right click opens the popup menu, the owner's close and minimize
// hide it to the tray instead, Restore brings it back; the icon can cycle through an
// image list and show balloon messages.
//
// The owner is watched through an event filter, installed with the first AddToTray: a
// close from the window manager hides the owner while CloseToTray and Active, a minimize
// while MinimizeToTray and Active; OnMinimize fires on every minimize. Both hide only
// when a tray host is there at that moment: without one, the window never hides to a
// tray that does not exist, and close and minimize behave as usual.
//
// Failures of the service show a box captioned "Brivel TrayIcon Error" and the operation
// goes on; nothing is retried.
#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QWidget;
class TrayBackend;

using TrayImages = std::vector<QIcon>;

class TQzCustomTrayIcon : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxHintLength = 127;
    static constexpr int kMaxBalloonTitleLength = 63;
    static constexpr int kMaxBalloonTextLength = 255;

    // backend: the notification-area service, owned; null means the desktop's own.
    explicit TQzCustomTrayIcon(QWidget *owner, std::unique_ptr<TrayBackend> backend = nullptr);
    ~TQzCustomTrayIcon() override;

    // Properties; the setters behave as their comments say.
    bool Active() const { return active; }
    void setActive(bool value); // true adds the icon (resuming an animation), false removes it
    bool Animate() const { return animate; }
    void setAnimate(bool value);
    bool CloseToTray = true;
    bool HideOnRestore = false;
    QString Hint() const { return hint; }
    void setHint(const QString &value);
    QIcon Icon() const { return icon; }
    void setIcon(const QIcon &value); // a fixed icon wins over Images
    const TrayImages *Images() const { return images; }
    void setImages(const TrayImages *value); // must outlive the component
    int ImageIndex() const { return imageIndex; }
    void setImageIndex(int value);
    int Interval() const { return interval; }
    void setInterval(int value);
    bool MinimizeToTray = false;
    QMenu *PopupMenu() const { return popupMenu; }
    void setPopupMenu(QMenu *menu); // null: a right click does nothing
    bool ShowHint() const { return showHint; }
    void setShowHint(bool value);

    // Events.
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers)> OnClick;
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, bool &restoreApp)> OnDblClick;
    std::function<void()> OnMinimize;
    std::function<void()> OnRestore;
    std::function<void()> OnBalloonHintHide;
    std::function<void()> OnBalloonHintClose;
    std::function<void()> OnBalloonHintClick;

    // Once the owner has set the properties: adds the icon (while Active) and takes its
    // picture from Icon or Images.
    void Loaded();
    // Brings the owner back from the tray, in front.
    void Restore();
    // Asks the owner to minimize, as its minimize button does; returns at once, the
    // owner filter does the rest when the request arrives.
    void Minimize();
    // iconKind 0 to 3 (none, information, warning, error); timeout in whole seconds.
    void ShowBalloonHint(const QString &title, const QString &text, int iconKind, int timeoutSeconds);

    bool isInTray() const { return inTray; }
    // Whether a hide to the tray can happen now: a tray host is there.
    bool trayHostAvailable() const;
    QMenu *builtInMenu() const { return builtIn.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void AddToTray();
    void RemoveFromTray();
    void ResetIcon();
    void hideOwnerToTray();
    void animateStep();
    void startAnimation();
    void stopAnimation();
    QIcon shownIcon() const; // the current icon, else the program's, else a stock one
    QString shownTip() const;
    void takeImage(int index);
    void onPressed(Qt::MouseButton button);
    void onDoubleClicked(Qt::MouseButton button);

    QPointer<QWidget> owner;
    std::unique_ptr<TrayBackend> backend;
    std::unique_ptr<QMenu> builtIn;
    QPointer<QMenu> popupMenu;
    std::unique_ptr<QTimer> animationTimer; // made on first use
    const TrayImages *images = nullptr;
    QIcon icon;
    QIcon currentIcon;
    QString hint;
    int imageIndex = 0;
    int interval = 250;
    int frameIndex = 0;
    unsigned startMinimizedCount = 0; // counts up to 2; a window first seen minimized goes to the tray
    bool active = true;
    bool animate = false;
    bool showHint = true;
    bool inTray = false;
    bool ownerWatched = false;
    bool loaded = false; // Loaded has run: the owner has set the properties
    bool resumeAnimation = false;
};

// The component as windows use it: nothing added but its published properties.
class TQzTrayIcon : public TQzCustomTrayIcon
{
    Q_OBJECT
public:
    using TQzCustomTrayIcon::TQzCustomTrayIcon;
};
