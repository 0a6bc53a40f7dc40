// The framework's modal dialog, run from a test template under Wine: a failure in
// OnInitDialog is shown in the stop-icon box, and the window still closes.
#include "framework/win/Dialog.h"
#include "common/CommandFailure.h"
#include "framework/win/WideText.h"
#include "framework/win/WinApp.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>

namespace {

constexpr UINT testDialogId = 300;
constexpr UINT giveUpMessage = WM_APP + 1;
constexpr INT_PTR gaveUp = -2;

class ThrowingDialog final : public CDialog {
public:
    explicit ThrowingDialog(std::function<void()> fail)
        : CDialog(testDialogId), fail(std::move(fail)) {}

    std::atomic<HWND> opened{nullptr};

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        opened = Handle();
        fail();
        return TRUE;
    }
    // Ends a dialog that no longer answers its commands, so a failing test does not hang.
    bool OnMessage(UINT message, WPARAM, LPARAM, INT_PTR&) override {
        if (message != giveUpMessage)
            return false;
        EndDialog(gaveUp);
        return true;
    }

private:
    std::function<void()> fail;
};

// Polls for about five seconds until found() is true.
template <class Found> bool WaitFor(Found found) {
    for (int tries = 0; tries < 100; ++tries, Sleep(50))
        if (found())
            return true;
    return false;
}

// Through the modal loop's IsDialogMessage, as a key press in the focused control arrives.
void PressEsc(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    PostMessageW(info.hwndFocus ? info.hwndFocus : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
}

} // namespace

TEST(DialogTest, AFailedInitialisationIsShownAndTheWindowStillCloses) {
    CWinApp app; // captions the box with the test exe's name
    struct Case {
        const char* what;
        std::function<void()> fail;
        Text shown;
        void (*close)(HWND);
    };
    const Case cases[] = {
        {"failure without text, Cancel button", [] { throw CommandFailure(5, u""); },
         u"Internal application error.",
         [](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); }},
        {"failure with text, Esc", [] { throw CommandFailure(5, u"Access is denied."); },
         u"Access is denied.", PressEsc},
        {"other exception, close box", [] { throw std::runtime_error("broken"); },
         u"Internal application error.",
         [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    // The box is the only window captioned with the test exe's name.
    const auto findBox = [&app] { return FindWindowW(L"#32770", Wide(app.AppName())); };
    for (const Case& test : cases) {
        ThrowingDialog dialog(test.fail);
        Text boxText;
        bool stopIcon = false, closed = false;
        std::thread user([&] {
            HWND box = nullptr;
            if (WaitFor([&] { return box = findBox(); })) {
                wchar_t text[512] = {};
                GetDlgItemTextW(box, 0xFFFF, text, 512);
                boxText = FromWide(text);
                HWND icon = GetDlgItem(box, 1088);
                stopIcon = reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0)) ==
                           LoadIconW(nullptr, IDI_HAND);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            HWND window = nullptr;
            WaitFor([&] { return (window = dialog.opened) && IsWindowVisible(window); });
            WaitFor([&] { return !findBox(); });
            test.close(window);
            closed = WaitFor([&] { return !IsWindow(window); });
            if (!closed)
                PostMessageW(window, giveUpMessage, 0, 0);
        });
        const INT_PTR result = dialog.DoModal();
        user.join();
        EXPECT_EQ(boxText, test.shown) << test.what;
        EXPECT_TRUE(stopIcon) << test.what;
        EXPECT_TRUE(closed) << test.what;
        EXPECT_EQ(result, IDCANCEL) << test.what;
    }
}
