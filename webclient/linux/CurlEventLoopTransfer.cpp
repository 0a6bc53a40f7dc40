#include "webclient/linux/CurlEventLoopTransfer.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <map>
#include <memory>
#include <vector>

namespace {

struct CurlMultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using UniqueCurlMulti = std::unique_ptr<CURLM, CurlMultiCleanup>;

// Hands libcurl's sockets and timer to Qt's event loop, and notes when the transfer is done.
class EventLoopDriver {
public:
    EventLoopDriver() {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [this] { Act(CURL_SOCKET_TIMEOUT, 0); });
    }

    void Attach(CURLM* driven) {
        multi = driven;
        curl_multi_setopt(multi, CURLMOPT_SOCKETFUNCTION, &OnSocket);
        curl_multi_setopt(multi, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(multi, CURLMOPT_TIMERFUNCTION, &OnTimer);
        curl_multi_setopt(multi, CURLMOPT_TIMERDATA, this);
    }

    bool finished = false;
    CURLcode result = CURLE_OK;

private:
    struct Watch {
        std::unique_ptr<QSocketNotifier> read, write;
    };

    static int OnSocket(CURL*, curl_socket_t socket, int what, void* user, void*) {
        auto& driver = *static_cast<EventLoopDriver*>(user);
        if (what == CURL_POLL_REMOVE) {
            driver.Retire(socket);
            return 0;
        }
        Watch& watch = driver.watches[socket];
        driver.SetWatch(watch.read, socket, QSocketNotifier::Read,
                        what == CURL_POLL_IN || what == CURL_POLL_INOUT);
        driver.SetWatch(watch.write, socket, QSocketNotifier::Write,
                        what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
        return 0;
    }

    static int OnTimer(CURLM*, long milliseconds, void* user) {
        auto& driver = *static_cast<EventLoopDriver*>(user);
        if (milliseconds < 0)
            driver.timer.stop();
        else
            driver.timer.start(static_cast<int>(milliseconds));
        return 0;
    }

    void SetWatch(std::unique_ptr<QSocketNotifier>& notifier, curl_socket_t socket,
                  QSocketNotifier::Type type, bool wanted) {
        if (!wanted) {
            if (notifier)
                notifier->setEnabled(false);
            return;
        }
        if (!notifier) {
            notifier = std::make_unique<QSocketNotifier>(socket, type);
            const int events = type == QSocketNotifier::Read ? CURL_CSELECT_IN : CURL_CSELECT_OUT;
            QObject::connect(notifier.get(), &QSocketNotifier::activated,
                             [this, socket, events] { Act(socket, events); });
        }
        notifier->setEnabled(true);
    }

    // The socket's notifiers stop now and are deleted with the driver: one of them may be
    // the one whose signal is running.
    void Retire(curl_socket_t socket) {
        const auto found = watches.find(socket);
        if (found == watches.end())
            return;
        for (std::unique_ptr<QSocketNotifier>* notifier :
             {&found->second.read, &found->second.write}) {
            if (*notifier) {
                (*notifier)->setEnabled(false);
                retired.push_back(std::move(*notifier));
            }
        }
        watches.erase(found);
    }

    void Act(curl_socket_t socket, int events) {
        if (finished)
            return;
        int running = 0;
        const CURLMcode code = curl_multi_socket_action(multi, socket, events, &running);
        if (code != CURLM_OK) {
            finished = true;
            result = code == CURLM_OUT_OF_MEMORY ? CURLE_OUT_OF_MEMORY : CURLE_FAILED_INIT;
            return;
        }
        int left = 0;
        while (const CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg == CURLMSG_DONE) {
                finished = true;
                result = message->data.result;
            }
        }
    }

    CURLM* multi = nullptr;
    QTimer timer;
    std::map<curl_socket_t, Watch> watches;
    std::vector<std::unique_ptr<QSocketNotifier>> retired;
};

// Takes the transfer out of the multi handle however the wait ends; an unfinished one is
// abandoned and its connection closed.
struct MultiMember {
    CURLM* multi;
    CURL* transfer;
    ~MultiMember() { curl_multi_remove_handle(multi, transfer); }
};

} // namespace

TransferEnd RunOnEventLoop(CURL* transfer, std::chrono::milliseconds limit) {
    if (!QCoreApplication::instance())
        return {WaitEnd::Done, CURLE_FAILED_INIT};
    // Declared first: libcurl calls the driver back until the multi handle is cleaned up.
    EventLoopDriver driver;
    const UniqueCurlMulti multi(curl_multi_init());
    if (!multi)
        return {WaitEnd::Done, CURLE_OUT_OF_MEMORY};
    driver.Attach(multi.get());
    if (curl_multi_add_handle(multi.get(), transfer) != CURLM_OK)
        return {WaitEnd::Done, CURLE_FAILED_INIT};
    const MultiMember member{multi.get(), transfer};
    const WaitEnd wait = WaitRunningEvents(limit, [&driver] { return driver.finished; });
    return {wait, driver.result};
}
