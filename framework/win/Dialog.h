#pragma once

#include "common/Secret.h"
#include "common/Text.h"
#include "framework/win/Button.h"

#include <windows.h>

// One run of a dialog's data binding, in one direction: saving copies the controls into
// the members, loading copies the members into the controls.
class DataExchange {
public:
    DataExchange(HWND dialog, bool saving) : dialog(dialog), saving(saving) {}

    void TextField(int id, Text& value);
    void TextField(int id, SecretText& value);
    // Binds the member to the dialog's control once, the first time the binding runs.
    void Attach(int id, CButton& control);

    HWND dialog;
    bool saving;
};

// A modal dialog run from a dialog template of the program's resources.
class CDialog {
public:
    CDialog(UINT templateId, HWND parent = nullptr) : templateId(templateId), parent(parent) {}
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog until EndDialog; returns its result, or -1 when it could not be made.
    INT_PTR DoModal();
    HWND Handle() const { return window; }

protected:
    virtual void DoDataExchange(DataExchange&) {}
    // The framework's part: the binding in the loading direction. Return TRUE to let the
    // dialog manager put the focus on the first tab stop.
    virtual BOOL OnInitDialog();
    // The framework's OK: save the controls into the members, then end with IDOK.
    virtual void OnOK();
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Commands other than IDOK and IDCANCEL. Return true when handled.
    virtual bool OnCommand(WORD, WORD) { return false; }
    // Messages not handled by the framework. Return true when handled, with the result in result.
    virtual bool OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    void EndDialog(int result) { ::EndDialog(window, result); }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void DispatchCommand(WORD id, WORD code, HWND control);
    // Runs a handler and shows any failure that leaves it in the stop-icon box, with the
    // failure's own text or else noText; the handler is abandoned.
    template <class Handler> void RunReportingFailure(Handler handler, TextView noText);
    void CenterInWorkArea();

    UINT templateId;
    HWND parent;
    HWND window = nullptr;
    bool initialised = false;
};
