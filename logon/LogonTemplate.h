#pragma once

// The logon window's template, the one description both editions lay out: the Windows resource
// script expands it into the dialog resource, and the Linux window makes one widget per row.
// This header is read by the resource compiler's preprocessor too, so it holds macros only.
//
// Rows stand in tab order. Each row gives the control's name in the Linux window, its caption's
// name in the text catalogs (noCaption for the edit boxes), its control identifier, its window
// class and style (both read by the resource script only, so the Linux build never expands them),
// and its rectangle in dialog units.

#define LOGON_TEMPLATE_CAPTION logonTitle
#define LOGON_TEMPLATE_POINT_SIZE 10
#define LOGON_TEMPLATE_WIDTH 194
#define LOGON_TEMPLATE_HEIGHT 107

#define LOGON_TEMPLATE_CONTROLS(ROW)                                                               \
    ROW(userNameBox, noCaption, IDC_USERNAME, "EDIT",                                              \
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 67, 22, 98, 12)           \
    ROW(passwordBox, noCaption, IDC_PASSWORD, "EDIT",                                              \
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, 67, 42, 98, \
        12)                                                                                        \
    ROW(logonButton, logonButton, IDOK, "BUTTON",                                                  \
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 53, 89, 40, 14)                     \
    ROW(cancelButton, cancelButton, IDCANCEL, "BUTTON",                                            \
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 7, 89, 40, 14)                         \
    ROW(userNameLabel, userNameLabel, IDC_USERNAME_LABEL, "STATIC",                                \
        WS_CHILD | WS_VISIBLE | WS_GROUP | SS_RIGHT, 23, 24, 41, 8)                                \
    ROW(passwordLabel, passwordLabel, IDC_PASSWORD_LABEL, "STATIC",                                \
        WS_CHILD | WS_VISIBLE | WS_GROUP | SS_RIGHT, 29, 44, 35, 8)                                \
    ROW(logonInfoGroup, logonInfoGroup, -1, "BUTTON", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 7, 7,   \
        178, 55)                                                                                   \
    ROW(rememberBox, rememberBox, IDC_REMEMBER, "BUTTON",                                          \
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 51, 68, 88, 10)                      \
    ROW(signUpButton, signUpButton, IDC_SIGNUP, "BUTTON",                                          \
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 99, 89, 40, 14)                        \
    ROW(helpButton, helpButton, ID_HELP, "BUTTON",                                                 \
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 145, 89, 40, 14)
