#include "logon/SavedLogonStore.h"

void SavedLogonStore::SaveLogonInfo(const Text& user, const SecretText& password) {
    if (!CanStoreInLogonFile(user) || !CanStoreInLogonFile(password)) {
        ForgetLogonInfo();
        return;
    }
    ReplaceBytes(EncodeLogonFile(user, password, clock.SecondsSince1970()));
}

void SavedLogonStore::ForgetLogonInfo() {
    ZeroInPlace(&LogonFileWipes);
}

LogonInfo SavedLogonStore::LoadLogonInfo() const {
    return DecodeLogonFile(ReadBytes()).value_or(LogonInfo{});
}
