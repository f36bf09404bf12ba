// Help contexts: the number of the help topic that F1 opens for a control, carried as a
// property of the control itself so that any layer can give one without knowing the
// help component. 0 means none.
#pragma once

#include <QObject>
#include <QVariant>

namespace HelpContext {

inline constexpr const char *kProperty = "helpContext";

// The search box's topic: searching memos.
inline constexpr int kSearching = 190900;

inline void set(QObject *object, int context)
{
    object->setProperty(kProperty, context);
}

inline int of(const QObject *object)
{
    return object ? object->property(kProperty).toInt() : 0;
}

} // namespace HelpContext
