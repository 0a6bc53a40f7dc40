#pragma once

#include "common/MessageSink.h"
#include "common/Secret.h"
#include "common/Text.h"
#include "common/UserTexts.h"

// What the logon procedure needs of the logon window. Every call returns when it is done:
// the message and the question return when the user has closed the box. Its messages
// (MessageSink::ShowMessage) are the application's message box, owned by the window.
class LogonView : public MessageSink {
public:
    // The window's data exchange in the saving direction: both edit boxes into the members.
    virtual void CopyControlsToMembers() = 0;
    virtual Text UserName() const = 0;
    virtual SecretText Password() const = 0;

    // A Yes/No box without an icon, owned by the window; true when the answer is Yes.
    virtual bool AskYesNo(const Text& text) = 0;
    // An entry of the program's string table (the ids of common/UserTexts.h), in the language
    // in use: both editions read it from the text catalogs.
    virtual Text LoadResourceString(unsigned id) const {
        if (id == UserTexts::logonServerUnavailableId)
            return UserTexts::logonServerUnavailable;
        if (id == UserTexts::logonFailedId)
            return UserTexts::logonFailed;
        return {};
    }

    // The application's nesting wait cursor.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    virtual bool IsRememberChecked() const = 0;

    // The default OK handling: the controls into the members once more, then the end of the
    // modal run with the OK result.
    virtual void CloseWithOk() = 0;
};
