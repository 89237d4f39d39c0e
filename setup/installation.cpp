#include "installation.h"

#include "folder_rules.h"
#include "install_layout.h"
#include "install_log.h"
#include "payload.h"
#include "registration.h"
#include "running_copies.h"

InstallResult RunInstallation(HMODULE payload, const InstallOptions& options,
                              const ProgressReporter& progress) {
    // A copy of the installed program still running (another user's, in
    // another session) keeps its file: nothing is replaced then.
    const std::string program = FullPathOf(options.folder + "\\" + kInstalledProgramFile);
    if (!CloseRunningCopies(program, 0))
        return FailedAt(InstallStep::StillRunning, "Hoverlane is running and cannot be closed: " + program);
    InstallResult result = ExtractPayload(payload, options, progress);
    if (!result.succeeded()) return result;
    result = RegisterInstallation(options, progress);
    if (!result.succeeded()) return result;
    return CreateShortcuts(options, progress);
}
