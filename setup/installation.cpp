#include "installation.h"

#include "payload.h"
#include "registration.h"

InstallResult RunInstallation(HMODULE payload, const InstallOptions& options,
                              const ProgressReporter& progress) {
    InstallResult result = ExtractPayload(payload, options, progress);
    if (!result.succeeded()) return result;
    result = RegisterInstallation(options, progress);
    if (!result.succeeded()) return result;
    return CreateShortcuts(options, progress);
}
