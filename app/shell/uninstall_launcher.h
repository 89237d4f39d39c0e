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
void LaunchUninstaller(HINSTANCE instance, const std::string& installDirectory);

// The detail reported when the shell could not start the uninstaller: empty
// when shellResult (ShellExecuteA's result) says it started, otherwise
// "Cannot start the uninstaller" with the system's text for the error.
std::string LaunchFailureText(UINT_PTR shellResult, DWORD lastError);
