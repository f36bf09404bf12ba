// Where a window may stand on its screen, without widgets.
#pragma once

#include <QRect>

namespace WindowPlacement {

// The window's frame moved (and, where it is larger, shrunk) so that it lies inside the
// screen's available area; a frame that already fits is returned unchanged.
QRect keptInside(const QRect &frame, const QRect &available);

} // namespace WindowPlacement
