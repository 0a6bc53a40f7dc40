#pragma once

#include "common/Text.h"
#include "common/UserTexts.h"
#include "common/WaitCancelled.h"

#include <cstdint>
#include <exception>
#include <optional>

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

// The command dispatch of either window: runs the command and, when it throws, gives the text
// of the stop box that reports it; the command is abandoned. A CommandFailure brings its own
// text, or noText when it has none; a WaitCancelled passes on, for the dispatch to close the
// window as Cancel does; anything else is an internal error.
template <typename Command>
std::optional<Text> RunCatchingFailure(Command&& command,
                                       TextView noText = UserTexts::internalError) {
    try {
        command();
        return std::nullopt;
    } catch (const CommandFailure& failure) {
        return !failure.message.empty() ? failure.message : Text(noText);
    } catch (const WaitCancelled&) {
        throw;
    } catch (...) {
        return Text(UserTexts::internalError);
    }
}
