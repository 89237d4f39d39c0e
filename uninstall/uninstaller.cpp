#include "uninstaller.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "boundary.h"
#include "exit_codes.h"
#include "install_layout.h"
#include "install_log.h"
#include "message_box.h"
#include "platform.h"
#include "random.h"
#include "restart_delete.h"
#include "running_copies.h"
#include "switches.h"
#include "sync_window.h"
#include "text.h"

int DeletedCount = 0;

namespace {

void ShowBox(const char* text, const char* caption, UINT flags) {
    MessageBoxA(GetDesktopWindow(), text, caption, flags);
}

const char kFilesLeftText[] =
    "There are some files that could not be deleted;\nyou have to manually delete them";
const char kCompletedText[] = "Uninstall Completed Successfully";
const char kRestartText[] =
    "Uninstall Completed Successfully\n\nThe last files are deleted when Windows restarts.";

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool IsAcceptableFolderText(const std::string& folderText) {
    const FolderVerdict verdict = JudgeInstallFolder(folderText, std::string());
    return verdict == FolderVerdict::Acceptable;
}

bool NamesInstallation(const std::string& folderText) {
    return IsAcceptableFolderText(folderText) && PathIsDirectoryA(folderText.c_str());
}

bool DeleteInstalledFile(const std::string& path, bool removeEmptyFolder) {
    const bool deleted = DeleteFileA(path.c_str()) != FALSE;
    if (deleted) {
        ++DeletedCount;
        LogLine("Deleted " + path);
    } else if (Exists(path)) {
        LogFailure("Cannot delete " + path, GetLastError());
    }
    // A path cut to the buffer would name some other folder: leave it.
    if (!removeEmptyFolder || path.size() >= MAX_PATH) return deleted;
    char folder[MAX_PATH];
    CopyBounded(folder, MAX_PATH, path);
    PathRemoveFileSpecA(folder);
    // Succeeds only when the folder is empty.
    if (PathIsDirectoryA(folder)) RemoveDirectoryA(folder);
    return deleted;
}

namespace {

// This program's file when it is a copy that hoverlane made; empty
// otherwise.
std::string OwnCopy() {
    char self[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH && IsLauncherCopy(self) ? std::string(self) : std::string();
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('\\'));
}

// The file and then its folder go at the next restart: a folder goes then
// only once it is empty, so it is named after what it holds.
void DeleteWithFolderAtRestart(const std::string& file) {
    if (DeleteAtRestart(file)) LogLine("Deleted when Windows restarts: " + file);
    DeleteAtRestart(FolderOf(file), true);
}

// A running program file cannot be deleted, but on one volume it can be
// moved: into the copy's own folder, which goes at the next restart.
bool MoveRunningProgramAway(const std::string& path) {
    const std::string copy = OwnCopy();
    if (copy.empty() || IsWindows95Family()) return false;
    const std::string moved = FolderOf(copy) + "\\" + kInstalledProgramFile;
    if (!MoveReplacing(path, moved)) {
        // Another volume than the temporary folder's, typically.
        LogFailure("Cannot move " + path + " to " + moved, GetLastError());
        return false;
    }
    LogLine("Moved " + path + " to " + moved);
    DeleteWithFolderAtRestart(moved);
    return true;
}

// The program file that stays because it runs: moved away, or deleted at
// the next restart, its folder after it. Deleted there under a name of its
// own: a new installation before the restart writes its program under the
// old name and must keep it. A read-only one is the user's to keep, like any
// other file.
bool RemoveRunningProgram(const std::string& path, bool* restart) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    if (MoveRunningProgramAway(path)) return true;
    // A running program may be renamed where it lies (not on the 95
    // family, nor while another program holds it open without sharing).
    std::string doomed = FolderOf(path) + "\\" + RetiredProgramName(RandomNumber());
    if (!IsWindows95Family() && MoveFileA(path.c_str(), doomed.c_str()))
        LogLine("Renamed " + path + " to " + doomed);
    else
        doomed = path;
    if (!DeleteAtRestart(doomed)) {
        LogFailure("Cannot have " + doomed + " deleted when Windows restarts", GetLastError());
        return false;
    }
    LogLine("Deleted when Windows restarts: " + doomed);
    // The installation folder after it: empty by then, but for files of the
    // user's.
    DeleteAtRestart(FolderOf(path), true);
    *restart = true;
    return true;
}

}  // namespace

FilesOutcome DeleteInstalledFiles(const std::string& folderText) {
    FilesOutcome outcome;
    for (const char* name : kInstalledFiles) {
        const std::string path = folderText + name;
        // Without the trailing backslash the name would be joined to the
        // folder's own name and land beside it, among files not ours.
        if (!LiesInside(folderText, path)) {
            LogLine("Not deleted, it would lie outside the folder: " + path);
            outcome.left = true;
            continue;
        }
        if (!Exists(path)) {
            LogLine("Already missing: " + path);
            continue;
        }
        if (DeleteInstalledFile(path)) continue;
        if (lstrcmpiA(name, kProgramFile) == 0 && RemoveRunningProgram(path, &outcome.restart)) {
            // Counted like a deleted file: nothing is left for the user to do.
            ++DeletedCount;
            continue;
        }
        outcome.left = true;
    }
    return outcome;
}

bool RemoveShortcuts() {
    bool allGone = true;
    for (const InstalledShortcut& shortcut : kInstalledShortcuts) {
        for (int csidl : {shortcut.folder, shortcut.commonFolder}) {
            char folder[MAX_PATH] = {};
            // Without its folder the link's path would start at the drive
            // root; and where there is no such folder, nothing of ours is
            // in it.
            if (!SHGetSpecialFolderPathA(GetDesktopWindow(), folder, csidl, FALSE) || folder[0] == '\0')
                continue;
            const std::string path = std::string(folder) + shortcut.relative;
            if (shortcut.isProgramGroup) {
                if (RemoveDirectoryA(path.c_str())) LogLine("Removed " + path);
            } else {
                DeleteInstalledFile(path, shortcut.removeEmptyFolder);
            }
            if (Exists(path)) {
                LogLine("Still there: " + path);
                allGone = false;
            }
        }
    }
    return allGone;
}

bool IsLauncherCopy(const std::string& selfPath) {
    const size_t nameAt = selfPath.find_last_of("\\/");
    if (nameAt == std::string::npos || nameAt == 0) return false;
    const size_t folderAt = selfPath.find_last_of("\\/", nameAt - 1);
    if (folderAt == std::string::npos) return false;
    const std::string name = selfPath.substr(nameAt + 1);
    const std::string folder = selfPath.substr(folderAt + 1, nameAt - folderAt - 1);
    const std::string prefix = kUninstallerFolderPrefix;
    return lstrcmpiA(name.c_str(), kUninstallerFileName) == 0 && folder.size() > prefix.size() &&
           lstrcmpiA(folder.substr(0, prefix.size()).c_str(), prefix.c_str()) == 0;
}

void ScheduleCopyRemoval() {
    // Only an administrator may, which hoverlane, starting it, may not be.
    const std::string copy = OwnCopy();
    if (!copy.empty()) DeleteWithFolderAtRestart(copy);
}

bool KeyIsGone(LONG deleteResult) {
    return deleteResult == ERROR_SUCCESS || deleteResult == ERROR_FILE_NOT_FOUND;
}

namespace {

std::string KeyName(HKEY root, const char* path) {
    return std::string(root == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") + path;
}

// The maker's key, when it holds nothing at all: no subkey, no value. The
// 95 family's RegDeleteKeyA would take a whole tree, so it is asked first.
void DeleteMakerKeyIfEmpty(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, kMakerKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    DWORD subkeys = 0, values = 0;
    const bool empty = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                        nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                       subkeys == 0 && values == 0;
    RegCloseKey(key);
    if (empty && RegDeleteKeyA(root, kMakerKey) == ERROR_SUCCESS)
        LogLine("Deleted the key " + KeyName(root, kMakerKey));
}

}  // namespace

bool RemoveRegistryEntries() {
    bool allGone = true;
    for (const InstalledKey& key : kInstalledKeys) {
        const LONG result = SHDeleteKeyA(key.root, key.path);
        if (result == ERROR_SUCCESS) LogLine("Deleted the key " + KeyName(key.root, key.path));
        if (KeyIsGone(result)) continue;
        LogFailure("Cannot delete the key " + KeyName(key.root, key.path), static_cast<DWORD>(result));
        allGone = false;
    }
    for (HKEY root : kMakerKeyRoots) DeleteMakerKeyIfEmpty(root);
    return allGone;
}

UninstallCommand ParseUninstallCommand(const std::string& commandLine) {
    UninstallCommand command;
    // The plain form, a folder, never starts with one of the switches.
    const Switches first = ReadSwitches(commandLine.substr(0, commandLine.find_first_of(" \t")),
                                        kSwitchSilent | kSwitchLog | kSwitchFolder);
    if (!first.given) {
        command.folder = commandLine;
        return command;
    }
    const Switches read = ReadSwitches(commandLine, kSwitchSilent | kSwitchLog | kSwitchFolder);
    command.silent = read.has(kSwitchSilent);
    command.folder = read.folder;
    command.log = read.log;
    command.unknown = read.unknown;
    return command;
}

namespace {

// The removal itself, once the command line is read; returns the exit code.
int Uninstall(const UninstallCommand& command) {
    const auto show = [&command](const char* text, const char* caption, UINT flags) {
        if (!command.silent) ShowBox(text, caption, flags);
    };
    // Whatever the answer below, the copy that hoverlane made goes.
    ScheduleCopyRemoval();
    const FolderVerdict verdict = JudgeInstallFolder(command.folder, WindowsFolder());
    // A script learns that its folder was refused, and nothing is touched,
    // not even a running hoverlane; a person sees that there is no
    // installation, as always.
    if (command.silent && !command.folder.empty() && verdict != FolderVerdict::Acceptable) {
        LogLine("Refused as an installation folder: " + command.folder);
        return ExitCodeOf(verdict);
    }
    CloseRunningInstances();

    if (!command.silent &&
        SystemLanguageBox(GetDesktopWindow(), "Are you sure you want to Uninstall Hoverlane?", "Alert",
                          MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL) != IDYES)
        return kExitSuccess;
    // Lets the closed hoverlane let go of its program file; the closing above
    // has already waited for its process to end.
    Sleep(1000);

    if (verdict == FolderVerdict::Acceptable) {
        const std::string program = FullPathOf(command.folder + kInstalledProgramFile);
        // The hoverlane that started this run and waits for it is not a
        // copy to close.
        if (!CloseRunningCopies(program, ParentProcessId()) && command.silent) return kExitStillRunning;
    }

    DeletedCount = 0;
    FilesOutcome files;
    bool warned = false;
    if (verdict == FolderVerdict::Acceptable && PathIsDirectoryA(command.folder.c_str())) {
        files = DeleteInstalledFiles(command.folder);
        // The count of files deleted, as it has always been: a file already
        // missing gets the warning too, though it is not left behind.
        warned = DeletedCount < kInstalledFileCount;
        if (warned) show(kFilesLeftText, "Alert", MB_ICONWARNING);
    } else {
        LogLine("No installation in " + command.folder);
        show("This program has been Uninstalled before", "Alert", MB_ICONWARNING);
    }
    const bool shortcutsGone = RemoveShortcuts();
    // A shortcut or key that stays (in use, no rights to it) is left for
    // the user like a file.
    const bool keysGone = RemoveRegistryEntries();
    const bool left = files.left || !shortcutsGone || !keysGone;
    if (left && !warned) {
        show(kFilesLeftText, "Alert", MB_ICONWARNING);
        warned = true;
    }
    // Said only when true: after the warning something is left to remove.
    if (!warned) show(files.restart ? kRestartText : kCompletedText, "Uninstall", MB_ICONINFORMATION);
    if (left) return kExitFiles;
    return files.restart ? kExitRestartNeeded : kExitSuccess;
}

}  // namespace

int UninstallMain(const char* commandLine) {
    const UninstallCommand command = ParseUninstallCommand(commandLine ? commandLine : "");
    if (!command.unknown.empty()) {
        if (!command.silent) ShowBox((kUnknownSwitchText + command.unknown).c_str(), "Alert", MB_ICONHAND);
        return kExitBadSwitch;
    }
    if (!command.log.empty() && !OpenInstallLog(command.log, "hoverlane_uninst", commandLine))
        return kExitLogUnwritable;
    // What ends the run early ends the log with its code all the same.
    const int code = AtBoundary([&] { return Uninstall(command); },
                                [] {
                                    LogLine("Stopped: memory ran out");
                                    return kExitNoMemory;
                                });
    CloseInstallLog(code);
    // Deployment tools read the code; a person's run ends with 0, as it has
    // always done.
    return command.silent ? code : kExitSuccess;
}
