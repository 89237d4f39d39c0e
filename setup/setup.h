// The installer's flow: the three dialogs one after another, and the
// installation (installation.h) inside the progress dialog's
// initialisation; what it shows when a step fails, and its exit code.
#pragma once

#include <windows.h>

#include <string>

#include "install_types.h"

extern HINSTANCE SetupInstance;
// The installation folder, without a trailing backslash: empty at start,
// the command line's /D= or the proposed folder once the options dialog
// opens (or a silent setup starts), changed by its "..." button. The
// installation is given it.
extern std::string InstallFolder;

// Entry after the system's start-up, with the command line without the
// program name: /S (nothing shown or asked), /D=<folder> (last),
// /LOG=<file>, /AllUsers. Returns the exit code (exit_codes.h): 0, the
// number of the step that failed (InstallStep), or why it did not start.
int SetupMain(HINSTANCE instance, DWORD acceptedPlatformId, const char* commandLine);

// Memory ran out in a dialog: a box, then the end with kExitNoMemory.
[[noreturn]] void SetupOutOfMemory() noexcept;
// Every failure message after start-up: an error box owned by `owner`.
void ShowError(const std::string& text, HWND owner);
// What the user sees of an installation's end: the failure's boxes, or the
// program group opened. Returns the exit code.
int ReportInstallation(const InstallResult& result, HWND owner);

INT_PTR CALLBACK AgreementDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// lParam of WM_INITDIALOG: the InstallOptions to fill.
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// lParam of WM_INITDIALOG: the InstallOptions to install with. Ends with the
// exit code.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The shell's folder picker rooted at the special folder rootId (0: the
// whole namespace). The chosen path, or "" when cancelled. Throws
// SetupError "Insuficient Memory" without the shell allocator.
std::string BrowseForFolder(HWND owner, int rootId);
