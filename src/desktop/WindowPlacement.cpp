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

QRect restoredNormalRect(const StoredPlacement &stored, const QRect &current, bool sizeable,
                         const std::function<bool(const QPoint &)> &onSomeScreen)
{
    const int left = stored.left.value_or(current.left());
    const int top = stored.top.value_or(current.top());
    int width = current.width();
    int height = current.height();
    if (sizeable) {
        width = stored.right.value_or(left + current.width()) - left;
        height = stored.bottom.value_or(top + current.height()) - top;
        // Edges edited by hand into an empty or negative size keep the current size.
        if (width <= 0)
            width = current.width();
        if (height <= 0)
            height = current.height();
    }
    QRect rect(left, top, width, height);
    if (onSomeScreen && !onSomeScreen(rect.topLeft()))
        rect.moveTopLeft(QPoint(0, 0));
    return rect;
}

} // namespace WindowPlacement
