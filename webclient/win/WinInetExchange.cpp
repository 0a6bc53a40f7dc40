#include "webclient/win/WinInetExchange.h"
#include "framework/win/WideText.h"

#include "common/CommandFailure.h"
#include "common/UserTexts.h"
#include "webclient/ExchangeTimeLimit.h"
#include "webclient/PreparedRequest.h"
#include "webclient/win/InternetErrorText.h"

#include <wininet.h>

#include <algorithm>
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

// The answer's bytes in a buffer that starts at 10240 bytes and doubles whenever it is
// full but one byte, or the text of the failure that ended the transfer.
struct Transfer {
    SecretBytes buffer;
    DWORD count = 0;
    std::optional<Text> failure;
};

// The tick count, in milliseconds, at which the exchange has run out of time.
using Deadline = ULONGLONG;

Transfer SendAndRead(const WinInetApi& api, HINTERNET connection, const RequestSplit& split,
                     bool secure, Deadline deadline) {
    Transfer transfer;
    const auto fail = [&transfer](Text text) {
        transfer.failure = std::move(text);
        return std::move(transfer);
    };

    const std::optional<SecretBytes> utf8Body = split.form ? Utf8Body(*split.form) : SecretBytes{};
    if (!utf8Body)
        return fail(UserTexts::requestTooLong);
    const SecretBytes& body = *utf8Body;
    // The answers carry the session id: they are never written to the disk cache, where they
    // would outlive the process however it ends. A redirect is not followed: the answer comes
    // from the host that was asked, never from one its server names.
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                        INTERNET_FLAG_NO_AUTO_REDIRECT | (secure ? INTERNET_FLAG_SECURE : 0);
    const Text object(split.object);
    UniqueInternet request(api.HttpOpenRequestW(connection, L"POST", Wide(object), L"HTTP/1.0",
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
    transfer.buffer.resize(initialBufferBytes);
    for (;;) {
        // Only what has arrived is read, so that the deadline is looked at between pieces:
        // a read that waits for more than is there would keep a trickling server's exchange
        // going, and nothing else on this thread can end it.
        DWORD available = 0;
        if (!api.InternetQueryDataAvailable(request.get(), &available, 0, 0))
            return fail(ErrorText(GetLastError()));
        if (available == 0)
            break;
        if (GetTickCount64() >= deadline)
            return fail(UserTexts::serviceTimedOut);
        const DWORD capacity = static_cast<DWORD>(transfer.buffer.size());
        DWORD delivered = 0;
        if (!api.InternetReadFile(request.get(), transfer.buffer.data() + transfer.count,
                                  std::min(available, capacity - transfer.count - 1), &delivered))
            return fail(ErrorText(GetLastError()));
        if (delivered == 0)
            break;
        transfer.count += delivered;
        if (transfer.count == capacity - 1) {
            if (transfer.count > maxAnswerBytes)
                return fail(UserTexts::answerTooLarge);
            transfer.buffer.resize(std::min(capacity * 2, maxCapacity));
        }
    }
    transfer.buffer.data()[transfer.count] = 0;
    return transfer;
}

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
                                 AttemptConnect attemptConnect)
    : sink(sink), clock(clock), attemptConnect(attemptConnect) {}

HINTERNET WinInetExchange::Session(const WinInetApi& api) {
    if (!apiSession) {
        apiSession.reset(
            api.InternetOpenW(userAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        if (!apiSession) {
            const DWORD code = GetLastError();
            throw CommandFailure(code, InternetErrorText(code));
        }
        SetTimeouts(api, apiSession.get());
        DWORD suppress = suppressCookiePersist;
        api.InternetSetOptionW(apiSession.get(), INTERNET_OPTION_SUPPRESS_BEHAVIOR, &suppress,
                               sizeof suppress);
    }
    return apiSession.get();
}

SecretText WinInetExchange::PostRequest(TextView url) {
    // Loaded before the connectivity check, so that a missing WinInet stops the command.
    const WinInetApi& api = WinInet();
    if (attemptConnect(0) != ERROR_SUCCESS) {
        sink.ShowMessage(UserTexts::noConnectivity);
        return {};
    }

    const Deadline deadline = GetTickCount64() + ExchangeTimeLimit().count();
    const PreparedRequest prepared(url, clock);
    const ConnectTarget& target = prepared.target;

    Transfer transfer;
    {
        const DWORD secureFlag = target.secure ? INTERNET_FLAG_SECURE : 0;
        UniqueInternet connection(api.InternetConnectW(
            Session(api), Wide(target.hostName), target.port, nullptr, nullptr,
            INTERNET_SERVICE_HTTP, INTERNET_FLAG_RELOAD | secureFlag, context));
        if (!connection) {
            const DWORD code = GetLastError();
            throw CommandFailure(code, InternetErrorText(code));
        }
        transfer = SendAndRead(api, connection.get(), prepared.Split(), target.secure, deadline);
    }

    // A failed exchange keeps the session for the next one; its request and connection
    // are already closed, so the box does not hold them open.
    if (transfer.failure) {
        sink.ShowMessage(*transfer.failure);
        return {};
    }
    apiSession.reset();
    return Decode(transfer.buffer, transfer.count);
}
