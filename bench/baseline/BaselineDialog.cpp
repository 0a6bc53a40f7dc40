// The least a Win32 program with one dialog does: show the template modally and end when
// it closes. Start-up times of tarnftp.exe are compared against this program.
#include "BaselineDialog.h"

#include <windows.h>

namespace {

INT_PTR CALLBACK BaselineProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    return int(DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_BASELINE), nullptr, BaselineProc, 0));
}
