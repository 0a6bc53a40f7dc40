#include "logon/LogonProcedure.h"

#include "common/UserTexts.h"

#include <utility>

namespace {

constexpr char16_t reservedUserName[] = u"annonymous";

constexpr char16_t clientType[] = u"ftp";

char16_t FoldAsciiLetter(char16_t c) {
    return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c;
}

// Keeps the wait cursor on for its lifetime, so that it also goes off when the call throws.
class WaitCursor {
public:
    explicit WaitCursor(LogonView& view) : view(view) { view.BeginWaitCursor(); }
    ~WaitCursor() { view.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    LogonView& view;
};

} // namespace

bool IsReservedUserName(TextView name) {
    TextView reserved = reservedUserName;
    if (name.size() != reserved.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (FoldAsciiLetter(name[i]) != reserved[i])
            return false;
    }
    return true;
}

LogonProcedure::LogonProcedure(LogonView& view, LogonCall& logonCall, LogonStore& store,
                               OpenDestinationFunction openDestination)
    : view(view), logonCall(logonCall), store(store), openDestination(std::move(openDestination)) {}

void LogonProcedure::OnOK(LaunchMode launchMode) {
    view.CopyControlsToMembers();
    Text user = view.UserName();
    const SecretText password = view.Password();
    if (!AcceptsEntries(user, password))
        return;

    switch (CallLogon(user, password)) {
    case LogonResult::LogonNoServer:
        view.ShowMessage(view.LoadResourceString(UserTexts::logonServerUnavailableId));
        return;
    case LogonResult::LogonRefused:
        view.ShowMessage(view.LoadResourceString(UserTexts::logonFailedId));
        return;
    case LogonResult::LogonOk:
    case LogonResult::LogonOtherStatus:
        break; // both count as success
    }

    store.EnsureFolder();
    if (view.IsRememberChecked())
        store.SaveLogonInfo(user, password);
    else
        store.ForgetLogonInfo();
    if (openDestination)
        openDestination(launchMode, user, password);
    view.CloseWithOk();
}

bool LogonProcedure::AcceptsEntries(const Text& user, const SecretText& password) {
    if (IsReservedUserName(user)) {
        view.ShowMessage(UserTexts::reservedUserName);
        return false;
    }
    if (user.empty() && password.empty()) {
        view.ShowMessage(UserTexts::nothingEntered);
        return false;
    }
    if (password.empty())
        return view.AskYesNo(UserTexts::emptyPassword);
    return true;
}

LogonResult LogonProcedure::CallLogon(const Text& user, const SecretText& password) {
    WaitCursor waitCursor(view);
    return logonCall.ApiLogon(user, password, clientType);
}
