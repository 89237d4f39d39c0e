// hoverlane /Uninstall: the uninstaller cannot run from the folder it is
// about to delete, so hoverlane carries it, writes it to the temporary
// folder and starts it there.
#pragma once

#include <windows.h>

#include <string>

// Writes the uninstaller that instance carries as hoverlane_uninst.exe into
// a new folder of its own under the temporary folder (a name nobody can
// guess, writable only by SYSTEM and the Administrators once the copy is
// in it) and starts it with the installation folder (with its backslash,
// or empty). A failure is reported as fatal and ends the process; so is an
// uninstaller that the system would not start (the user refused it
// administrator rights), whose copy and folder are deleted at once.
// With silent (hoverlane /Uninstall /S) nothing is shown: the uninstaller
// runs without its question and boxes, this waits for it and returns its
// exit code, or kExitUninstallerNotStarted when it could not be started.
// Otherwise it returns 0 at once. An open log (/LOG=) is handed on.
int LaunchUninstaller(HINSTANCE instance, const std::string& installDirectory, bool silent);

// The uninstaller's command line: the folder alone, as it has always been,
// or the switches to hand on and the folder after /D=.
std::string UninstallerParameters(const std::string& installDirectory, bool silent,
                                  const std::string& log);

// The detail reported when the shell could not start the uninstaller: empty
// when shellResult (ShellExecuteA's result) says it started, otherwise
// "Cannot start the uninstaller" with the system's text for the error.
std::string LaunchFailureText(UINT_PTR shellResult, DWORD lastError);
