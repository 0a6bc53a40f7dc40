#include "framework/win/WinApp.h"

// The program's entry point: start-up through the application object's hooks. The
// application never asks for a message loop of its own (InitInstance returns FALSE once
// its modal window has closed), so none is run.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    CWinApp* app = CWinApp::Current();
    if (!app)
        return 1;
    app->InitInstance();
    return app->ExitInstance();
}
