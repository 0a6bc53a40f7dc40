#pragma once

#include "common/MessageSink.h"
#include "framework/win/WinApp.h"

// Failures reported in the application's message box, owned by the active window.
class AppMessageSink final : public MessageSink {
public:
    explicit AppMessageSink(const CWinApp& app) : app(app) {}
    void ShowMessage(const Text& text) override {
        app.ShowMessageBox(GetActiveWindow(), text, MB_OK);
    }

private:
    const CWinApp& app;
};
