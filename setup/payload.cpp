#include "payload.h"

#include <shlwapi.h>

#include "boundary.h"
#include "folder_security.h"
#include "handles.h"
#include "install_log.h"
#include "install_paths.h"
#include "registry_path.h"
#include "resource_bytes.h"

namespace {

const char kQuitTail[] = " \n Setup will quit now";

// Called by Windows: an exception stops here, and the listing with it.
BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
    return AtBoundary(
        [&] {
            // Only named resources are files to install.
            if (!IS_INTRESOURCE(name)) reinterpret_cast<std::vector<std::string>*>(names)->push_back(name);
            return TRUE;
        },
        [] { return FALSE; });
}

// One file; the failure's text, empty when it was written.
std::string ExtractPayloadFile(HMODULE module, const std::string& name, const InstallOptions& options,
                             const ProgressReporter& progress) {
    std::string lowerName = name;
    if (!lowerName.empty()) CharLowerBuffA(&lowerName[0], static_cast<DWORD>(lowerName.size()));
    const std::string target = options.folder + "\\" + InstalledRelativePath(lowerName);
    progress.SetStatus("Copying File: " + target);

    try {
        EnsureDirectoryPath(FolderOfFile(target));
    } catch (const SetupError& error) {
        return error.text() + kQuitTail;
    }

    ScopedHandle file(CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        LogFailure("Cannot create " + target, GetLastError());
        return "Cannot create the file: " + target + kQuitTail;
    }

    const ResourceBytes resource = FindResourceBytes(module, lowerName.c_str(), kPayloadType);
    if (!resource.bytes) {
        LogFailure("Cannot load the resource " + name, GetLastError());
        return "No memory available to lock resource  \nSetup will quit now";
    }

    // Straight from the mapped resource, in one write.
    DWORD written = 0;
    if (!WriteFile(file.get(), resource.bytes, resource.size, &written, nullptr) ||
        written != resource.size) {
        LogFailure("Cannot write " + target, GetLastError());
        return "Cannot write into the following file: " + target + kQuitTail;
    }
    LogLine("Wrote " + target);
    progress.Step();
    return std::string();
}

}  // namespace

std::vector<std::string> PayloadNames(HMODULE module) {
    std::vector<std::string> names;
    if (!EnumResourceNamesA(module, kPayloadType, CollectName, reinterpret_cast<LONG_PTR>(&names)))
        names.clear();
    return names;
}

InstallResult ExtractPayload(HMODULE module, const InstallOptions& options,
                             const ProgressReporter& progress) {
    LogLine("Writing the files into " + options.folder);
    const std::vector<std::string> names = PayloadNames(module);
    if (names.empty())
        return FailedAt(InstallStep::Payload, std::string("Cannot find the files to install") + kQuitTail);
    try {
        EnsureDirectoryPath(options.folder);
    } catch (const SetupError& error) {
        return FailedAt(InstallStep::Payload, error.text() + kQuitTail);
    }
    const std::string unprotected = ProtectInstallFolder(options.folder);
    if (!unprotected.empty()) return FailedAt(InstallStep::Payload, unprotected + kQuitTail);
    for (const std::string& name : names) {
        const std::string failure = ExtractPayloadFile(module, name, options, progress);
        if (!failure.empty()) return FailedAt(InstallStep::Payload, failure);
    }
    return InstallResult();
}

void EnsureDirectoryPath(const std::string& path) {
    for (const std::string& prefix : DirectoryPrefixes(path)) {
        if (PathIsDirectoryA(prefix.c_str())) continue;
        if (!CreateDirectoryA(prefix.c_str(), nullptr)) {
            LogFailure("Cannot create " + prefix, GetLastError());
            throw SetupError("Cannot create the directory: " + prefix);
        }
    }
}

std::string ProtectInstallFolder(const std::string& folder) {
    std::vector<std::string> programsFolders;
    for (const char* value : kProgramsFolderValues)
        programsFolders.push_back(ReadRegistryPath(HKEY_LOCAL_MACHINE, kWindowsKey, value));
    // Program Files keeps its own rights.
    if (InsideProgramsFolder(folder, programsFolders) || ProtectFolder(folder, InstallFolderProtected()))
        return std::string();
    return "Cannot protect the folder: " + folder;
}
