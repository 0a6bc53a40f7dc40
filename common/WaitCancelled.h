#pragma once

#include <exception>

// The user ended a wait (an exchange, a mount, a call to a desktop service, the opener's watch)
// with Cancel: the button, Escape or the window's close. It leaves every caller up to the
// window's command dispatch, which then does what Cancel does: the window closes and nothing
// after the wait runs, so nothing more is saved, opened or handed over.
class WaitCancelled final : public std::exception {
public:
    const char* what() const noexcept override { return "wait cancelled"; }
};
