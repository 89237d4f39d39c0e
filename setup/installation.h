// The whole installation, without any dialog or box: the files, then the
// registry values, then the shortcuts. What to show, whether to open the
// program group and the exit code are the caller's to decide from the
// result.
#pragma once

#include <windows.h>

#include "install_types.h"
#include "progress.h"

// The files that `payload` carries written under options.folder,
// then the registry values, then the shortcuts; stops at the first step
// that fails (nothing is rolled back).
InstallResult RunInstallation(HMODULE payload, const InstallOptions& options,
                              const ProgressReporter& progress);
