// Resource and command numbers of hoverlane. The numbers are fixed: other
// programs and stored menus refer to them.
#pragma once

#define IDD_ABOUT                 103
#define IDI_HOVERLANE             107
#define IDI_SMALL                 108
#define IDI_PAUSED                113
#define IDS_MAIN_CLASS            109
#define IDS_START_MONITORING      110
#define IDS_STOP_MONITORING       111
#define IDS_SYNC_CLASS            112
#define IDR_MAIN_MENU             130
#define IDD_REGISTERED_PROGRAMS   134
#define IDD_MONITOR_TIME          136
#define IDD_PAUSE_KEY             137

// Controls
#define IDC_STATUS_BAR            1
#define IDC_ABOUT_ICON            109
#define IDC_TREE_VIEW             112
#define IDC_PROGRAM_LIST          1009
#define IDC_DELETE_PROGRAM        1010
#define IDC_TIME_SLIDER           1011
#define IDC_TIME_VALUE            1012
#define IDC_PAUSE_KEY             1013

// Menu commands
#define IDM_HELP                  9
#define IDM_REGISTER_PROGRAM      32775
#define IDM_EXIT                  32776
#define IDM_ABOUT                 32777
#define IDM_REGISTERED_PROGRAMS   32779
#define IDM_TOGGLE_MONITORING     32780
#define IDM_ALWAYS_IN_SIGHT       32781
#define IDM_MONITOR_TIME          32782
#define IDM_WAIT_WHILE_TYPING     32783
#define IDM_SWITCH_WHEN_RESTING   32784
#define IDM_HOLD_SHIFT            32785
#define IDM_PAUSE_KEY             32786

// The uninstaller that hoverlane carries: a resource of this name and type.
#define HOVERLANE_UNINSTALLER_RESOURCE Hoverlane_Uninst.exe
#define HOVERLANE_UNINSTALLER_TYPE     EXE

#ifndef RC_INVOKED
#define HOVERLANE_TEXT_(x) #x
#define HOVERLANE_TEXT(x) HOVERLANE_TEXT_(x)
inline constexpr char kUninstallerResource[] = HOVERLANE_TEXT(HOVERLANE_UNINSTALLER_RESOURCE);
inline constexpr char kUninstallerResourceType[] = HOVERLANE_TEXT(HOVERLANE_UNINSTALLER_TYPE);
#endif

#ifndef IDC_STATIC
#define IDC_STATIC                (-1)
#endif
