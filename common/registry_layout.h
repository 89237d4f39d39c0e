// Where the three programs keep their data in the registry: setup writes the
// installation's entries, hoverlane its settings and registrations, the
// uninstaller removes them all, and hoverlane reads the installation folder.
#pragma once

#include "installed_files.h"  // the program's file name

#define HOVERLANE_MAKER "Vendrabyte"
#define HOVERLANE_PRODUCT_KEY "Software\\" HOVERLANE_MAKER "\\Hoverlane"

// The maker's name, as the status bar and Windows' list of programs show it.
inline constexpr char kMakerName[] = HOVERLANE_MAKER;
// The maker's key holds the product's, in both hives.
inline constexpr char kMakerKey[] = "Software\\" HOVERLANE_MAKER;
inline constexpr char kProductKey[] = HOVERLANE_PRODUCT_KEY;

// Per machine, under the product's key: the installation folder.
inline constexpr char kInstallDestinationValue[] = "Install Destination";
// Per user, under the product's key: hoverlane's settings.
inline constexpr char kTimerValue[] = "Timer";
inline constexpr char kAlwaysInSightValue[] = "Intelligent Monitor";
inline constexpr char kWaitWhileTypingValue[] = "Wait While Typing";
inline constexpr char kPointerRestsValue[] = "Switch When The Pointer Rests";
inline constexpr char kHoldShiftValue[] = "Hold Shift To Wait";
inline constexpr char kPauseKeyValue[] = "Pause Key";  // REG_DWORD: key, modifiers << 16
// Per user: one value per registered program.
inline constexpr char kRegisteredProgramsKey[] = HOVERLANE_PRODUCT_KEY "\\Registered Programs";

// Per machine: the entry in the list of installed programs and the
// program's application path.
inline constexpr char kUninstallEntryKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Hoverlane";
inline constexpr char kUninstallStringValue[] = "UninstallString";
inline constexpr char kDisplayNameValue[] = "DisplayName";
inline constexpr char kDisplayName[] = "Hoverlane (Remove Only)";
// What Windows' list of programs shows besides, and what deployment tools
// read: the uninstall entry's other values.
inline constexpr char kDisplayIconValue[] = "DisplayIcon";
inline constexpr char kDisplayVersionValue[] = "DisplayVersion";
inline constexpr char kPublisherValue[] = "Publisher";
inline constexpr char kInstallLocationValue[] = "InstallLocation";
inline constexpr char kEstimatedSizeValue[] = "EstimatedSize";  // kilobytes, REG_DWORD
inline constexpr char kNoModifyValue[] = "NoModify";            // 1, REG_DWORD
inline constexpr char kNoRepairValue[] = "NoRepair";            // 1, REG_DWORD
inline constexpr char kQuietUninstallStringValue[] = "QuietUninstallString";
inline constexpr char kAppPathKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" HOVERLANE_INSTALLED_PROGRAM;
