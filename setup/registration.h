// The installation's registry values and shortcuts.
#pragma once

#include <windows.h>

#include <string>

#include "install_types.h"
#include "progress.h"

// The four HKEY_LOCAL_MACHINE values; the failure names the value that
// could not be written.
InstallResult RegisterInstallation(const InstallOptions& options, const ProgressReporter& progress);
// One REG_SZ value under HKEY_LOCAL_MACHINE, keys made as needed. Throws
// SetupError "Cannot write the registry value: " + valueName.
void WriteRegistryText(const char* keyPath, const char* valueName, const std::string& text);
// One REG_DWORD value, the same way.
void WriteRegistryNumber(const char* keyPath, const char* valueName, DWORD number);
// What the installed files take on the disk, in kilobytes.
DWORD InstalledKilobytes(const std::string& folder);
// The program group, the chosen shortcuts and Help. Opens nothing: the
// result names the group, for the caller to open.
InstallResult CreateShortcuts(const InstallOptions& options, const ProgressReporter& progress);
// One shell link; returns the result of saving it. Throws SetupError when
// the link object or its file interface is not available.
HRESULT CreateShortcut(const std::string& target, const std::string& linkFile,
                       const char* description, bool minimized);
