#include "controls/win/IconButtonStates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Answers as told and logs every call; PassOn also logs the flags the button holds at that
// moment, since the control's own draw requests run in there.
class RecordingHost : public IconButtonHost {
public:
    std::intptr_t PassOn() override {
        log.push_back(std::string("pass on (hovering ") + (states->Hovering() ? "1" : "0") +
                      ", mouseDown " + (states->MouseDown() ? "1" : "0") + ")");
        return passOnResult;
    }
    void SendPressToSelf() override { log.push_back("press self"); }
    bool HoldsCapture() override { return capture; }
    void ReleaseCapture() override {
        log.push_back("release capture");
        capture = false;
    }
    bool IsOverButton(CanvasPoint) override { return pointOver; }
    std::optional<bool> IsCursorOverButton() override { return cursorOver; }
    bool IsPushed() override { return pushed; }
    void SetPushed(bool value) override {
        log.push_back(value ? "set pushed" : "clear pushed");
        pushed = value;
    }
    bool RequestLeaveNotification() override {
        log.push_back("request leave");
        return acceptTracking;
    }
    bool WithdrawLeaveNotification() override {
        log.push_back("withdraw leave");
        return acceptTracking;
    }
    void Repaint() override { log.push_back("repaint"); }

    const IconButtonStates* states = nullptr;
    std::vector<std::string> log;
    std::intptr_t passOnResult = 0;
    bool capture = false, pointOver = false, pushed = false, acceptTracking = true;
    std::optional<bool> cursorOver = false;
};

class IconButtonStatesTest : public testing::Test {
protected:
    IconButtonStatesTest() { host.states = &states; }
    std::vector<std::string> TakeLog() { return std::exchange(host.log, {}); }
    void MakeHot() {
        states.OnMouseMove({10, 10});
        host.log.clear();
    }
    void Press() {
        states.OnLButtonDown();
        host.capture = true;
        host.pushed = true;
        host.log.clear();
    }

    RecordingHost host;
    IconButtonStates states{host};
};

using Log = std::vector<std::string>;

TEST_F(IconButtonStatesTest, FirstMoveRequestsTheLeaveNotificationThenLaterMovesOnlyPassOn) {
    host.passOnResult = 7;
    EXPECT_EQ(states.OnMouseMove({1, 1}), 7);
    EXPECT_TRUE(states.Hovering());
    EXPECT_EQ(TakeLog(), (Log{"request leave", "repaint", "pass on (hovering 1, mouseDown 0)"}));
    states.OnMouseMove({2, 2});
    EXPECT_EQ(TakeLog(), (Log{"pass on (hovering 1, mouseDown 0)"}));
}

TEST_F(IconButtonStatesTest, RefusedLeaveRequestStaysIdleAndTheNextMoveAsksAgain) {
    host.acceptTracking = false;
    states.OnMouseMove({1, 1});
    states.OnMouseMove({1, 1});
    EXPECT_FALSE(states.Hovering());
    EXPECT_EQ(TakeLog(), (Log{"request leave", "pass on (hovering 0, mouseDown 0)", "request leave",
                              "pass on (hovering 0, mouseDown 0)"}));
}

TEST_F(IconButtonStatesTest, LeaveReturnsToIdleWithoutPassingOn) {
    MakeHot();
    EXPECT_EQ(states.OnMouseLeave(), 0);
    EXPECT_FALSE(states.Hovering());
    EXPECT_EQ(TakeLog(), (Log{"repaint"}));
}

TEST_F(IconButtonStatesTest, PressWithdrawsHoverBeforePassingOnAndNotesTheMouseAfter) {
    MakeHot();
    states.OnLButtonDown();
    EXPECT_TRUE(states.MouseDown());
    EXPECT_FALSE(states.Hovering());
    EXPECT_EQ(TakeLog(), (Log{"withdraw leave", "pass on (hovering 0, mouseDown 0)"}));
}

TEST_F(IconButtonStatesTest, RefusedWithdrawalKeepsHovering) {
    MakeHot();
    host.acceptTracking = false;
    states.OnLButtonDown();
    EXPECT_TRUE(states.Hovering());
    EXPECT_EQ(TakeLog(), (Log{"withdraw leave", "pass on (hovering 1, mouseDown 0)"}));
}

TEST_F(IconButtonStatesTest, ReleaseClearsTheMouseBeforePassingOn) {
    Press();
    host.passOnResult = 3;
    EXPECT_EQ(states.OnLButtonUp(), 3);
    EXPECT_EQ(TakeLog(), (Log{"pass on (hovering 0, mouseDown 0)"}));
}

TEST_F(IconButtonStatesTest, DraggingOffAndBackPopsAndPressesTheButton) {
    Press();
    host.pointOver = false;
    states.OnMouseMove({-5, 3});
    EXPECT_FALSE(host.pushed);
    host.pointOver = true;
    states.OnMouseMove({5, 3});
    states.OnMouseMove({6, 3});
    EXPECT_EQ(TakeLog(), (Log{"clear pushed", "repaint", "pass on (hovering 0, mouseDown 1)",
                              "set pushed", "repaint", "pass on (hovering 0, mouseDown 1)",
                              "pass on (hovering 0, mouseDown 1)"}));
    EXPECT_FALSE(states.Hovering());
}

TEST_F(IconButtonStatesTest, MouseDownWithoutTheCaptureMovesAsIdle) {
    Press();
    host.capture = false;
    states.OnMouseMove({5, 3});
    EXPECT_TRUE(states.Hovering());
    EXPECT_EQ(TakeLog(), (Log{"request leave", "repaint", "pass on (hovering 1, mouseDown 1)"}));
    EXPECT_TRUE(states.SyncPushedBeforeDraw());
}

TEST_F(IconButtonStatesTest, DoubleClickIsSentAsASecondPress) {
    EXPECT_EQ(states.OnLButtonDblClk(), 0);
    EXPECT_EQ(TakeLog(), (Log{"press self"}));
}

TEST_F(IconButtonStatesTest, FocusLossReleasesOnlyItsOwnCapture) {
    Press();
    states.OnKillFocus();
    EXPECT_FALSE(states.MouseDown());
    EXPECT_EQ(TakeLog(), (Log{"release capture", "pass on (hovering 0, mouseDown 0)"}));

    Press();
    host.capture = false;
    states.OnKillFocus();
    EXPECT_TRUE(states.MouseDown());
    EXPECT_EQ(TakeLog(), (Log{"pass on (hovering 0, mouseDown 1)"}));
}

TEST_F(IconButtonStatesTest, NoEraseAndNoCheckState) {
    EXPECT_EQ(states.OnEraseBackground(), 1);
    EXPECT_EQ(states.OnSetCheck(), 0);
    EXPECT_EQ(states.OnGetCheck(), 0);
    EXPECT_EQ(states.OnClearCheck(), 0);
    EXPECT_EQ(TakeLog(), (Log{"repaint"}));
}

TEST_F(IconButtonStatesTest, DrawSyncBringsThePushedStateInStepWithTheCursor) {
    struct Case {
        bool mouseDown, capture;
        std::optional<bool> cursorOver;
        bool pushed;
        bool paints;
        Log log;
    };
    for (const Case& c : {
             Case{true, true, true, false, false, {"set pushed"}},
             Case{true, true, false, true, false, {"clear pushed"}},
             Case{true, true, true, true, true, {}}, Case{true, true, false, false, true, {}},
             Case{true, true, std::nullopt, true, true, {}}, // cursor unreadable: no sync
             Case{true, false, false, true, true, {}},       // capture went elsewhere
             Case{false, true, false, true, true, {}},       // space-bar press
         }) {
        RecordingHost caseHost;
        IconButtonStates caseStates(caseHost);
        caseHost.states = &caseStates;
        if (c.mouseDown)
            caseStates.OnLButtonDown();
        caseHost.log.clear();
        caseHost.capture = c.capture;
        caseHost.cursorOver = c.cursorOver;
        caseHost.pushed = c.pushed;
        EXPECT_EQ(caseStates.SyncPushedBeforeDraw(), c.paints);
        EXPECT_EQ(caseHost.log, c.log);
    }
}

} // namespace
