#pragma once

#include "common/Secret.h"
#include "common/Text.h"
#include "framework/win/Handles.h"
#include "webclient/win/WinInetApi.h"

#include <windows.h>

#include <exception>
#include <memory>
#include <optional>

// One POST as a worker thread runs it over WinInet: everything the worker needs, held by value,
// and the one result it gives back. The window's thread and the worker share it, and whichever
// lets go last frees it, so that a worker still blocked when the window stopped waiting has
// all it touches. The window's thread reads the results only once finished is signalled.
struct WinInetJob {
    WinInetApi api;
    Text hostName;
    INTERNET_PORT port = 0;
    bool secure = false;
    Text object;
    std::optional<SecretText> form;
    // The tick count at which the answer's reading stops as timed out.
    ULONGLONG deadline = 0;
    // The session kept from an earlier failed exchange, or none; after the exchange, the
    // session it used, for the next exchange to reuse.
    UniqueInternet session;

    // The answer's bytes, count of them and a NUL after them; or the text of a handled
    // failure; or an exception for the window's thread to throw on.
    SecretBytes answer;
    DWORD answerBytes = 0;
    std::optional<Text> failure;
    std::exception_ptr thrown;
    UniqueKernelObject finished{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

// Runs the job on a worker thread that nobody waits for, kept for the jobs after it; finished
// is signalled when the job ends. Throws CommandFailure when no event or thread could be had.
void StartWinInetJob(std::shared_ptr<WinInetJob> job);

// Starts the worker thread ahead of the first job, unless one is there: under Wine a thread
// takes milliseconds to start. A failure is left for the first job to meet.
void PrepareWinInetWorker() noexcept;
