#include "StartupTiming.h"

#include "Fm_Main.h"
#include "OutlineView.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

#include <cstdio>

namespace StartupTiming {
namespace {

const char kVariable[] = "JOTTERLY_STARTUP_TIMING";

class PaintWatch : public QObject
{
public:
    PaintWatch(TmainFm &window, const QElapsedTimer &clock, bool thenExit)
        : QObject(&window)
        , window(window)
        , clock(clock)
        , thenExit(thenExit)
    {
    }

protected:
    // Comes after the load and the tree's set-up, which the window's first show posted
    // before it: from here on the next paint of the tree shows the loaded memos.
    void customEvent(QEvent *) override
    {
        OutlineView *tree = window.findChild<OutlineView *>();
        if (!tree) {
            report();
            return;
        }
        tree->viewport()->installEventFilter(this);
        tree->viewport()->update();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !reported) {
            reported = true;
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] { report(); }); // once this paint is done
        }
        return false;
    }

private:
    void report()
    {
        std::fprintf(stderr, "jotterly-startup painted_ms=%lld\n", static_cast<long long>(clock.elapsed()));
        std::fflush(stderr);
        if (thenExit && window.Action_Exit)
            window.Action_Exit->trigger();
    }

    TmainFm &window;
    const QElapsedTimer &clock;
    const bool thenExit;
    bool reported = false;
};

} // namespace

void watch(TmainFm &window, const QElapsedTimer &clock)
{
    if (!qEnvironmentVariableIsSet(kVariable))
        return;
    auto *watch = new PaintWatch(window, clock, qgetenv(kVariable) == "exit");
    QCoreApplication::postEvent(watch, new QEvent(QEvent::User));
}

} // namespace StartupTiming
