#include "app/linux/EventLoopWait.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace {

constexpr int pollMilliseconds = 10;

// For its lifetime: the wait cursor, the enabled windows disabled (the focus is given back
// afterwards) and every window's close ignored.
class BusyWindows final : public QObject {
public:
    BusyWindows() {
        auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
        if (!application)
            return;
        focus = QApplication::focusWidget();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isEnabled()) {
                window->setEnabled(false);
                disabled.emplace_back(window);
            }
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        application->installEventFilter(this);
        active = true;
    }
    ~BusyWindows() override {
        if (!active)
            return;
        QCoreApplication::instance()->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
        for (const QPointer<QWidget>& window : disabled)
            if (window)
                window->setEnabled(true);
        if (focus)
            focus->setFocus();
    }
    BusyWindows(const BusyWindows&) = delete;
    BusyWindows& operator=(const BusyWindows&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && watched->isWidgetType()) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    bool active = false;
    QPointer<QWidget> focus;
    std::vector<QPointer<QWidget>> disabled;
};

} // namespace

WaitEnd WaitRunningEvents(std::chrono::milliseconds limit, const std::function<bool()>& done) {
    if (done())
        return WaitEnd::Done;
    if (!QCoreApplication::instance())
        return WaitEnd::TimedOut;
    const BusyWindows busy;
    bool finished = false;
    QEventLoop loop;
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        finished = done();
        if (finished || elapsed.elapsed() >= limit.count())
            loop.quit();
    });
    poll.start(pollMilliseconds);
    loop.exec();
    return finished ? WaitEnd::Done : WaitEnd::TimedOut;
}

bool EventLoopRunsGlib() {
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    return dispatcher && dispatcher->inherits("QEventDispatcherGlib");
}
