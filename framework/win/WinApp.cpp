#include "framework/win/WinApp.h"
#include "framework/win/WideText.h"

#include "framework/win/ModulePath.h"
#include "framework/win/SystemLibrary.h"

CWinApp::CWinApp() {
    // The application object is made during static initialisation, before any code of the
    // program loads a DLL, so every load by name is kept to the system folder.
    RestrictDllSearchToSystemFolder();
    current = this;
    Text path = ModulePath();
    size_t nameStart = path.find_last_of(u"\\/");
    nameStart = nameStart == Text::npos ? 0 : nameStart + 1;
    size_t extension = path.rfind(u'.');
    if (extension == Text::npos || extension < nameStart)
        extension = path.size();
    appName = path.substr(nameStart, extension - nameStart);
}

CWinApp::~CWinApp() {
    if (current == this)
        current = nullptr;
}

int CWinApp::ShowMessageBox(HWND owner, const Text& text, UINT type) const {
    if ((type & MB_ICONMASK) == 0 && (type & MB_TYPEMASK) == MB_OK)
        type |= MB_ICONEXCLAMATION;
    return ::MessageBoxW(owner, Wide(text), Wide(appName), type);
}

void CWinApp::BeginWaitCursor() {
    if (++waitCursorCount == 1)
        cursorBeforeWait = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void CWinApp::EndWaitCursor() {
    if (--waitCursorCount <= 0) {
        waitCursorCount = 0;
        SetCursor(cursorBeforeWait);
    }
}
