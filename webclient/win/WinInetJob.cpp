#include "webclient/win/WinInetJob.h"
#include "framework/win/WideText.h"

#include "common/CommandFailure.h"
#include "common/UserTexts.h"
#include "webclient/PreparedRequest.h"
#include "webclient/win/InternetErrorText.h"

#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <iterator>
#include <optional>
#include <utility>

namespace {

const wchar_t userAgent[] = L"TarnUploader2.0";
const wchar_t formHeader[] = L"Content-Type: application/x-www-form-urlencoded\r\n";
constexpr DWORD formHeaderLength = 49;
static_assert(std::size(formHeader) - 1 == formHeaderLength);

constexpr DWORD_PTR context = 1;
// INTERNET_SUPPRESS_COOKIE_PERSIST, which mingw-w64's wininet.h lacks: cookies the service
// sets are kept for this process only, out of the user's shared cookie store, while what
// is sent stays the same. Wine accepts the option and ignores it.
constexpr DWORD suppressCookiePersist = 3;
constexpr DWORD initialBufferBytes = 10240;

// Without explicit time-outs a server that accepts and never answers blocks the send for
// minutes under Wine; these are Windows' documented defaults. Wine honours them only on
// the request handle; they are set on the session as well.
constexpr DWORD connectTimeoutMs = 60'000;
constexpr DWORD sendTimeoutMs = 30'000;
constexpr DWORD receiveTimeoutMs = 30'000;

void SetTimeouts(const WinInetApi& api, HINTERNET handle) {
    for (auto [option, milliseconds] :
         {std::pair{INTERNET_OPTION_CONNECT_TIMEOUT, connectTimeoutMs},
          std::pair{INTERNET_OPTION_SEND_TIMEOUT, sendTimeoutMs},
          std::pair{INTERNET_OPTION_RECEIVE_TIMEOUT, receiveTimeoutMs}}) {
        DWORD value = milliseconds;
        api.InternetSetOptionW(handle, option, &value, sizeof value);
    }
}

Text ErrorText(DWORD code) {
    Text text = InternetErrorText(code);
    return text.empty() ? Text(UserTexts::noErrorMessage) : text;
}

// The longest form text sent: its worst-case room of 6 bytes a unit, plus a terminator,
// must fit the converter's int sizes. A longer one is a handled failure.
constexpr std::size_t maxFormUnits = (INT_MAX - 1) / 6;
static_assert(6 * maxFormUnits + 1 <= std::size_t{INT_MAX});

// The form text in UTF-8, converted once into room for the worst case of 6 bytes a unit;
// nothing when the text is longer than maxFormUnits.
std::optional<SecretBytes> Utf8Body(TextView form) {
    SecretBytes body;
    if (form.empty())
        return body;
    if (form.size() > maxFormUnits)
        return std::nullopt;
    const int units = static_cast<int>(form.size());
    body.resize(6 * form.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, WideUnits(form), units,
                            reinterpret_cast<char*>(body.data()), 6 * units, nullptr, nullptr);
    body.resize(bytes > 0 ? bytes : 0);
    return body;
}

// Sends the request on the connection and reads the answer into the job: into a buffer that
// starts at 10240 bytes and doubles whenever it is full but one byte; or the text of the
// failure that ended the transfer.
void SendAndRead(WinInetJob& job, HINTERNET connection) {
    const WinInetApi& api = job.api;
    const auto fail = [&job](Text text) { job.failure = std::move(text); };

    const std::optional<SecretBytes> utf8Body = job.form ? Utf8Body(*job.form) : SecretBytes{};
    if (!utf8Body)
        return fail(UserTexts::requestTooLong);
    const SecretBytes& body = *utf8Body;
    // The answers carry the session id: they are never written to the disk cache, where they
    // would outlive the process however it ends. A redirect is not followed: the answer comes
    // from the host that was asked, never from one its server names.
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                        INTERNET_FLAG_NO_AUTO_REDIRECT | (job.secure ? INTERNET_FLAG_SECURE : 0);
    UniqueInternet request(api.HttpOpenRequestW(connection, L"POST", Wide(job.object), L"HTTP/1.0",
                                                nullptr, nullptr, flags, context));
    if (!request)
        return fail(ErrorText(GetLastError()));
    SetTimeouts(api, request.get());

    void* bodyBytes = body.empty() ? nullptr : const_cast<std::uint8_t*>(body.data());
    if (!api.HttpSendRequestW(request.get(), formHeader, formHeaderLength, bodyBytes,
                              static_cast<DWORD>(body.size())))
        return fail(ErrorText(GetLastError()));

    // Grown to one byte past the limit at most, so that an answer over it is seen
    // without reading (or holding) more of it.
    constexpr DWORD maxCapacity = maxAnswerBytes + 2;
    SecretBytes& buffer = job.answer;
    DWORD& count = job.answerBytes;
    buffer.resize(initialBufferBytes);
    for (;;) {
        // Only what has arrived is read, so that the deadline is looked at between pieces:
        // a read that waits for more than is there would keep a trickling server's transfer,
        // and this thread, going long after the window stopped waiting for it.
        DWORD available = 0;
        if (!api.InternetQueryDataAvailable(request.get(), &available, 0, 0))
            return fail(ErrorText(GetLastError()));
        if (available == 0)
            break;
        if (GetTickCount64() >= job.deadline)
            return fail(UserTexts::serviceTimedOut);
        const DWORD capacity = static_cast<DWORD>(buffer.size());
        DWORD delivered = 0;
        if (!api.InternetReadFile(request.get(), buffer.data() + count,
                                  std::min(available, capacity - count - 1), &delivered))
            return fail(ErrorText(GetLastError()));
        if (delivered == 0)
            break;
        count += delivered;
        if (count == capacity - 1) {
            if (count > maxAnswerBytes)
                return fail(UserTexts::answerTooLarge);
            buffer.resize(std::min(capacity * 2, maxCapacity));
        }
    }
    buffer.data()[count] = 0;
}

[[noreturn]] void ThrowFailure(DWORD code) {
    throw CommandFailure(code, InternetErrorText(code));
}

// The exchange itself: the session (opened unless one was kept), the connection, the request.
void Run(WinInetJob& job) {
    const WinInetApi& api = job.api;
    if (!job.session) {
        job.session.reset(
            api.InternetOpenW(userAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        if (!job.session)
            ThrowFailure(GetLastError());
        SetTimeouts(api, job.session.get());
        DWORD suppress = suppressCookiePersist;
        api.InternetSetOptionW(job.session.get(), INTERNET_OPTION_SUPPRESS_BEHAVIOR, &suppress,
                               sizeof suppress);
    }
    const DWORD secureFlag = job.secure ? INTERNET_FLAG_SECURE : 0;
    // Closed before the window's thread learns the result, so that no box holds it open.
    UniqueInternet connection(api.InternetConnectW(job.session.get(), Wide(job.hostName), job.port,
                                                   nullptr, nullptr, INTERNET_SERVICE_HTTP,
                                                   INTERNET_FLAG_RELOAD | secureFlag, context));
    if (!connection)
        ThrowFailure(GetLastError());
    SendAndRead(job, connection.get());
}

// A thread that runs one job after another, kept for the next exchange so that each need not
// start a thread of its own. Only the window's thread hands it a job, and only while it is idle.
// A worker still busy when the next job comes (its job outlived the window's wait) is given up:
// it ends after that job, and a new worker takes the next.
struct Worker {
    enum State { idle, busy, givenUp };
    std::atomic<int> state{busy};
    UniqueKernelObject wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::shared_ptr<WinInetJob> job;
};

// The worker the next job goes to. Its thread holds it as well.
std::shared_ptr<Worker> current;

DWORD WINAPI RunJobs(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Worker>> owner(
        static_cast<std::shared_ptr<Worker>*>(parameter));
    Worker& worker = **owner;
    for (;;) {
        WaitForSingleObject(worker.wake.get(), INFINITE);
        std::shared_ptr<WinInetJob> job = std::move(worker.job);
        try {
            Run(*job);
        } catch (...) {
            job->thrown = std::current_exception();
        }
        SetEvent(job->finished.get());
        job.reset();
        int expected = Worker::busy;
        if (!worker.state.compare_exchange_strong(expected, Worker::idle))
            return 0;
    }
}

std::shared_ptr<Worker> NewWorker() {
    auto worker = std::make_shared<Worker>();
    if (!worker->wake)
        ThrowFailure(GetLastError());
    auto owner = std::make_unique<std::shared_ptr<Worker>>(worker);
    // Detached: the window's thread waits on each job's event, never on the thread, and may
    // stop waiting while the thread is still blocked inside WinInet.
    UniqueKernelObject thread(CreateThread(nullptr, 0, RunJobs, owner.get(), 0, nullptr));
    if (!thread)
        ThrowFailure(GetLastError());
    (void)owner.release();
    return worker;
}

} // namespace

void PrepareWinInetWorker() noexcept {
    if (current)
        return;
    try {
        current = NewWorker();
        current->state = Worker::idle;
    } catch (...) {
        // Nothing was kept: the first job starts a worker of its own.
    }
}

void StartWinInetJob(std::shared_ptr<WinInetJob> job) {
    if (!job->finished)
        ThrowFailure(GetLastError());
    int expected = Worker::busy;
    if (current && current->state.compare_exchange_strong(expected, Worker::givenUp))
        current.reset();
    if (current)
        current->state = Worker::busy;
    else
        current = NewWorker();
    current->job = std::move(job);
    SetEvent(current->wake.get());
}
