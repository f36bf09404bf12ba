// Where a window may stand on its screen, without widgets.
#pragma once

#include <QRect>

#include <functional>
#include <optional>

namespace WindowPlacement {

// A window's placement as its configuration section holds it; a missing key is empty.
// Right and Bottom are the edges just past the window (left + width, top + height).
struct StoredPlacement
{
    std::optional<int> left, top, right, bottom;
};

// The normal rectangle that restoring the stored placement gives a window whose normal
// rectangle is now `current`: the stored left and top (default: the current ones); for
// a sizeable window the stored right and bottom (default: the current size from the
// left and top read; a stored size that is empty or negative keeps the current one),
// for any other the current size. A top-left corner that lies on
// no screen, as onSomeScreen tells, moves the rectangle to (0, 0) with its size kept.
QRect restoredNormalRect(const StoredPlacement &stored, const QRect &current, bool sizeable,
                         const std::function<bool(const QPoint &)> &onSomeScreen);

// The window's frame moved (and, where it is larger, shrunk) so that it lies inside the
// screen's available area; a frame that already fits is returned unchanged.
QRect keptInside(const QRect &frame, const QRect &available);

} // namespace WindowPlacement
