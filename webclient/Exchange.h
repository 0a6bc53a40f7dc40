#pragma once

#include "common/Secret.h"
#include "common/Text.h"

// One HTTP POST to the service: the url's query travels as a form body and the response
// body comes back as text, whatever the HTTP status.
//
// A failed exchange that the exchange handles (no connectivity, a failure while opening,
// sending or reading the request, a body too large) has already been reported to the
// user when PostRequest returns, and the result is then empty text: a caller cannot
// tell it from an empty body.
//
// When the internet session or the connection cannot be opened, PostRequest throws
// CommandFailure (common/CommandFailure.h) and reports nothing itself.
//
// The url of a logon carries the password and its answer the session id, so every copy the
// exchange makes of either is a secret.
class Exchange {
public:
    virtual ~Exchange() = default;
    virtual SecretText PostRequest(TextView url) = 0;
};
