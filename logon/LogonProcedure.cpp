#include "logon/LogonProcedure.h"

#include "res/resource.h"

#include <utility>

namespace {

constexpr char16_t reservedUserName[] = u"annonymous";

constexpr char16_t reservedNameMessage[] =
    u"Please enter a valid username (with published folders) "
    u"and blank password for annonymous logon.";

// Three texts joined with nothing between them.
Text NothingEnteredMessage() {
    return Text(u"Please enter your username and password to logon. \n\nTo log on annonymously, "
                u"enter ") +
           u"a username (with published folders) and blank password.\n\n" +
           u"If you received an invitation email, please enter ShareUserName\\ShareName \n(e.g.: " +
           u"\"john\\john's share\") as the username and SharePassword as the password.";
}

constexpr char16_t emptyPasswordQuestion[] =
    u"Password is empty, do you want to logon annonymously?";

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

void LogonProcedure::OnOK(std::int32_t launchMode) {
    view.CopyControlsToMembers();
    Text user = view.UserName();
    const SecretText password = view.Password();
    if (!AcceptsEntries(user, password))
        return;

    switch (CallLogon(user, password)) {
    case LogonNoServer:
        view.ShowMessage(view.LoadResourceString(IDS_LOGON_SERVER_UNAVAILABLE));
        return;
    case LogonRefused:
        view.ShowMessage(view.LoadResourceString(IDS_LOGON_FAILED));
        return;
    default:
        break; // LogonOk, LogonOtherStatus and any other value count as success.
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
        view.ShowMessage(reservedNameMessage);
        return false;
    }
    if (user.empty() && password.empty()) {
        view.ShowMessage(NothingEnteredMessage());
        return false;
    }
    if (password.empty())
        return view.AskYesNo(emptyPasswordQuestion);
    return true;
}

int LogonProcedure::CallLogon(const Text& user, const SecretText& password) {
    WaitCursor waitCursor(view);
    return logonCall.ApiLogon(user, password, clientType);
}
