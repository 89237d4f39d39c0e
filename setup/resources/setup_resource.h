// Resource and control numbers of setup. The payload files are addressed by
// name (type "SETUP_FILES"), everything else by these numbers.
#pragma once

#define IDI_SETUP                 107
#define IDI_SETUP_SMALL           108
#define IDD_OPTIONS               129
#define IDD_AGREEMENT             130
#define IDD_PROGRESS              132

// Options dialog
#define IDC_BROWSE                1000
#define IDC_INSTALL_FOLDER        1001
#define IDC_START_WITH_WINDOWS    1002
#define IDC_SHORTCUT_DESKTOP      1003
#define IDC_SHORTCUT_START_MENU   1004
#define IDC_START_MINIMIZED       1006
// Agreement dialog
#define IDC_AGREEMENT_TEXT        1011
// Progress dialog
#define IDC_PROGRESS_BAR          1012
#define IDC_PROGRESS_STATUS       1013

#ifndef IDC_STATIC
#define IDC_STATIC                (-1)
#endif
