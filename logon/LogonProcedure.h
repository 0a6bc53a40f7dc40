#pragma once

#include "app/LaunchMode.h"
#include "common/Text.h"
#include "logon/LogonStore.h"
#include "logon/LogonView.h"
#include "webclient/LogonCall.h"

#include <cstdint>
#include <functional>

// Opens what the launch mode selects, after a successful logon; its outcome is not looked at.
using OpenDestinationFunction =
    std::function<void(LaunchMode launchMode, const Text& user, const SecretText& password)>;

// What the Logon button does: checks the entries, logs on under a wait cursor, reports a
// refused or failed logon and leaves the window open; after a successful one remembers or
// forgets the credentials, opens the destination and closes the window. A refused or
// failed logon never touches the store. A CommandFailure from the logon call passes on
// to the caller after the wait cursor has been switched off.
class LogonProcedure {
public:
    LogonProcedure(LogonView& view, LogonCall& logonCall, LogonStore& store,
                   OpenDestinationFunction openDestination);

    void OnOK(LaunchMode launchMode);

private:
    bool AcceptsEntries(const Text& user, const SecretText& password);
    LogonResult CallLogon(const Text& user, const SecretText& password);

    LogonView& view;
    LogonCall& logonCall;
    LogonStore& store;
    OpenDestinationFunction openDestination;
};

// True when name is the reserved name, compared with only A-Z folded onto a-z.
bool IsReservedUserName(TextView name);
