// Linked into every test executable: QStandardPaths answers with test folders
// (~/.qttest/...) before any test runs, so no test ever reads or writes a real user's
// settings or data.
#include <QStandardPaths>
#include <QtGlobal>

namespace {
void enableTestMode()
{
    QStandardPaths::setTestModeEnabled(true);
}
} // namespace

Q_CONSTRUCTOR_FUNCTION(enableTestMode)
