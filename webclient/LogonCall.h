#pragma once

#include "common/Secret.h"
#include "common/Text.h"

// Results of the logon call, with the numbers the service's clients have always given them.
enum class LogonResult {
    LogonOk = 0,          // status "0": SessionId was set
    LogonNoServer = 1,    // no host gave the web application's address (nothing was sent),
                          // or the answer carried no status (a failed exchange, an error page)
    LogonRefused = 2,     // status "1"
    LogonOtherStatus = 3, // any other status text
};

// The logon call as its users see it. Throws CommandFailure when the exchange cannot open
// its session or connection.
class LogonCall {
public:
    virtual ~LogonCall() = default;
    virtual LogonResult ApiLogon(Text user, SecretText password, Text type) = 0;
};
