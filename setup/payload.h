// The files setup carries as resources, written under the installation
// folder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "install_types.h"
#include "progress.h"

// The resource type of the files setup carries.
inline constexpr char kPayloadType[] = SETUP_PAYLOAD_TYPE;

// The names of the files that module carries; empty when it carries none or
// they cannot be listed.
std::vector<std::string> PayloadNames(HMODULE module);
// Writes every one of them under options.folder, making the folders they
// need. Stops at the first failure (the files written so far stay): an
// empty or unreadable payload fails before anything is written.
InstallResult ExtractPayload(HMODULE module, const InstallOptions& options,
                             const ProgressReporter& progress);
// Where the programs folders are named: "ProgramFilesDir", and on 64-bit
// Windows "ProgramFilesDir (x86)" and "ProgramW6432Dir".
inline constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr const char* kProgramsFolderValues[] = {"ProgramFilesDir", "ProgramFilesDir (x86)",
                                                        "ProgramW6432Dir"};
// The programs folders as the registry names them (some may be empty).
// An installation folder outside them would inherit its rights from the
// folder above, where on Windows any signed-in user may change new folders
// (a drive's root): it gets a protected list instead, so that only the
// Administrators may change the program every user's logon runs.
std::vector<std::string> ProgramsFolders();
// Makes every missing folder along `path`, each with that access list (none:
// inherited). Throws SetupError "Cannot create the directory: " + the first
// folder that could not be made.
void EnsureDirectoryPath(const std::string& path, const std::string& sddl = std::string());
