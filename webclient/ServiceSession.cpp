#include "webclient/ServiceSession.h"

#include "common/CommandFailure.h"
#include "webclient/PlainAddress.h"
#include "webclient/ResponseField.h"
#include "webclient/Url.h"

#include <algorithm>
#include <utility>

namespace {

constexpr TextView redirectScheme = u"http://";
constexpr TextView redirectPath = u"/api/Redirect.aspx";
constexpr TextView logonPath = u"/api/secure/ApiLogon.aspx?username=";
constexpr TextView passwordKey = u"&password=";
constexpr TextView typeKey = u"&type=";

} // namespace

ServiceSession::ServiceSession(RedirectHosts hosts, Exchange& exchange, MessageSink& sink,
                               Text noHostText)
    : hosts(std::move(hosts)), exchange(exchange), sink(sink), noHostText(std::move(noHostText)) {}

Text ServiceSession::GetWebAppUrl() {
    if (!webAppUrl.empty())
        return webAppUrl;
    if (!noHostText.empty() &&
        std::all_of(hosts.begin(), hosts.end(), [](const Text& host) { return host.empty(); }))
        throw CommandFailure(0, noHostText);
    // An empty host is asked like any other: its request fails in the exchange, which
    // reports it, and the next host is asked.
    for (const Text& host : hosts) {
        webAppUrl = QueryWebAppUrl(Text(redirectScheme) + host + Text(redirectPath));
        if (webAppUrl.empty())
            continue;
        // The address goes into the logon request's first line and to the shell: a line
        // break, a blank or a quotation mark in it would add headers or arguments.
        if (IsPlainWebAddress(webAppUrl))
            break;
        sink.ShowMessage(RefusedAddressMessage(webAppUrl));
        webAppUrl.clear();
    }
    return webAppUrl;
}

Text ServiceSession::QueryWebAppUrl(Text url) {
    return Text(GetResponseField(exchange.PostRequest(url), u"RETURN_WEBAPPURL", 0));
}

LogonResult ServiceSession::ApiLogon(Text user, SecretText password, Text type) {
    using enum LogonResult;
    logonUser = std::move(user);
    logonPassword = std::move(password);

    Text base = GetWebAppUrl();
    if (base.empty())
        return LogonNoServer;

    // Each value is form-encoded so that "&", "=", "+", "%" or "#" in a credential can
    // neither add fields nor reach the server altered. Concatenation, not formatting, so
    // a "%s" in a value stays text.
    const SecretText encodedUser = FormEncode(logonUser);
    const SecretText encodedPassword = FormEncode(logonPassword);
    const SecretText encodedType = FormEncode(type);
    SecretText url;
    for (TextView piece : {TextView(base), logonPath, encodedUser.view(), passwordKey,
                           encodedPassword.view(), typeKey, encodedType.view()})
        url += piece;

    const SecretText response = exchange.PostRequest(url);
    const TextView status = GetResponseField(response, u"RETURN_STATUS", 0);
    if (status == u"0") {
        sessionId = GetResponseField(response, u"RETURN_SESSIONID", 0);
        return LogonOk;
    }
    if (status == u"1")
        return LogonRefused;
    // An answer without a status (a failed exchange, an error page) is no logon: counting it
    // as one would open the storage with credentials nobody checked and save them.
    if (status.empty())
        return LogonNoServer;
    return LogonOtherStatus;
}
