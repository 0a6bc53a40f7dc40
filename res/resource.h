#pragma once

// Resource and control identifiers, shared by the resource script and the code.
#define IDR_MAINFRAME 128
#define IDS_LOGON_SERVER_UNAVAILABLE 129
#define IDS_LOGON_FAILED 130
#define IDD_LOGON 130
#define IDI_LOGON 164
#define IDI_CANCEL 165
#define IDI_HELP 166

#define IDC_SIGNUP 3
#define IDC_USERNAME 1012
#define IDC_PASSWORD 1013
#define IDC_USERNAME_LABEL 1014
#define IDC_PASSWORD_LABEL 1015
#define IDC_REMEMBER 1031
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
