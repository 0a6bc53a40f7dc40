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

// How long a wait runs before its windows look busy: most exchanges end sooner, and the window
// is then not repainted disabled and enabled again. Input is dropped from the start all the same.
constexpr qint64 quietStartMilliseconds = 250;

// The innermost wait running, for CancelRunningWait.
bool* runningWaitCancelled = nullptr;

bool EndsWaits(const QWidget* widget) {
    return widget->property(endsWaitsProperty).toBool();
}

bool InsideEndsWaits(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget())
        if (EndsWaits(widget))
            return true;
    return false;
}

// Keys, mouse buttons and keyboard shortcuts: what starts a command.
bool IsInput(const QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
        return true;
    default:
        return false;
    }
}

// For its lifetime: Escape and every window's close taken as Cancel, and every other input
// dropped but that to the buttons that end waits. Once Show() is called, also the wait cursor
// and every enabled control disabled but those buttons (the focus is given back afterwards).
class BusyWindows final : public QObject {
public:
    explicit BusyWindows(bool& cancelled) : cancelled(cancelled) {
        auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
        if (!application)
            return;
        application->installEventFilter(this);
        active = true;
    }
    void Show() {
        if (!active || shown)
            return;
        shown = true;
        focus = QApplication::focusWidget();
        for (QWidget* window : QApplication::topLevelWidgets())
            DisableAllBut(window);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyWindows() override {
        if (!active)
            return;
        QCoreApplication::instance()->removeEventFilter(this);
        if (!shown)
            return;
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
            return IsInput(event) && !InsideEndsWaits(static_cast<QWidget*>(watched));
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
    bool shown = false;
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
    BusyWindows busy(wait.cancelled);
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
        if (elapsed.elapsed() >= quietStartMilliseconds)
            busy.Show();
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
}

bool WaitIsRunning() {
    return runningWaitCancelled != nullptr;
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
