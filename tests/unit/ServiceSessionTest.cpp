#include "webclient/ServiceSession.h"

#include "common/CommandFailure.h"
#include "webclient/ExchangeTimeLimit.h"
#include "webclient/PlainAddress.h"

#include <gtest/gtest.h>

#include <deque>
#include <variant>
#include <vector>

namespace {

using enum LogonResult;

// Records every url and hands out the scripted answers in order. Past the end of the
// script every exchange gives empty text, as a handled failure does. Also the session's
// message sink, recording every box.
class ScriptedExchange final : public Exchange, public MessageSink {
public:
    using Answer = std::variant<Text, CommandFailure>;

    explicit ScriptedExchange(std::deque<Answer> script = {}) : script(std::move(script)) {}

    SecretText PostRequest(TextView url) override {
        urls.emplace_back(url);
        if (script.empty())
            return {};
        Answer next = std::move(script.front());
        script.pop_front();
        if (auto* failure = std::get_if<CommandFailure>(&next))
            throw *failure;
        return SecretText(std::get<Text>(next));
    }

    void ShowMessage(const Text& text) override { boxes.push_back(text); }

    void Add(Answer answer) { script.push_back(std::move(answer)); }

    std::deque<Answer> script;
    std::vector<Text> urls;
    std::vector<Text> boxes;
};

Text RedirectAnswer(const Text& webAppUrl) {
    return u"<p>RETURN_WEBAPPURL=" + webAppUrl + u"</p>";
}

Text LogonAnswer(const Text& status, const Text& session) {
    return u"<p>RETURN_STATUS=" + status + u"</p><p>RETURN_SESSIONID=" + session + u"</p>";
}

Text RedirectUrl(const Text& host) {
    return u"http://" + host + u"/api/Redirect.aspx";
}

const Text webApp = u"http://web.example/app";
const Text logonBase = webApp + u"/api/secure/ApiLogon.aspx?";

Text LogonUrl(const Text& query) {
    return logonBase + query;
}

const RedirectHosts threeHosts = {u"one.example", u"two.example", u"three.example"};

struct RedirectCase {
    const char* name;
    RedirectHosts hosts;
    std::deque<ScriptedExchange::Answer> script;
    std::vector<Text> asked;
    Text webAppUrl;
    std::vector<Text> boxes = {};
};

struct StatusCase {
    const char* name;
    Text logonResponse;
    LogonResult code;
    Text sessionId;
};

} // namespace

TEST(ServiceSession, GetWebAppUrlAsksTheHostsInOrderUntilOneAnswers) {
    const std::vector<RedirectCase> cases = {
        {"first answers",
         threeHosts,
         {RedirectAnswer(webApp)},
         {RedirectUrl(u"one.example")},
         webApp},
        {"first lacks the field",
         threeHosts,
         {u"<html>404</html>", RedirectAnswer(webApp)},
         {RedirectUrl(u"one.example"), RedirectUrl(u"two.example")},
         webApp},
        {"empty field counts as no answer",
         threeHosts,
         {RedirectAnswer(u""), u"", RedirectAnswer(webApp)},
         {RedirectUrl(u"one.example"), RedirectUrl(u"two.example"), RedirectUrl(u"three.example")},
         webApp},
        {"empty hosts are asked in place",
         {u"", u"two.example", u""},
         {u"", RedirectAnswer(webApp)},
         {u"http:///api/Redirect.aspx", RedirectUrl(u"two.example")},
         webApp},
        {"no configuration",
         {},
         {},
         {u"http:///api/Redirect.aspx", u"http:///api/Redirect.aspx", u"http:///api/Redirect.aspx"},
         u""},
        // An address that is not plain is refused, its box naming scheme and host only, and
        // the next host is asked.
        {"line break refused",
         threeHosts,
         {RedirectAnswer(u"http://w.example/a\r\nX-Injected: yes"), RedirectAnswer(webApp)},
         {RedirectUrl(u"one.example"), RedirectUrl(u"two.example")},
         webApp,
         {RefusedAddressMessage(u"http://w.example/a\r\nX-Injected: yes")}},
        {"blanks around and a quotation mark refused",
         threeHosts,
         {RedirectAnswer(u" http://w"), RedirectAnswer(u"http://w "),
          RedirectAnswer(u"http://w\"")},
         {RedirectUrl(u"one.example"), RedirectUrl(u"two.example"), RedirectUrl(u"three.example")},
         u"",
         {RefusedAddressMessage(u" http://w"), RefusedAddressMessage(u"http://w "),
          RefusedAddressMessage(u"http://w\"")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedExchange exchange(c.script);
        ServiceSession session(c.hosts, exchange, exchange);
        EXPECT_EQ(session.GetWebAppUrl(), c.webAppUrl);
        EXPECT_EQ(exchange.urls, c.asked);
        EXPECT_EQ(session.WebAppUrl(), c.webAppUrl);
        EXPECT_EQ(exchange.boxes, c.boxes);
    }
}

TEST(ServiceSession, WebAppUrlIsCachedOnSuccessAndAskedAgainAfterFailure) {
    ScriptedExchange exchange;
    ServiceSession session(threeHosts, exchange, exchange);
    EXPECT_EQ(session.GetWebAppUrl(), u"");
    EXPECT_EQ(exchange.urls.size(), 3u);

    exchange.urls.clear();
    exchange.Add(RedirectAnswer(webApp));
    EXPECT_EQ(session.GetWebAppUrl(), webApp);
    EXPECT_EQ(exchange.urls, std::vector<Text>{RedirectUrl(u"one.example")});

    exchange.urls.clear();
    exchange.Add(RedirectAnswer(u"http://other.example"));
    EXPECT_EQ(session.GetWebAppUrl(), webApp);
    EXPECT_TRUE(exchange.urls.empty());
}

TEST(ServiceSession, CommandFailureLeavesGetWebAppUrlAndStopsTheHosts) {
    ScriptedExchange exchange({u"", CommandFailure(12007, u"name not resolved")});
    ServiceSession session(threeHosts, exchange, exchange);
    try {
        session.GetWebAppUrl();
        FAIL() << "the failure must pass through";
    } catch (const CommandFailure& failure) {
        EXPECT_EQ(failure.code, 12007u);
        EXPECT_EQ(failure.message, u"name not resolved");
    }
    EXPECT_EQ(exchange.urls.size(), 2u);
    EXPECT_EQ(session.WebAppUrl(), u"");
}

TEST(ServiceSession, QueryWebAppUrlReadsOneAnswer) {
    ScriptedExchange exchange({u"<p>RETURN_WEBAPPURL=http://w</P>"});
    ServiceSession session(threeHosts, exchange, exchange);
    EXPECT_EQ(session.QueryWebAppUrl(u"http://any/api/Redirect.aspx"), u"http://w");
    EXPECT_EQ(exchange.urls, std::vector<Text>{u"http://any/api/Redirect.aspx"});
    EXPECT_EQ(session.WebAppUrl(), u"") << "a single query caches nothing";
}

TEST(ServiceSession, ApiLogonMapsTheStatusToACode) {
    const std::vector<StatusCase> cases = {
        {"status 0", LogonAnswer(u"0", u"S1"), LogonOk, u"S1"},
        {"status 0 without a session id", u"<p>RETURN_STATUS=0</p>", LogonOk, u""},
        {"status 1", LogonAnswer(u"1", u"S1"), LogonRefused, u""},
        {"status 2", LogonAnswer(u"2", u"S1"), LogonOtherStatus, u""},
        {"two zeros", LogonAnswer(u"00", u"S1"), LogonOtherStatus, u""},
        {"blank before zero", LogonAnswer(u" 0", u"S1"), LogonOtherStatus, u""},
        {"session id without status", u"<p>RETURN_SESSIONID=S1</p>", LogonNoServer, u""},
        {"empty status", LogonAnswer(u"", u"S1"), LogonNoServer, u""},
        {"error page", u"<html><body>Internal Server Error</body></html>", LogonNoServer, u""},
        {"failed exchange", u"", LogonNoServer, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedExchange exchange({RedirectAnswer(webApp), c.logonResponse});
        ServiceSession session(threeHosts, exchange, exchange);
        EXPECT_EQ(session.ApiLogon(u"alice", u"secret1", u"ftp"), c.code);
        EXPECT_EQ(session.SessionId(), c.sessionId);
        EXPECT_EQ(exchange.urls.back(), LogonUrl(u"username=alice&password=secret1&type=ftp"));
    }
}

TEST(ServiceSession, ApiLogonWithoutAnAddressSendsNoLogon) {
    ScriptedExchange exchange;
    ServiceSession session(threeHosts, exchange, exchange);
    EXPECT_EQ(session.ApiLogon(u"alice", u"secret1", u"ftp"), LogonNoServer);
    EXPECT_EQ(exchange.urls.size(), 3u);
    for (const Text& url : exchange.urls)
        EXPECT_TRUE(url.ends_with(u"/api/Redirect.aspx"));
    EXPECT_EQ(session.LogonUser(), u"alice");
    EXPECT_EQ(session.SessionId(), u"");
}

TEST(ServiceSession, SessionIdChangesOnlyOnStatusZero) {
    ScriptedExchange exchange({RedirectAnswer(webApp), LogonAnswer(u"0", u"S1")});
    ServiceSession session(threeHosts, exchange, exchange);
    ASSERT_EQ(session.ApiLogon(u"alice", u"pw", u"ftp"), LogonOk);

    for (const Text& response : {LogonAnswer(u"1", u"X"), LogonAnswer(u"9", u"X"), Text()}) {
        exchange.Add(response);
        session.ApiLogon(u"bob", u"pw", u"ftp");
        EXPECT_EQ(session.SessionId(), u"S1");
        EXPECT_EQ(session.LogonUser(), u"bob");
    }

    exchange.urls.clear();
    exchange.Add(LogonAnswer(u"0", u"S2"));
    EXPECT_EQ(session.ApiLogon(u"carol", u"pw", u"ftp"), LogonOk);
    EXPECT_EQ(session.SessionId(), u"S2");
    EXPECT_EQ(exchange.urls, std::vector<Text>{LogonUrl(u"username=carol&password=pw&type=ftp")})
        << "a known address needs no redirect";
}

TEST(ServiceSession, ApiLogonFormEncodesEveryValue) {
    struct Case {
        Text user;
        Text password;
        Text type;
        Text query;
    };
    const std::vector<Case> cases = {
        {u"Alice2024", u"Secret99", u"ftp", u"username=Alice2024&password=Secret99&type=ftp"},
        {u"bob&type=admin", u"a=b", u"ftp", u"username=bob%26type%3Dadmin&password=a%3Db&type=ftp"},
        {u"u", u"%s%s", u"ftp", u"username=u&password=%25s%25s&type=ftp"},
        {u"%s", u"p", u"%s", u"username=%25s&password=p&type=%25s"},
        {u"u", u"a+b #c%", u"ftp", u"username=u&password=a%2Bb%20%23c%25&type=ftp"},
        {u"j\u00FCrgen", u"p\u00E4\u20AC", u"ftp",
         u"username=j%C3%BCrgen&password=p%C3%A4%E2%82%AC&type=ftp"},
        {u"", u"", u"", u"username=&password=&type="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.query));
        ScriptedExchange exchange({RedirectAnswer(webApp), LogonAnswer(u"0", u"S")});
        ServiceSession session(threeHosts, exchange, exchange);
        EXPECT_EQ(session.ApiLogon(c.user, SecretText(c.password), c.type), LogonOk);
        ASSERT_EQ(exchange.urls.size(), 2u);
        EXPECT_EQ(exchange.urls[1], LogonUrl(c.query));
        EXPECT_EQ(session.LogonUser(), c.user) << "the user name is kept as typed";
    }
}

TEST(ServiceSession, CommandFailureLeavesApiLogon) {
    const CommandFailure failure(12029, u"cannot connect");
    {
        SCOPED_TRACE("during the redirect lookup");
        ScriptedExchange exchange({failure});
        ServiceSession session(threeHosts, exchange, exchange);
        EXPECT_THROW(session.ApiLogon(u"alice", u"pw", u"ftp"), CommandFailure);
        EXPECT_EQ(exchange.urls, std::vector<Text>{RedirectUrl(u"one.example")});
        EXPECT_EQ(session.LogonUser(), u"alice");
        EXPECT_EQ(session.WebAppUrl(), u"");
    }
    {
        SCOPED_TRACE("during the logon exchange");
        ScriptedExchange exchange({RedirectAnswer(webApp), LogonAnswer(u"0", u"S1"), failure});
        ServiceSession session(threeHosts, exchange, exchange);
        ASSERT_EQ(session.ApiLogon(u"alice", u"pw", u"ftp"), LogonOk);
        EXPECT_THROW(session.ApiLogon(u"bob", u"pw", u"ftp"), CommandFailure);
        EXPECT_EQ(session.LogonUser(), u"bob");
        EXPECT_EQ(session.SessionId(), u"S1");
        EXPECT_EQ(session.WebAppUrl(), webApp);
    }
}

TEST(ExchangeTimeLimit, TheTestSettingOnlyShortens) {
    using std::chrono::seconds;
    // The last two once wrapped round when multiplied: to no limit, and to a negative one.
    const std::pair<const char*, std::chrono::milliseconds> cases[] = {
        {nullptr, exchangeTimeLimit},
        {"5", seconds(5)},
        {"120", exchangeTimeLimit},
        {"5s", exchangeTimeLimit},
        {"2305843009213693952", exchangeTimeLimit},
        {"9223372036854775807", exchangeTimeLimit}};
    for (const auto& [setting, expected] : cases)
        EXPECT_EQ(ExchangeTimeLimitFrom(setting), expected) << (setting ? setting : "unset");
}
