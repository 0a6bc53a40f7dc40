#pragma once

#include "common/Text.h"

#include <cstdint>
#include <exception>

// A failure that the code which met it does not handle: it leaves every caller up to
// the window's command dispatch, which reports it in a stop-icon box and abandons the
// command. Carries the platform's error code and its text (empty when none was found).
class CommandFailure : public std::exception {
public:
    CommandFailure(std::uint32_t code, Text message) : code(code), message(std::move(message)) {}
    const char* what() const noexcept override { return "command failed"; }

    std::uint32_t code;
    Text message;
};
