#include "webclient/ServiceSession.h"

#include "common/WipeText.h"
#include "webclient/ResponseField.h"
#include "webclient/Url.h"

#include <utility>

namespace {

constexpr TextView redirectScheme = u"http://";
constexpr TextView redirectPath = u"/api/Redirect.aspx";
constexpr TextView logonPath = u"/api/secure/ApiLogon.aspx?username=";
constexpr TextView passwordKey = u"&password=";
constexpr TextView typeKey = u"&type=";

// Wipes a text that held the password when the scope ends, an exception included.
class WipeOnExit {
public:
    explicit WipeOnExit(Text& text) : text(text) {}
    ~WipeOnExit() { WipeText(text); }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

private:
    Text& text;
};

} // namespace

ServiceSession::ServiceSession(RedirectHosts hosts, Exchange& exchange)
    : hosts(std::move(hosts)), exchange(exchange) {}

ServiceSession::~ServiceSession() {
    WipeText(logonPassword);
}

Text ServiceSession::GetWebAppUrl() {
    if (!webAppUrl.empty())
        return webAppUrl;
    // An empty host is asked like any other: its request fails in the exchange, which
    // reports it, and the next host is asked.
    for (const Text& host : hosts) {
        webAppUrl = QueryWebAppUrl(Text(redirectScheme) + host + Text(redirectPath));
        if (!webAppUrl.empty())
            break;
    }
    return webAppUrl;
}

Text ServiceSession::QueryWebAppUrl(Text url) {
    return GetResponseField(exchange.PostRequest(url), u"RETURN_WEBAPPURL", 0);
}

int ServiceSession::ApiLogon(Text user, Text password, Text type) {
    WipeOnExit wipePassword(password);
    logonUser = std::move(user);
    WipeText(logonPassword);
    logonPassword = password;

    Text base = GetWebAppUrl();
    if (base.empty())
        return LogonNoServer;

    // Each value is form-encoded so that "&", "=", "+", "%" or "#" in a credential can
    // neither add fields nor reach the server altered. Concatenation, not formatting, so
    // a "%s" in a value stays text.
    const Text encodedUser = FormEncode(logonUser);
    const Text encodedType = FormEncode(type);
    Text encodedPassword = FormEncode(logonPassword);
    WipeOnExit wipeEncodedPassword(encodedPassword);

    // Reserved whole, so that no partial copy of the password is left behind by a regrowth.
    Text url;
    WipeOnExit wipeUrl(url);
    url.reserve(base.size() + logonPath.size() + encodedUser.size() + passwordKey.size() +
                encodedPassword.size() + typeKey.size() + encodedType.size());
    url.append(base).append(logonPath).append(encodedUser);
    url.append(passwordKey).append(encodedPassword);
    url.append(typeKey).append(encodedType);

    Text response = exchange.PostRequest(url);
    Text status = GetResponseField(response, u"RETURN_STATUS", 0);
    Text session = GetResponseField(response, u"RETURN_SESSIONID", 0);
    if (status == u"0") {
        sessionId = std::move(session);
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
