#include "webclient/Url.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct HostAndPathCase {
    Text url;
    Text host;
    Text path;
};

struct EncodeCase {
    Text value;
    Text encoded;
};

struct ConnectCase {
    Text url;
    Text hostName;
    std::uint16_t port;
    bool secure;
};

} // namespace

TEST(Url, HostAndPathDropOnlyALowerCaseSchemeAtTheStart) {
    const std::vector<HostAndPathCase> cases = {
        {u"http://svc.example/api/Redirect.aspx", u"svc.example", u"/api/Redirect.aspx"},
        {u"https://svc.example/base/x?y=1", u"svc.example", u"/base/x?y=1"},
        {u"http:///api/Redirect.aspx", u"/api/Redirect.aspx", u""},
        {u"http://host:8080/p", u"host:8080", u"/p"},
        {u"http://user@host/p", u"user@host", u"/p"},
        {u"http://host?x=1", u"host?x=1", u""},
        {u"http://host", u"host", u""},
        {u"https://", u"", u""},
        {u"", u"", u""},
        {u"HTTP://host/p", u"HTTP:", u"//host/p"},
        {u"xhttp://host/p", u"xhttp:", u"//host/p"},
        {u"http://a/http://b/c", u"a", u"/http://b/c"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.url));
        EXPECT_EQ(HostFromUrl(c.url), c.host);
        EXPECT_EQ(PathFromUrl(c.url), c.path);
    }
}

TEST(Url, UrlEncodeEscapesTheTableOnlyAndNeverEscapesAnEscape) {
    const std::vector<EncodeCase> cases = {
        {u"", u""},
        {u"/ads/ViewShoppingCart.aspx?productID=10015&quantity=1",
         u"%2Fads%2FViewShoppingCart.aspx?productID%3D10015%26quantity%3D1"},
        {u"100% sure & done", u"100%25%20sure%20%26%20done"},
        {u"%%", u"%25%25"},
        {u" \"^&$#@!()[]{}'=/\\", u"%20%22%5E%26%24%23%40%21%28%29%5B%5D%7B%7D%27%3D%2F%5C"},
        {u"a+b,c;d:e?f<g>h|i`j-k_l.m~n", u"a+b,c;d:e?f<g>h|i`j-k_l.m~n"},
        {u"\u00E9\u20AC\t", u"\u00E9\u20AC\t"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.value));
        Text value = c.value;
        EXPECT_EQ(UrlEncode(value), c.encoded);
        EXPECT_EQ(value, c.encoded) << "the value is encoded in place";
    }
}

TEST(Url, CacheBustingPairLooksForAQuestionMarkInTheWholeUrl) {
    EXPECT_EQ(CacheBustingPair(u"http://h/api/Redirect.aspx", 0), u"?rand=0");
    EXPECT_EQ(CacheBustingPair(u"http://h/x?a=1", 32767), u"&rand=32767");
    EXPECT_EQ(CacheBustingPair(u"http://h?", 5), u"&rand=5");
    EXPECT_EQ(CacheBustingPair(u"", 42), u"?rand=42");
}

TEST(Url, SplitRequestCutsAtTheFirstQuestionMark) {
    RequestSplit redirect = SplitRequest(u"/api/Redirect.aspx?rand=5");
    EXPECT_EQ(redirect.object, u"/api/Redirect.aspx");
    EXPECT_EQ(redirect.form, Text(u"rand=5"));

    RequestSplit noPath = SplitRequest(u"?rand=1");
    EXPECT_EQ(noPath.object, u"");
    EXPECT_EQ(noPath.form, Text(u"rand=1"));

    RequestSplit twice = SplitRequest(u"/a?b?c");
    EXPECT_EQ(twice.object, u"/a");
    EXPECT_EQ(twice.form, Text(u"b?c"));

    RequestSplit emptyForm = SplitRequest(u"/a?");
    EXPECT_EQ(emptyForm.form, Text(u""));

    EXPECT_EQ(SplitRequest(u"/a").form, std::nullopt);
    EXPECT_EQ(SplitRequest(u"").form, std::nullopt);
}

TEST(Url, LogonAddressUnderAPathPrefixSplitsIntoObjectAndForm) {
    const Text url = u"http://web.example/prefix/api/secure/ApiLogon.aspx?username=u&password=p&"
                     u"type=ftp";
    EXPECT_EQ(HostFromUrl(url), u"web.example");
    const Text path = Text(PathFromUrl(url)) + CacheBustingPair(url, 7);
    RequestSplit split = SplitRequest(path);
    EXPECT_EQ(split.object, u"/prefix/api/secure/ApiLogon.aspx");
    EXPECT_EQ(split.form, Text(u"username=u&password=p&type=ftp&rand=7"));
}

TEST(Url, FormEncodeKeepsOnlyUnreservedBytes) {
    const std::vector<EncodeCase> cases = {
        {u"", u""},
        {u"Alice2024", u"Alice2024"},
        {u"-._~", u"-._~"},
        {u"a&b=c+d", u"a%26b%3Dc%2Bd"},
        {u"%s#", u"%25s%23"},
        {u"two words", u"two%20words"},
        {u"/?'`", u"%2F%3F%27%60"},
        {u"\u00E9\u20AC\U0001F600", u"%C3%A9%E2%82%AC%F0%9F%98%80"},
        {Text(1, char16_t(0xD800)), u"%EF%BF%BD"},
        {Text(u"\0\x7F", 2), u"%00%7F"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.value));
        EXPECT_EQ(FormEncode(c.value), c.encoded);
    }
}

TEST(Url, ConnectTargetSplitsOnlyAValidPortAndDefaultsByScheme) {
    const std::vector<ConnectCase> cases = {
        {u"http://svc.example/api/Redirect.aspx", u"svc.example", 80, false},
        {u"https://svc.example/base", u"svc.example", 443, true},
        {u"http://host:8080/p", u"host", 8080, false},
        {u"https://host:8443", u"host", 8443, true},
        {u"http://host:1/p", u"host", 1, false},
        {u"http://host:65535/p", u"host", 65535, false},
        {u"http://host:/p", u"host:", 80, false},
        {u"http://host:99999/p", u"host:99999", 80, false},
        {u"http://host:65536/p", u"host:65536", 80, false},
        {u"http://host:0/p", u"host:0", 80, false},
        {u"http://host:123456/p", u"host:123456", 80, false},
        {u"http://host:abc/p", u"host:abc", 80, false},
        {u"http://host:80a/p", u"host:80a", 80, false},
        {u"HTTPS://host/p", u"HTTPS:", 80, false},
        {u"http:///api/Redirect.aspx", u"/api/Redirect.aspx", 80, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.url));
        ConnectTarget target = ConnectTargetFromUrl(c.url);
        EXPECT_EQ(target.hostName, c.hostName);
        EXPECT_EQ(target.port, c.port);
        EXPECT_EQ(target.secure, c.secure);
    }
}
