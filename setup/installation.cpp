#include "installation.h"

#include <shlwapi.h>

#include "folder_rules.h"
#include "install_layout.h"
#include "install_log.h"
#include "install_paths.h"
#include "payload.h"
#include "registration.h"
#include "registry_path.h"
#include "running_copies.h"

namespace {

bool IsLink(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Whether everything below the folder is an installation's own, looked at
// one entry after the other: a foreign one ends the walk.
bool HoldsOnlyAnInstallationBelow(const std::string& folder, const std::string& relative = std::string()) {
    WIN32_FIND_DATAA found = {};
    const std::string below = relative.empty() ? folder : folder + "\\" + relative;
    HANDLE search = FindFirstFileA((below + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    bool ours = true;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        FolderEntry entry;
        entry.relative = relative.empty() ? name : relative + "\\" + name;
        entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.link = IsLink(found.dwFileAttributes);
        ours = HoldsOnlyAnInstallation({entry}) &&
               (!entry.folder || HoldsOnlyAnInstallationBelow(folder, entry.relative));
    } while (ours && FindNextFileA(search, &found));
    FindClose(search);
    return ours;
}

}  // namespace

std::string InstalledFolder() {
    return ReadRegistryPath(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue);
}

FolderCheck CheckInstallFolder(const std::string& folder) {
    FolderCheck check;
    const FolderVerdict verdict = JudgeInstallFolder(folder, WindowsFolder());
    check.code = ExitCodeOf(verdict);
    if (check.code != kExitSuccess) {
        check.text = verdict == FolderVerdict::NotInCodePage
                         ? "The name of this folder has characters that the system's code page cannot hold: " +
                               folder
                         : "This folder cannot hold an installation: " + folder;
        return check;
    }
    // Exactly one installation: the one in another folder is removed first.
    // Its own folder setup made: run again, setup repairs it, and files the
    // user added there stay as they are.
    const std::string installed = InstalledFolder();
    if (!installed.empty() && SameFolder(installed, folder)) return check;
    if (!installed.empty() && PathFileExistsA((installed + "\\" + kInstalledProgramFile).c_str())) {
        check.code = kExitInstalledElsewhere;
        check.text = "Hoverlane is installed in " + installed +
                     ".\nInstall it into that folder again, or remove it first.";
        return check;
    }
    // Any other folder setup did not make is taken only when it is an
    // installation's own: its rights are replaced, and files of others must
    // keep theirs.
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return check;
    if (IsLink(attributes) || !(attributes & FILE_ATTRIBUTE_DIRECTORY) || !HoldsOnlyAnInstallationBelow(folder)) {
        check.code = kExitFolderNotOurs;
        check.text = "This folder holds what is not Hoverlane's, or is a link to another folder: " + folder +
                     "\nChoose an empty or a new folder.";
    }
    return check;
}

InstallResult RunInstallation(HMODULE payload, const InstallOptions& options,
                              const ProgressReporter& progress) {
    // A copy of the installed program still running (another user's, in
    // another session) keeps its file: nothing is replaced then.
    const std::string program = FullPathOf(options.folder + "\\" + kInstalledProgramFile);
    InstallResult result;
    if (!CloseRunningCopies(program, 0))
        result = FailedAt(InstallStep::StillRunning, "Hoverlane is running and cannot be closed: " + program);
    if (result.succeeded()) result = ExtractPayload(payload, options, progress);
    if (result.succeeded()) result = RegisterInstallation(options, progress);
    if (result.succeeded()) result = CreateShortcuts(options, progress);
    if (!result.succeeded()) LogLine(result.text);
    return result;
}
