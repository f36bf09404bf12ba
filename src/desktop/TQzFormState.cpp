#include "TQzFormState.h"

#include "Boxes.h"
#include "IniFile.h"
#include "JotterlyError.h"
#include "WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

#include <limits>
#include <optional>

namespace {

std::optional<int> readKey(const QString &path, const QString &section, const char *key)
{
    // A key that is missing or holds no integer reads as the sentinel, i.e. as missing.
    constexpr int kMissing = std::numeric_limits<int>::min();
    const int value = IniFile::ReadInteger(path, section, QLatin1String(key), kMissing);
    return value == kMissing ? std::nullopt : std::optional<int>(value);
}

// The rectangle the window has when shown normally (neither minimized nor maximized).
QRect normalRect(const QWidget &window)
{
    return window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
}

bool onSomeScreen(const QPoint &point)
{
    return QGuiApplication::screenAt(point) != nullptr;
}

} // namespace

TQzFormState::TQzFormState(QWidget *owner)
    : QObject(owner)
    , owner(owner)
{
    HookFormEvents();
}

TQzFormState::~TQzFormState()
{
    UnhookFormEvents();
}

QWidget *TQzFormState::form() const
{
    return owner && owner->isWindow() ? owner.data() : nullptr;
}

bool TQzFormState::sizeable() const
{
    // A window whose size cannot change (a fixed-size dialog) keeps its size.
    QWidget *window = form();
    return window && window->minimumSize() != window->maximumSize()
           && !window->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
}

void TQzFormState::HookFormEvents()
{
    if (!form() || hooked)
        return;
    owner->installEventFilter(this);
    hooked = true;
}

void TQzFormState::UnhookFormEvents()
{
    if (owner && hooked)
        owner->removeEventFilter(this);
    hooked = false;
}

bool TQzFormState::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == owner) {
        if (event->type() == QEvent::Show && !event->spontaneous())
            RestoreState();
        else if (event->type() == QEvent::Close)
            SaveState();
    }
    return QObject::eventFilter(watched, event);
}

bool TQzFormState::WasSaved() const
{
    return IniFile::ReadInteger(IniPath, Section, QStringLiteral("Saved"), 0) != 0;
}

void TQzFormState::SaveState()
{
    if (!Enabled)
        return;
    QWidget *window = form();
    if (!window)
        return;
    const QRect normal = normalRect(*window);
    std::vector<std::pair<QString, int>> keys{{QStringLiteral("Maximized"), window->isMaximized() ? 1 : 0},
                                              {QStringLiteral("Left"), normal.left()},
                                              {QStringLiteral("Top"), normal.top()}};
    if (sizeable()) {
        keys.emplace_back(QStringLiteral("Right"), normal.left() + normal.width());
        keys.emplace_back(QStringLiteral("Bottom"), normal.top() + normal.height());
    }
    keys.emplace_back(QStringLiteral("Saved"), 1);
    try {
        // One write: hiding to the tray should not sync the file once per key.
        IniFile::WriteIntegers(IniPath, Section, keys);
    } catch (const JotterlyError &error) {
        // The placement is reported as saved all the same.
        ErrorBox(error.message());
    }
    if (OnSaveState)
        OnSaveState();
}

void TQzFormState::RestoreState()
{
    if (!Enabled)
        return;
    QWidget *window = form();
    if (!window)
        return;
    WindowPlacement::StoredPlacement stored;
    stored.left = readKey(IniPath, Section, "Left");
    stored.top = readKey(IniPath, Section, "Top");
    if (sizeable()) {
        stored.right = readKey(IniPath, Section, "Right");
        stored.bottom = readKey(IniPath, Section, "Bottom");
    }
    const bool maximize = IniFile::ReadInteger(IniPath, Section, QStringLiteral("Maximized"), 0) != 0;
    const bool wasMaximized = window->isMaximized();
    const QRect current = normalRect(*window);
    const QRect rect = WindowPlacement::restoredNormalRect(stored, current, sizeable(), onSomeScreen);
    // The normal rectangle is set on the normal window, so that un-maximizing returns there.
    if (wasMaximized)
        window->setWindowState(window->windowState() & ~Qt::WindowMaximized);
    window->setGeometry(rect);
    if (maximize || wasMaximized)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    if (OnRestoreState)
        OnRestoreState();
}
