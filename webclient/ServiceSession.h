#pragma once

#include "common/MessageSink.h"
#include "common/Text.h"
#include "webclient/Exchange.h"
#include "webclient/LogonCall.h"
#include "webclient/RedirectHosts.h"

// The web service client's state for the whole process: the redirect hosts, the web
// application's address once a host has given it, and the credentials and session of the
// most recent logon. Every request goes through the exchange, and the refusal of an address
// is shown through the sink; both must outlive this object.
//
// With noHostText, an edition that can tell the user where the hosts are configured says so
// instead of asking three empty hosts: when every host is empty, GetWebAppUrl sends nothing
// and throws CommandFailure carrying that text.
class ServiceSession final : public LogonCall {
public:
    ServiceSession(RedirectHosts hosts, Exchange& exchange, MessageSink& sink,
                   Text noHostText = {});
    ServiceSession(const ServiceSession&) = delete;
    ServiceSession& operator=(const ServiceSession&) = delete;

    // The web application's base address. While it is unknown, asks the hosts in order and
    // keeps the first non-empty answer for good; empty when no host gave one. An answer that
    // is not a plain web address (webclient/PlainAddress.h) counts as none: the sink shows
    // its refusal, once for that host, and the next host is asked. Throws CommandFailure
    // from the exchange, and then asks no further host; without hosts, as above.
    Text GetWebAppUrl();

    // One redirect request to url: the "RETURN_WEBAPPURL" field of its answer, or empty.
    Text QueryWebAppUrl(Text url);

    // Logs on under the web application's address; returns a LogonResult. Keeps the
    // session identifier only when the service answers status "0".
    LogonResult ApiLogon(Text user, SecretText password, Text type) override;

    const Text& WebAppUrl() const { return webAppUrl; }
    const SecretText& SessionId() const { return sessionId; }
    const Text& LogonUser() const { return logonUser; }

private:
    RedirectHosts hosts;
    Exchange& exchange;
    MessageSink& sink;
    Text noHostText;
    Text webAppUrl;
    SecretText sessionId;
    Text logonUser;
    SecretText logonPassword;
};
