#pragma once

#include "common/Text.h"

#include <windows.h>

// The application: the one process-wide object, constructed before the entry point runs.
// The entry point calls InitInstance; when that returns FALSE no message loop runs, and
// ExitInstance follows at once.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    static CWinApp* Current() { return current; }

    // The executable's file name without its extension: the caption of every box.
    const Text& AppName() const { return appName; }
    // The full path of the profile file the application reads its settings from.
    const Text& ProfileName() const { return profileName; }
    void SetProfileName(Text path) { profileName = std::move(path); }
    HWND MainWindow() const { return mainWindow; }
    void SetMainWindow(HWND window) { mainWindow = window; }

    // The application's message box: captioned with AppName; a plain OK box (no icon
    // asked for) shows the exclamation icon.
    int ShowMessageBox(HWND owner, const Text& text, UINT type = MB_OK) const;

    // A nesting counter: the wait cursor shows from the first BeginWaitCursor until the
    // matching last EndWaitCursor, which puts back the cursor it replaced.
    void BeginWaitCursor();
    void EndWaitCursor();

private:
    static inline CWinApp* current = nullptr;
    Text appName;
    Text profileName;
    HWND mainWindow = nullptr;
    int waitCursorCount = 0;
    HCURSOR cursorBeforeWait = nullptr;
};
