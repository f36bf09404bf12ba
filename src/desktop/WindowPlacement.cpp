#include "WindowPlacement.h"

#include <QtGlobal>

namespace WindowPlacement {

QRect keptInside(const QRect &frame, const QRect &available)
{
    if (!available.isValid() || available.contains(frame))
        return frame;
    QRect kept(frame.topLeft(), frame.size().boundedTo(available.size()));
    kept.moveLeft(qBound(available.left(), kept.left(), available.right() - kept.width() + 1));
    kept.moveTop(qBound(available.top(), kept.top(), available.bottom() - kept.height() + 1));
    return kept;
}

} // namespace WindowPlacement
