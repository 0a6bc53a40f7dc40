#pragma once

#include "common/Text.h"

// Where a failure is reported to the user. The real sink is the application's message
// box: modal, OK button, exclamation icon, the program's name as caption. It returns
// when the user has closed the box.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const Text& text) = 0;
};
