#include "folder_rules.h"

#include <windows.h>

#include "exit_codes.h"
#include "install_layout.h"

namespace {

std::string Upper(std::string text) {
    if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && !IsSlash(folder.back())) folder += '\\';
    return folder;
}

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

bool LiesInside(const std::string& folderText, const std::string& path) {
    const std::string folder = WithSeparator(FullPathOf(folderText));
    const std::string full = FullPathOf(path);
    if (folder.empty() || full.empty()) return false;
    return full.size() > folder.size() && Upper(full.substr(0, folder.size())) == Upper(folder);
}

bool SameFolder(const std::string& a, const std::string& b) {
    const std::string full = Upper(WithSeparator(FullPathOf(a)));
    return !full.empty() && full == Upper(WithSeparator(FullPathOf(b)));
}

FolderVerdict JudgeInstallFolder(const std::string& folderText, const std::string& windowsFolder) {
    if (folderText.size() >= MAX_PATH || !IsFullyQualified(folderText)) return FolderVerdict::NotFullPath;
    if (folderText.find('?') != std::string::npos) return FolderVerdict::NotInCodePage;
    const std::string full = FullPathOf(folderText);
    if (full.empty()) return FolderVerdict::NotFullPath;
    if (IsRootPath(full)) return FolderVerdict::Root;
    // The Windows folder itself, or anything below it.
    if (!windowsFolder.empty() &&
        (Upper(WithSeparator(full)) == Upper(WithSeparator(FullPathOf(windowsFolder))) ||
         LiesInside(windowsFolder, full)))
        return FolderVerdict::InsideWindows;
    return FolderVerdict::Acceptable;
}

int ExitCodeOf(FolderVerdict verdict) {
    switch (verdict) {
    case FolderVerdict::NotFullPath:
    case FolderVerdict::NotInCodePage:
        return kExitFolderNotFullPath;
    case FolderVerdict::Root:
        return kExitFolderIsRoot;
    case FolderVerdict::InsideWindows:
        return kExitFolderInWindows;
    case FolderVerdict::Acceptable:
        break;
    }
    return kExitSuccess;
}

std::string WindowsFolder() {
    char folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
}

std::string RetiredProgramName(DWORD number) {
    char digits[9];
    wsprintfA(digits, "%08lX", static_cast<unsigned long>(number));
    return std::string(kRetiredProgramPrefix) + digits;
}

bool IsRetiredProgramName(const std::string& name) {
    const size_t prefix = sizeof(kRetiredProgramPrefix) - 1;
    if (name.size() != prefix + 8 || lstrcmpiA(name.substr(0, prefix).c_str(), kRetiredProgramPrefix) != 0)
        return false;
    for (size_t i = prefix; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}
