#include "uninstaller.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "install_layout.h"
#include "message_box.h"
#include "sync_window.h"
#include "system_function.h"
#include "text.h"

int DeletedCount = 0;

namespace {

std::string Upper(std::string text) {
    if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

void ShowBox(const char* text, const char* caption, UINT flags) {
    MessageBoxA(GetDesktopWindow(), text, caption, flags);
}

const char kFilesLeftText[] =
    "There are some files that could not be deleted;\nyou have to manually delete them";

}  // namespace

std::string FullPathOf(const std::string& path) {
    if (path.empty()) return std::string();
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return std::string();
    std::string full(needed, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed) return std::string();
    full.resize(length);
    return full;
}

bool IsRootPath(const std::string& fullPath) {
    std::string path = fullPath;
    while (!path.empty() && IsSlash(path.back())) path.pop_back();
    if (path.empty()) return true;
    if (path.size() == 2 && IsDriveLetter(path[0]) && path[1] == ':') return true;
    if (path.size() > 2 && IsSlash(path[0]) && IsSlash(path[1])) {
        // \\server\share and anything shorter is the top of a share.
        int separators = 0;
        for (size_t i = 2; i < path.size(); ++i)
            if (IsSlash(path[i])) ++separators;
        return separators < 2;
    }
    return false;
}

bool IsAcceptableFolderText(const std::string& folderText) {
    if (folderText.size() >= MAX_PATH || !IsFullyQualified(folderText)) return false;
    const std::string full = FullPathOf(folderText);
    return !full.empty() && !IsRootPath(full);
}

bool LiesInside(const std::string& folderText, const std::string& path) {
    std::string folder = FullPathOf(folderText);
    const std::string full = FullPathOf(path);
    if (folder.empty() || full.empty()) return false;
    if (!IsSlash(folder.back())) folder += '\\';
    return full.size() > folder.size() && Upper(full.substr(0, folder.size())) == Upper(folder);
}

bool NamesInstallation(const std::string& folderText) {
    return IsAcceptableFolderText(folderText) && PathIsDirectoryA(folderText.c_str());
}

void DeleteInstalledFile(const std::string& path, bool removeEmptyFolder) {
    if (DeleteFileA(path.c_str())) ++DeletedCount;
    // A path cut to the buffer would name some other folder: leave it.
    if (!removeEmptyFolder || path.size() >= MAX_PATH) return;
    char folder[MAX_PATH];
    CopyBounded(folder, MAX_PATH, path);
    PathRemoveFileSpecA(folder);
    // Succeeds only when the folder is empty.
    if (PathIsDirectoryA(folder)) RemoveDirectoryA(folder);
}

namespace {

using MoveFileExFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);

// Windows 95, 98 and Me have no MoveFileExA (at most a stub).
MoveFileExFunction MoveFileExLookup() {
    static const auto moveFileEx = SystemFunction<MoveFileExFunction>("kernel32.dll", "MoveFileExA");
    return moveFileEx;
}

// This program's file and its folder when it is a copy that hoverlane made;
// empty otherwise.
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
void DeleteWithFolderAtRestart(MoveFileExFunction moveFileEx, const std::string& file) {
    moveFileEx(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    moveFileEx(FolderOf(file).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// A silent uninstall is started by the installed program, which waits for
// it to hand on its exit code: that program's file is in use and cannot be
// deleted, but can be moved. It goes into the copy's own folder, and is
// deleted with it at the next restart.
bool MoveRunningProgramAway(const std::string& path) {
    const std::string copy = OwnCopy();
    const auto moveFileEx = MoveFileExLookup();
    if (copy.empty() || !moveFileEx) return false;
    const std::string moved = FolderOf(copy) + "\\" + kProgramFile;
    if (!moveFileEx(path.c_str(), moved.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
    DeleteWithFolderAtRestart(moveFileEx, moved);
    return true;
}

}  // namespace

void DeleteInstalledFiles(const std::string& folderText, bool silent) {
    for (const char* name : kInstalledFiles) {
        const std::string path = folderText + name;
        // Without the trailing backslash the name would be joined to the
        // folder's own name and land beside it, among files not ours.
        if (!LiesInside(folderText, path)) continue;
        DeleteInstalledFile(path);
        if (silent && lstrcmpiA(name, kProgramFile) == 0 &&
            GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES && MoveRunningProgramAway(path))
            ++DeletedCount;
    }
}

bool RemoveShortcuts() {
    bool allGone = true;
    for (const InstalledShortcut& shortcut : kInstalledShortcuts) {
        char folder[MAX_PATH] = {};
        // Without its folder the link's path would start at the drive root;
        // and where there is no such folder, nothing of ours is in it.
        if (!SHGetSpecialFolderPathA(GetDesktopWindow(), folder, shortcut.folder, FALSE) ||
            folder[0] == '\0')
            continue;
        const std::string path = std::string(folder) + shortcut.relative;
        if (shortcut.isProgramGroup)
            RemoveDirectoryA(path.c_str());
        else
            DeleteInstalledFile(path, shortcut.removeEmptyFolder);
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) allGone = false;
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
           Upper(folder.substr(0, prefix.size())) == Upper(prefix);
}

void ScheduleCopyRemoval() {
    const std::string copy = OwnCopy();
    // Only an administrator may, which hoverlane, starting it, may not be.
    const auto moveFileEx = MoveFileExLookup();
    if (copy.empty() || !moveFileEx) return;
    DeleteWithFolderAtRestart(moveFileEx, copy);
}

bool KeyIsGone(LONG deleteResult) {
    return deleteResult == ERROR_SUCCESS || deleteResult == ERROR_FILE_NOT_FOUND;
}

bool RemoveRegistryEntries() {
    bool allGone = true;
    for (const InstalledKey& key : kInstalledKeys)
        if (!KeyIsGone(SHDeleteKeyA(key.root, key.path))) allGone = false;
    return allGone;
}

UninstallCommand ParseUninstallCommand(const std::string& commandLine) {
    UninstallCommand command;
    const std::string silent = std::string(kSilentWord) + " ";
    command.silent = commandLine.compare(0, silent.size(), silent) == 0;
    command.folder = command.silent ? commandLine.substr(silent.size()) : commandLine;
    return command;
}

int UninstallMain(const char* commandLine) {
    const UninstallCommand command = ParseUninstallCommand(commandLine ? commandLine : "");
    const auto show = [&command](const char* text, const char* caption, UINT flags) {
        if (!command.silent) ShowBox(text, caption, flags);
    };
    // Whatever the answer below, the copy that hoverlane made goes.
    ScheduleCopyRemoval();
    CloseRunningInstances();

    if (!command.silent &&
        SystemLanguageBox(GetDesktopWindow(), "Are you sure you want to Uninstall Hoverlane?",
                          "Alert", MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL) != IDYES)
        return 0;
    // Lets the closed hoverlane let go of its program file; the closing above
    // has already waited for its process to end.
    Sleep(1000);

    DeletedCount = 0;
    bool left = false;
    if (NamesInstallation(command.folder)) {
        DeleteInstalledFiles(command.folder, command.silent);
        left = DeletedCount < kInstalledFileCount;
        if (left) show(kFilesLeftText, "Alert", MB_ICONWARNING);
    } else {
        show("This program has been Uninstalled before", "Alert", MB_ICONWARNING);
    }
    const bool shortcutsGone = RemoveShortcuts();
    // A shortcut or key that stays (in use, no rights to it) is left for
    // the user like a file.
    const bool keysGone = RemoveRegistryEntries();
    if ((!shortcutsGone || !keysGone) && !left) {
        show(kFilesLeftText, "Alert", MB_ICONWARNING);
        left = true;
    }
    // Said only when true: after the warning something is left to remove.
    if (!left) show("Uninstall Completed Successfully", "Uninstall", MB_ICONINFORMATION);
    // Deployment tools read whether anything was left; without /S the exit
    // code is 0, as it has always been.
    return command.silent && left ? kSomethingLeftExitCode : 0;
}
