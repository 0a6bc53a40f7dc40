#include "webclient/win/WinInetExchange.h"
#include "framework/win/WideText.h"

#include "common/UserTexts.h"
#include "common/WaitCancelled.h"
#include "framework/win/ModalWait.h"
#include "webclient/ExchangeTimeLimit.h"
#include "webclient/PreparedRequest.h"
#include "webclient/win/WinInetJob.h"

#include <memory>
#include <utility>

namespace {

// UTF-8 to UTF-16, up to the first NUL.
SecretText Decode(const SecretBytes& bytes, DWORD count) {
    const std::span<const std::uint8_t> answer = AnswerBeforeNul(bytes.span().first(count));
    SecretText text;
    if (answer.empty())
        return text;
    const int size = static_cast<int>(answer.size());
    text.resize(answer.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(answer.data()),
                                          size, WideBuffer(text), size);
    text.resize(units > 0 ? units : 0);
    return text;
}

} // namespace

WinInetExchange::WinInetExchange(MessageSink& sink, const Clock& clock,
                                 AttemptConnect attemptConnect, WaitWindow waitWindow)
    : sink(sink), clock(clock), attemptConnect(attemptConnect), waitWindow(waitWindow) {}

SecretText WinInetExchange::PostRequest(TextView url) {
    // Loaded before the connectivity check, so that a missing WinInet stops the command.
    const WinInetApi& api = WinInet();
    if (attemptConnect(0) != ERROR_SUCCESS) {
        sink.ShowMessage(UserTexts::noConnectivity);
        return {};
    }

    const DWORD limitMs = static_cast<DWORD>(ExchangeTimeLimit().count());
    auto job = std::make_shared<WinInetJob>();
    job->deadline = GetTickCount64() + limitMs;
    {
        const PreparedRequest prepared(url, clock);
        const RequestSplit split = prepared.Split();
        job->api = api;
        job->hostName = prepared.target.hostName;
        job->port = prepared.target.port;
        job->secure = prepared.target.secure;
        job->object = Text(split.object);
        if (split.form)
            job->form = SecretText(*split.form);
    }
    job->session = std::move(apiSession);
    try {
        StartWinInetJob(job);
    } catch (...) {
        apiSession = std::move(job->session);
        throw;
    }

    switch (WaitWithWindowAnswering(waitWindow ? waitWindow() : nullptr, job->finished.get(),
                                    limitMs)) {
    case WaitEnd::Cancelled:
        throw WaitCancelled();
    case WaitEnd::TimedOut:
        // The worker is left to end by itself, with the session it holds.
        sink.ShowMessage(UserTexts::serviceTimedOut);
        return {};
    case WaitEnd::Done:
        break;
    }

    // A failed exchange keeps the session for the next one; its request and connection
    // are already closed, so the box does not hold them open.
    apiSession = std::move(job->session);
    if (job->thrown)
        std::rethrow_exception(job->thrown);
    if (job->failure) {
        sink.ShowMessage(*job->failure);
        return {};
    }
    apiSession.reset();
    return Decode(job->answer, job->answerBytes);
}
