#pragma once

#include "common/Text.h"

#include <cstdint>

// The arguments text as the start-up code hands it over: the command line less the
// program's own name (up to and including the closing quotation mark when the line
// begins with one, otherwise up to the first character of code 32 or less) and less the
// characters of code 1 to 32 that follow it.
Text ArgumentsText(TextView commandLine);

// A page of the web application that a launch mode opens through the automatic-logon page.
struct WebPageMode {
    char16_t argument; // the first non-blank character of the arguments that selects it
    TextView page;     // the page under the web application's address
    bool pageEncoded;  // whether the page goes into the automatic-logon address encoded
};

// The modes that open a web page, one row each; every other mode opens the file manager on
// the storage's ftp:// location.
inline constexpr WebPageMode webPageModes[] = {
    {u'2', u"/file/ShowFolder.aspx", false},
    {u'3', u"/secure/AccountBalance.aspx", false},
    {u'4', u"/ads/ViewShoppingCart.aspx?productID=10015&quantity=1", true},
};

// Where a successful logon leads: the first UTF-16 unit of the arguments after leading
// blanks and tabs, minus the code of the digit zero, as a number; -48 for an empty or
// all-blank arguments text. Made from that number wherever one is at hand.
class LaunchMode {
public:
    constexpr LaunchMode(std::int32_t value = 0) : value(value) {}
    constexpr std::int32_t Value() const { return value; }

    // The row of the web page this mode opens; null for the file manager.
    const WebPageMode* WebPage() const;
    bool OpensWebPage() const { return WebPage() != nullptr; }

private:
    std::int32_t value;
};

LaunchMode LaunchModeFromArguments(TextView arguments);
