// hoverlane /Uninstall: the uninstaller cannot run from the folder it is
// about to delete, so hoverlane carries it, writes it to the temporary
// folder and starts it there.
#pragma once

#include <windows.h>

#include <string>

// Writes the uninstaller that instance carries as hoverlane_uninst.exe into
// a new folder of its own under the temporary folder and starts it with the
// installation folder (with its backslash, or empty) as its command line. A failure is reported as fatal and ends the process;
// so is an uninstaller that the system would not start (the user refused it
// administrator rights), whose copy and folder are deleted at once.
// With silent (hoverlane /Uninstall /S) nothing is shown: the uninstaller
// runs without its question and boxes, this waits for it and returns its
// exit code (0 only when nothing was left behind), or
// kLaunchFailedExitCode when it could not be started. Otherwise it returns
// 0 at once.
int LaunchUninstaller(HINSTANCE instance, const std::string& installDirectory, bool silent);
constexpr int kLaunchFailedExitCode = 2;

// The detail reported when the shell could not start the uninstaller: empty
// when shellResult (ShellExecuteA's result) says it started, otherwise
// "Cannot start the uninstaller" with the system's text for the error.
std::string LaunchFailureText(UINT_PTR shellResult, DWORD lastError);
