#pragma once

#include "common/Clock.h"
#include "common/MessageSink.h"
#include "webclient/Exchange.h"

#include <cstddef>

// PostRequest over libcurl: an HTTP/1.0 POST whose body is the url's query in UTF-8, the
// answer decoded from UTF-8 up to its first NUL. Handled failures are shown through the
// sink with libcurl's text for them. Every exchange has a transfer and a connection of its
// own, closed when it ends. Proxies come from the environment (http_proxy, https_proxy,
// no_proxy), which libcurl reads itself. The transfer runs on Qt's event loop
// (CurlEventLoopTransfer.h): a wait the user cancels throws WaitCancelled once it is abandoned,
// and one that outlasts the time limit is a handled failure.
class CurlExchange final : public Exchange {
public:
    CurlExchange(MessageSink& sink, const Clock& clock);

    SecretText PostRequest(TextView url) override;

private:
    MessageSink& sink;
    const Clock& clock;
};
