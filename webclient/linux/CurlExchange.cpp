#include "webclient/linux/CurlExchange.h"

#include "common/CommandFailure.h"
#include "common/UserTexts.h"
#include "common/WaitCancelled.h"
#include "webclient/ExchangeTimeLimit.h"
#include "webclient/PreparedRequest.h"
#include "webclient/linux/CurlEventLoopTransfer.h"
#include "webclient/linux/CurlHandles.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>

namespace {

const char userAgent[] = "TarnUploader2.0";
constexpr std::size_t initialBufferBytes = 10240;

// The Windows edition's limits: 60 s to connect, and a transfer that moves no byte for 30 s
// has stalled.
constexpr long connectTimeoutSeconds = 60;
constexpr long stalledBytesPerSecond = 1;
constexpr long stalledSeconds = 30;

struct CurlUrlCleanup {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UniqueCurlUrl = std::unique_ptr<CURLU, CurlUrlCleanup>;

[[noreturn]] void ThrowFailure(CURLcode code) {
    throw CommandFailure(static_cast<std::uint32_t>(code), FromUtf8(curl_easy_strerror(code)));
}

void InitialiseCurl() {
    static const CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (result != CURLE_OK)
        ThrowFailure(result);
}

// Sets a transfer's options; the first one refused makes the transfer one that cannot be set
// up, which is thrown.
class Options {
public:
    explicit Options(CURL* handle) : handle(handle) {}
    template <typename Value> Options& Set(CURLoption option, Value value) {
        if (refused == CURLE_OK)
            refused = curl_easy_setopt(handle, option, value);
        return *this;
    }
    void Check() const {
        if (refused != CURLE_OK)
            ThrowFailure(refused);
    }

private:
    CURL* handle;
    CURLcode refused = CURLE_OK;
};

// The headers besides Host, User-Agent and Content-Length: the form's type, and none of the
// ones libcurl adds of its own.
UniqueCurlList RequestHeaders() {
    UniqueCurlList list;
    for (const char* header :
         {"Content-Type: application/x-www-form-urlencoded", "Accept:", "Expect:"}) {
        curl_slist* longer = curl_slist_append(list.get(), header);
        if (!longer)
            ThrowFailure(CURLE_OUT_OF_MEMORY);
        (void)list.release();
        list.reset(longer);
    }
    return list;
}

// Where the request goes, parts set one by one so that nothing in the host or the path is
// read as another part. An empty host cannot be connected to at all, and is thrown. A host
// name the URL rules refuse (a colon outside brackets, as in "user:pw@host" or a ":port" that
// is not a port) fails like a name that does not resolve: it costs that host only, and the
// next redirect host is asked.
struct Address {
    UniqueCurlUrl url;
    CURLUcode refused = CURLUE_OK;
};

Address AddressOf(const ConnectTarget& target, TextView object) {
    if (target.hostName.empty())
        ThrowFailure(CURLE_URL_MALFORMAT);
    Address address{UniqueCurlUrl(curl_url())};
    if (!address.url)
        ThrowFailure(CURLE_OUT_OF_MEMORY);
    const bool bracketed = target.hostName.starts_with(u'[') && target.hostName.ends_with(u']');
    if (!bracketed && target.hostName.find(u':') != Text::npos)
        address.refused = CURLUE_BAD_HOSTNAME;
    const std::string host = ToUtf8(target.hostName);
    const std::string port = std::to_string(target.port);
    const std::string path = object.empty() ? "/" : ToUtf8(object);
    for (auto [part, value] :
         {std::pair{CURLUPART_SCHEME, target.secure ? "https" : "http"},
          std::pair{CURLUPART_HOST, host.c_str()}, std::pair{CURLUPART_PORT, port.c_str()},
          std::pair{CURLUPART_PATH, path.c_str()}}) {
        if (address.refused == CURLUE_OK)
            address.refused = curl_url_set(address.url.get(), part, value, 0);
    }
    return address;
}

// The answer's bytes, or the note that it grew past the limit.
struct Transfer {
    SecretBytes buffer;
    std::size_t count = 0;
    bool tooLarge = false;
};

std::size_t Receive(char* data, std::size_t size, std::size_t items, void* user) {
    Transfer& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * items;
    // Checked as each piece arrives: a body that ends at the connection's close has no length
    // for libcurl to refuse in advance.
    if (bytes > maxAnswerBytes - transfer.count) {
        transfer.tooLarge = true;
        return 0;
    }
    const std::size_t needed = transfer.count + bytes;
    if (needed > transfer.buffer.size()) {
        const std::size_t doubled = std::max(initialBufferBytes, 2 * transfer.buffer.size());
        try {
            transfer.buffer.resize(std::max(needed, std::min(doubled, maxAnswerBytes)));
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }
    std::memcpy(transfer.buffer.data() + transfer.count, data, bytes);
    transfer.count = needed;
    return bytes;
}

// UTF-8 to UTF-16, up to the first NUL.
SecretText Decode(const Transfer& transfer) {
    const std::span<const std::uint8_t> answer =
        AnswerBeforeNul(transfer.buffer.span().first(transfer.count));
    const std::string_view bytes(reinterpret_cast<const char*>(answer.data()), answer.size());
    SecretText text;
    text.reserve(bytes.size());
    DecodeUtf8(bytes, [&text](char16_t unit) { text += unit; });
    return text;
}

} // namespace

CurlExchange::CurlExchange(MessageSink& sink, const Clock& clock) : sink(sink), clock(clock) {}

SecretText CurlExchange::PostRequest(TextView url) {
    InitialiseCurl();
    const PreparedRequest prepared(url, clock);
    const RequestSplit split = prepared.Split();
    const Address address = AddressOf(prepared.target, split.object);

    SecretBytes body;
    if (split.form) {
        body.reserve(3 * split.form->size());
        EncodeUtf8(*split.form, [&body](char byte) { body += static_cast<std::uint8_t>(byte); });
    }

    const std::chrono::milliseconds timeLimit = ExchangeTimeLimit();
    UniqueCurl handle(curl_easy_init());
    if (!handle)
        ThrowFailure(CURLE_FAILED_INIT);
    const UniqueCurlList headers = RequestHeaders();
    char errorText[CURL_ERROR_SIZE] = {};
    Transfer transfer;
    static const char noBody[] = "";
    Options(handle.get())
        .Set(CURLOPT_ERRORBUFFER, errorText)
        .Set(CURLOPT_NOSIGNAL, 1L)
        .Set(CURLOPT_PROTOCOLS_STR, "http,https")
        .Set(CURLOPT_CURLU, address.url.get())
        .Set(CURLOPT_PATH_AS_IS, 1L)
        .Set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0))
        .Set(CURLOPT_FORBID_REUSE, 1L)
        .Set(CURLOPT_USERAGENT, userAgent)
        .Set(CURLOPT_HTTPHEADER, headers.get())
        .Set(CURLOPT_POSTFIELDS, body.empty() ? noBody : reinterpret_cast<const char*>(body.data()))
        .Set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()))
        .Set(CURLOPT_CONNECTTIMEOUT, connectTimeoutSeconds)
        .Set(CURLOPT_LOW_SPEED_LIMIT, stalledBytesPerSecond)
        .Set(CURLOPT_LOW_SPEED_TIME, stalledSeconds)
        .Set(CURLOPT_SSL_VERIFYPEER, 1L)
        .Set(CURLOPT_SSL_VERIFYHOST, 2L)
        .Set(CURLOPT_WRITEFUNCTION, &Receive)
        .Set(CURLOPT_WRITEDATA, &transfer)
        .Check();

    if (address.refused != CURLUE_OK) {
        sink.ShowMessage(FromUtf8(curl_url_strerror(address.refused)));
        return {};
    }
    const TransferEnd end = RunOnEventLoop(handle.get(), timeLimit);
    if (end.wait == WaitEnd::Cancelled)
        throw WaitCancelled();
    if (transfer.tooLarge) {
        sink.ShowMessage(UserTexts::answerTooLarge);
        return {};
    }
    // However far the exchange got (connecting, the headers, the body); libcurl's own
    // time-outs (a connection or a transfer that stalled) keep libcurl's text.
    if (end.wait == WaitEnd::TimedOut) {
        sink.ShowMessage(UserTexts::serviceTimedOut);
        return {};
    }
    const CURLcode result = end.result;
    if (result != CURLE_OK) {
        sink.ShowMessage(FromUtf8(errorText[0] ? errorText : curl_easy_strerror(result)));
        return {};
    }
    return Decode(transfer);
}
