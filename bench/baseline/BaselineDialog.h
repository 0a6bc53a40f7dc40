#pragma once

// Control and resource identifiers shared by the baseline's resource script and its code.
#define IDD_BASELINE 100
#define IDC_BASELINE_TEXT 1000
