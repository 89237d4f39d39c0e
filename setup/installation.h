// The whole installation, without any dialog or box: the files, then the
// registry values, then the shortcuts. What to show, whether to open the
// program group and the exit code are the caller's to decide from the
// result.
#pragma once

#include <windows.h>

#include <string>

#include "install_types.h"
#include "progress.h"

// Whether setup may install into the folder, asked before anything is
// closed or written: the folder rules (a full path, not a root, not the
// Windows folder), an existing folder that is no link and holds only what
// an installation of Hoverlane holds, and no installation in another
// folder. The exit code that refuses it (0: accepted) and the text that
// says why.
struct FolderCheck {
    int code = kExitSuccess;
    std::string text;
};
FolderCheck CheckInstallFolder(const std::string& folder);
// The folder "Install Destination" names; empty without an installation.
std::string InstalledFolder();

// The files that `payload` carries written under options.folder,
// then the registry values, then the shortcuts; stops at the first step
// that fails (nothing is rolled back).
InstallResult RunInstallation(HMODULE payload, const InstallOptions& options,
                              const ProgressReporter& progress);
