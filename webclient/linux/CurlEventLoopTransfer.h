#pragma once

#include "common/linux/EventLoopWait.h"

#include <curl/curl.h>

#include <chrono>

// How a transfer on Qt's event loop ended: the wait's end, and libcurl's result when Done.
struct TransferEnd {
    WaitEnd wait = WaitEnd::Done;
    CURLcode result = CURLE_OK;
};

// Runs the set-up transfer through libcurl's multi interface on Qt's event loop (its sockets
// watched by socket notifiers, its timer a Qt timer) inside WaitRunningEvents, so that the
// window keeps painting and Cancel ends the wait. When the wait ends first (at limit, or
// cancelled), the transfer is abandoned and its connection closed before this returns. Needs
// the application object; without one the transfer fails as one that could not be set up.
TransferEnd RunOnEventLoop(CURL* transfer, std::chrono::milliseconds limit);
