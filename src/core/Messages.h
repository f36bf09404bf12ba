// The program's deferred steps: events posted to the main window or the memo tree and
// handled in the order posted. The numbers are the program's message numbers.
#pragma once

#include <QEvent>

namespace Msg {
constexpr QEvent::Type ReloadMemos = static_cast<QEvent::Type>(2024);    // memo tree: load every memo
constexpr QEvent::Type SetupTree = static_cast<QEvent::Type>(2025);      // memo tree: menu bar, sort, focus
constexpr QEvent::Type UpdateReminder = static_cast<QEvent::Type>(2027); // main window: update reminder
constexpr QEvent::Type AddMemo = static_cast<QEvent::Type>(2034);        // memo tree: add a top-level memo
constexpr QEvent::Type StartEdit = static_cast<QEvent::Type>(2035);      // memo tree: edit editingNode
constexpr QEvent::Type DiscardNode = static_cast<QEvent::Type>(2036);    // memo tree: remove an unstored node
} // namespace Msg
