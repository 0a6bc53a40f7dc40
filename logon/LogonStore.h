#pragma once

#include "common/Secret.h"
#include "common/Text.h"
#include "logon/LogonFileCodec.h"

// Where a successful logon leaves the credentials for the next start. None of the operations
// reports a failure: a folder or file that cannot be made, opened or written is passed over.
class LogonStore {
public:
    virtual ~LogonStore() = default;

    // Makes sure the program's folder exists, so that a later save can create its file.
    virtual void EnsureFolder() = 0;

    // Arms the store with these credentials for the next start.
    virtual void SaveLogonInfo(const Text& user, const SecretText& password) = 0;

    // Disarms a stored logon so that the next start restores nothing; creates nothing.
    virtual void ForgetLogonInfo() = 0;

    // The credentials the store is armed with, else two empty texts.
    virtual LogonInfo LoadLogonInfo() const = 0;
};
