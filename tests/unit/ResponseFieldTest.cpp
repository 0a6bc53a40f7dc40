#include "webclient/ResponseField.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FieldCase {
    Text response;
    Text name;
    Text value;
};

} // namespace

TEST(ResponseField, ReadsTheValueAfterOneSeparatorUpToTheFirstEndMarker) {
    const Text status = u"RETURN_STATUS";
    const std::vector<FieldCase> cases = {
        {u"<p>RETURN_STATUS=0</p>", status, u"0"},
        {u"<P>RETURN_STATUS:1</P>", status, u"1"},
        {u"RETURN_STATUS=1</P>...</p>", status, u"1"},
        {u"RETURN_STATUS=1</p>...</P>", status, u"1"},
        {u"<p>RETURN_STATUS= 0 </p>", status, u" 0 "},
        {u"<p>RETURN_STATUS=0", status, u""},
        {u"<p>return_status=0</p>", status, u""},
        {u"<p>RETURN_STATUS=0</p><p>RETURN_STATUS=1</p>", status, u"0"},
        {u"<p>RETURN_STATUSX=1</p>", status, u"=1"},
        {u"<p>RETURN_STATUS</p><p>RETURN_SESSIONID=abc</p>", status, u"/p><p>RETURN_SESSIONID=abc"},
        {u"RETURN_STATUS", status, u""},
        {u"RETURN_STATUS=", status, u""},
        {u"RETURN_STATUS=</p>", status, u""},
        {u"", status, u""},
        {u"<html><body>\r\n<p>RETURN_SESSIONID=s1</p>\r\n<p>RETURN_STATUS=0</p></body>", status,
         u"0"},
        {u"<p>RETURN_WEBAPPURL=\r\nhttp://w\r\n</p>", u"RETURN_WEBAPPURL", u"\r\nhttp://w\r\n"},
        {u"<p>RETURN_SESSIONID=a&amp;%20b</p>", u"RETURN_SESSIONID", u"a&amp;%20b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.response));
        EXPECT_EQ(GetResponseField(c.response, c.name), c.value);
    }
}

TEST(ResponseField, SearchesTheNameFromTheStartPosition) {
    const Text response = u"<p>RETURN_STATUS=0</p><p>RETURN_STATUS=1</p>";
    EXPECT_EQ(GetResponseField(response, u"RETURN_STATUS", 3), u"0");
    EXPECT_EQ(GetResponseField(response, u"RETURN_STATUS", 4), u"1");
    EXPECT_EQ(GetResponseField(response, u"RETURN_STATUS", response.size()), u"");
    EXPECT_EQ(GetResponseField(response, u"RETURN_STATUS", response.size() + 10), u"");
}
