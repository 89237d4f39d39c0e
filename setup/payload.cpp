#include "payload.h"

#include <shlwapi.h>

#include "boundary.h"
#include "folder_security.h"
#include "handles.h"
#include "install_layout.h"
#include "install_log.h"
#include "install_paths.h"
#include "registry_path.h"
#include "resource_bytes.h"
#include "restart_delete.h"

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

    // Written fresh, never through a file someone placed there before: that
    // one would keep its own owner and rights.
    DWORD failed = ERROR_SUCCESS;
    if (!DeleteFileA(target.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) failed = GetLastError();
    ScopedHandle file;
    if (failed == ERROR_SUCCESS) {
        file.reset(CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) failed = GetLastError();
    }
    if (!file) {
        LogFailure("Cannot create " + target, failed);
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
    // Outside the programs folders, each folder setup makes gets its access
    // list as it is made; an existing one (it holds only an installation's
    // files: see CheckInstallFolder) gets it then.
    const bool existed = PathIsDirectoryA(options.folder.c_str()) != FALSE;
    const std::string protection = InsideProgramsFolder(options.folder, ProgramsFolders())
                                       ? std::string()
                                       : InstallFolderProtected();
    try {
        EnsureDirectoryPath(options.folder, protection);
    } catch (const SetupError& error) {
        return FailedAt(InstallStep::Payload, error.text() + kQuitTail);
    }
    if (existed && !protection.empty() && !ProtectFolder(options.folder, protection))
        return FailedAt(InstallStep::Payload, "Cannot protect the folder: " + options.folder + kQuitTail);
    // What an earlier removal left to be deleted at the restart under the
    // names written now would take the new files with it.
    std::vector<std::string> targets;
    for (const char* file : kInstalledFiles) targets.push_back(options.folder + "\\" + file);
    CancelDeletionAtRestart(targets);
    for (const std::string& name : names) {
        const std::string failure = ExtractPayloadFile(module, name, options, progress);
        if (!failure.empty()) return FailedAt(InstallStep::Payload, failure);
    }
    return InstallResult();
}

void EnsureDirectoryPath(const std::string& path, const std::string& sddl) {
    for (const std::string& prefix : DirectoryPrefixes(path)) {
        if (PathIsDirectoryA(prefix.c_str())) continue;
        const DWORD made = CreateFolderWithAccess(prefix, sddl);
        if (made != ERROR_SUCCESS) {
            LogFailure("Cannot create " + prefix, made);
            throw SetupError("Cannot create the directory: " + prefix);
        }
    }
}

std::vector<std::string> ProgramsFolders() {
    std::vector<std::string> programsFolders;
    for (const char* value : kProgramsFolderValues)
        programsFolders.push_back(ReadRegistryPath(HKEY_LOCAL_MACHINE, kWindowsKey, value));
    return programsFolders;
}
