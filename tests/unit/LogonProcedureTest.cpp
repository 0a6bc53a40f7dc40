#include "logon/LogonProcedure.h"

#include "common/CommandFailure.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using enum LogonResult;

using Events = std::vector<std::string>;

std::string Narrow(TextView text) {
    return ToUtf8(text);
}

// One log for every fake, so that the order of calls across them is checked.
class FakeLogon final : public LogonView, public LogonCall, public LogonStore {
public:
    // The view.
    void CopyControlsToMembers() override { events.push_back("copy"); }
    Text UserName() const override { return user; }
    SecretText Password() const override { return SecretText(password); }
    void ShowMessage(const Text& text) override { events.push_back("message " + Narrow(text)); }
    bool AskYesNo(const Text& text) override {
        events.push_back("ask " + Narrow(text));
        return answerYes;
    }
    Text LoadResourceString(unsigned id) const override {
        return u"string " + Widen(std::to_string(id));
    }
    void BeginWaitCursor() override { events.push_back("wait on"); }
    void EndWaitCursor() override { events.push_back("wait off"); }
    bool IsRememberChecked() const override { return remember; }
    void CloseWithOk() override { events.push_back("close"); }

    // The logon call.
    LogonResult ApiLogon(Text u, SecretText p, Text type) override {
        events.push_back("logon " + Narrow(u) + "|" + Narrow(p) + "|" + Narrow(type));
        if (throws)
            throw CommandFailure(12029, u"no connection");
        return result;
    }

    // The store.
    void EnsureFolder() override { events.push_back("folder"); }
    void SaveLogonInfo(const Text& u, const SecretText& p) override {
        events.push_back("save " + Narrow(u) + "|" + Narrow(p));
    }
    void ForgetLogonInfo() override { events.push_back("forget"); }
    LogonInfo LoadLogonInfo() const override { return {}; }

    Events Run(std::int32_t launchMode = -48) {
        LogonProcedure procedure(*this, *this, *this,
                                 [this](LaunchMode mode, const Text& u, const SecretText& p) {
                                     events.push_back("open " + std::to_string(mode.Value()) + " " +
                                                      Narrow(u) + "|" + Narrow(p));
                                 });
        procedure.OnOK(launchMode);
        return events;
    }

    Text user;
    Text password;
    bool answerYes = true;
    bool remember = false;
    LogonResult result = LogonOk;
    bool throws = false;
    Events events;
};

const std::string reservedMessage = "message Please enter a valid username (with published "
                                    "folders) and blank password for annonymous logon.";
const std::string nothingEnteredMessage =
    "message Please enter your username and password to logon. \n\nTo log on annonymously, "
    "enter a username (with published folders) and blank password.\n\nIf you received an "
    "invitation email, please enter ShareUserName\\ShareName \n(e.g.: \"john\\john's share\") "
    "as the username and SharePassword as the password.";
const std::string question = "ask Password is empty, do you want to logon annonymously?";

} // namespace

TEST(LogonProcedure, FollowsTheDecisionTable) {
    struct Case {
        const char* what;
        Text user;
        Text password;
        bool answerYes;
        bool remember;
        LogonResult result;
        Events expected;
    };
    const Case cases[] = {
        {"reserved name", u"annonymous", u"pw", true, true, LogonOk, {"copy", reservedMessage}},
        {"reserved name in capitals",
         u"ANNONYMOUS",
         u"",
         true,
         true,
         LogonOk,
         {"copy", reservedMessage}},
        {"reserved name mixed case",
         u"Annonymous",
         u"",
         true,
         true,
         LogonOk,
         {"copy", reservedMessage}},
        {"nothing entered", u"", u"", true, true, LogonOk, {"copy", nothingEnteredMessage}},
        {"empty password, No", u"john", u"", false, true, LogonOk, {"copy", question}},
        {"empty password, Yes",
         u"john",
         u"",
         true,
         false,
         LogonOk,
         {"copy", question, "wait on", "logon john||ftp", "wait off", "folder", "forget",
          "open -48 john|", "close"}},
        {"no server",
         u"john",
         u"pw",
         true,
         true,
         LogonNoServer,
         {"copy", "wait on", "logon john|pw|ftp", "wait off", "message string 129"}},
        {"refused",
         u"john",
         u"pw",
         true,
         true,
         LogonRefused,
         {"copy", "wait on", "logon john|pw|ftp", "wait off", "message string 130"}},
        {"ok, remembered",
         u"john",
         u"pw",
         true,
         true,
         LogonOk,
         {"copy", "wait on", "logon john|pw|ftp", "wait off", "folder", "save john|pw",
          "open -48 john|pw", "close"}},
        {"other status counts as success",
         u"john",
         u"pw",
         true,
         false,
         LogonOtherStatus,
         {"copy", "wait on", "logon john|pw|ftp", "wait off", "folder", "forget",
          "open -48 john|pw", "close"}},
        {"unknown code counts as success",
         u"john",
         u"pw",
         true,
         true,
         static_cast<LogonResult>(42),
         {"copy", "wait on", "logon john|pw|ftp", "wait off", "folder", "save john|pw",
          "open -48 john|pw", "close"}},
        {"empty user name, password given",
         u"",
         u"pw",
         false,
         true,
         LogonOk,
         {"copy", "wait on", "logon |pw|ftp", "wait off", "folder", "save |pw", "open -48 |pw",
          "close"}},
        {"single n is not reserved",
         u"anonymous",
         u"pw",
         true,
         false,
         LogonOk,
         {"copy", "wait on", "logon anonymous|pw|ftp", "wait off", "folder", "forget",
          "open -48 anonymous|pw", "close"}},
        {"blanks are kept",
         u" annonymous ",
         u"  ",
         true,
         false,
         LogonOk,
         {"copy", "wait on", "logon  annonymous |  |ftp", "wait off", "folder", "forget",
          "open -48  annonymous |  ", "close"}},
        {"only ASCII letters fold",
         u"\u0130nnonymous",
         u"pw",
         true,
         false,
         LogonRefused,
         {"copy", "wait on", "logon \u0130nnonymous|pw|ftp", "wait off", "message string 130"}},
    };
    for (const Case& test : cases) {
        FakeLogon fake;
        fake.user = test.user;
        fake.password = test.password;
        fake.answerYes = test.answerYes;
        fake.remember = test.remember;
        fake.result = test.result;
        EXPECT_EQ(fake.Run(), test.expected) << test.what;
    }
}

TEST(LogonProcedure, AFailureOfTheCallSwitchesTheWaitCursorOffAndPassesOn) {
    FakeLogon fake;
    fake.user = u"john";
    fake.password = u"pw";
    fake.remember = true;
    fake.throws = true;
    try {
        fake.Run();
        FAIL() << "the failure did not pass on";
    } catch (const CommandFailure& failure) {
        EXPECT_EQ(failure.code, 12029u);
    }
    EXPECT_EQ(fake.events, (Events{"copy", "wait on", "logon john|pw|ftp", "wait off"}));
}
