// Hoverlane's process-wide state: every reference the program keeps for its
// whole run, in one place. Everything runs on the one GUI thread, so nothing
// here is locked. ResetApplicationState puts each value back as a fresh
// process has it: the shutdown ends with it, and the tests that run the
// main window inside their own process start from it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "handles.h"
#include "sync_window.h"  // WM_SHOWINSTANCE, from a second start
#include "tree_rules.h"   // HandleOrder

class WindowNode;
struct IconCacheEntry;

// The tray icon reports mouse events to the main window.
constexpr UINT WM_TRAYNOTIFY = 0x8002;

// ---- start-up
extern HINSTANCE Instance;
extern HWND SyncWindow;
// The installation folder with one backslash appended; empty when none is
// recorded.
extern std::string InstallDirectory;

// ---- the main window
extern HWND MainWindow;  // none before it is created and once it is destroyed
extern HWND TreeView;
extern HWND StatusBar;
// True while the main window is hidden in the tray.
extern bool MainWindowHidden;
// The shell's message that the taskbar was made anew (the tray icon goes
// back in).
extern UINT TaskbarCreatedMessage;

// ---- settings, read when the main window is made and saved at shutdown
extern DWORD MonitorDelay;  // period of the monitoring timer, milliseconds
extern int AlwaysInSight;   // 0 off, non-zero on
// The last position the Set Monitor Time dialog has seen; it outlives the
// dialog, and only OK makes it the monitoring delay.
extern WORD SliderPosition;

// ---- monitoring
extern bool MonitoringPaused;
// Pointer position, in client coordinates of the target's container, when a
// tick last acted.
extern POINT LastActivationPoint;

// ---- the window tree
// The root, created with the main window and deleted at its shutdown.
extern std::unique_ptr<WindowNode> RootNode;
// The node whose item is selected, and the one the monitoring works on.
// Neither owns its node; a node clears them when it is destroyed.
extern WindowNode* SelectedNode;
extern WindowNode* TargetNode;
// Selections the tree view has announced and not yet reported done.
extern int SelectionsUnderWay;
// The tree view cannot expand an item without children: when no program
// runs at start-up, "desktop" stays collapsed until one arrives.
extern bool RootExpansionPending;
// The tree view's image list, what each icon handle's image is in it, and
// the places of images that no node shows any more.
extern ScopedImageList TreeImageList;
extern std::map<HICON, IconCacheEntry, HandleOrder> IconCache;
extern std::vector<int> FreeImages;

// ---- registered programs
// The Registered Programs dialog while it is shown, none otherwise.
extern HWND RegisteredProgramsWindow;

// Deletes the window tree and the image list and puts every value above
// back to its start.
void ResetApplicationState();

// Entry of the program after the system's own start-up: the whole command
// line text without the program name. Returns the exit code.
int HoverlaneMain(HINSTANCE instance, const char* commandLine);

// None means another instance runs and has been told to show itself.
HWND CreateSyncWindow();
LRESULT CALLBACK SyncWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whole-text, case-insensitive command-line words.
bool IsUninstallCommand(const char* commandLine);
bool IsMinimizedCommand(const char* commandLine);
// InstallDirectory from the stored "Install Destination": the folder and a
// backslash, or empty for an empty (or unreadable) value.
std::string InstallDirectoryFrom(const std::string& storedFolder);
