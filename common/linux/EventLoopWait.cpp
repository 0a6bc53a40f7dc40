#include "common/linux/EventLoopWait.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace {

constexpr int pollMilliseconds = 10;

// The innermost wait running, for CancelRunningWait.
bool* runningWaitCancelled = nullptr;

bool EndsWaits(const QWidget* widget) {
    return widget->property(endsWaitsProperty).toBool();
}

// For its lifetime: the wait cursor, every enabled control disabled but the buttons that end
// waits (the focus is given back afterwards), and Escape and every window's close taken as
// Cancel.
class BusyWindows final : public QObject {
public:
    explicit BusyWindows(bool& cancelled) : cancelled(cancelled) {
        auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
        if (!application)
            return;
        focus = QApplication::focusWidget();
        for (QWidget* window : QApplication::topLevelWidgets())
            DisableAllBut(window);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        application->installEventFilter(this);
        active = true;
    }
    ~BusyWindows() override {
        if (!active)
            return;
        QCoreApplication::instance()->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
        for (auto widget = disabled.rbegin(); widget != disabled.rend(); ++widget)
            if (*widget)
                (*widget)->setEnabled(true);
        if (focus)
            focus->setFocus();
    }
    BusyWindows(const BusyWindows&) = delete;
    BusyWindows& operator=(const BusyWindows&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType())
            return false;
        const bool close = event->type() == QEvent::Close;
        const bool escape = event->type() == QEvent::KeyPress &&
                            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
        if (!close && !escape)
            return false;
        event->ignore();
        cancelled = true;
        return true;
    }

private:
    // Disables widget, or when it holds a button that ends waits, each of its other parts.
    void DisableAllBut(QWidget* widget) {
        if (!widget->isEnabled() || EndsWaits(widget))
            return;
        if (std::ranges::none_of(widget->findChildren<QWidget*>(), EndsWaits)) {
            widget->setEnabled(false);
            disabled.emplace_back(widget);
            return;
        }
        for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->isWindow())
                DisableAllBut(child);
    }

    bool& cancelled;
    bool active = false;
    QPointer<QWidget> focus;
    std::vector<QPointer<QWidget>> disabled;
};

// Makes its flag the one CancelRunningWait sets, for its lifetime.
class RunningWait {
public:
    RunningWait() : outer(runningWaitCancelled) { runningWaitCancelled = &cancelled; }
    ~RunningWait() { runningWaitCancelled = outer; }
    RunningWait(const RunningWait&) = delete;
    RunningWait& operator=(const RunningWait&) = delete;

    bool cancelled = false;

private:
    bool* outer;
};

} // namespace

WaitEnd WaitRunningEvents(std::chrono::milliseconds limit, const std::function<bool()>& done) {
    if (done())
        return WaitEnd::Done;
    if (!QCoreApplication::instance())
        return WaitEnd::TimedOut;
    RunningWait wait;
    const BusyWindows busy(wait.cancelled);
    QElapsedTimer elapsed;
    elapsed.start();
    // Wakes the loop when nothing else does, for done() and the limit to be looked at.
    QTimer poll;
    poll.start(pollMilliseconds);
    QEventLoop loop;
    for (;;) {
        if (wait.cancelled)
            return WaitEnd::Cancelled;
        if (done())
            return WaitEnd::Done;
        if (elapsed.elapsed() >= limit.count())
            return WaitEnd::TimedOut;
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
}

bool CancelRunningWait() {
    if (!runningWaitCancelled)
        return false;
    *runningWaitCancelled = true;
    return true;
}

bool EventLoopRunsGlib() {
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    return dispatcher && dispatcher->inherits("QEventDispatcherGlib");
}
