#include "install_paths.h"

#include <windows.h>
#include <shlwapi.h>

#include "folder_rules.h"
#include "install_layout.h"
#include "platform.h"
#include "system_function.h"
#include "text.h"

namespace {

constexpr size_t kProductFolderLength = sizeof(kProductFolder) - 1;

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithProductFolder(const std::string& path) {
    if (path.size() < kProductFolderLength) return false;
    const size_t start = path.size() - kProductFolderLength;
    for (size_t i = 0; i < kProductFolderLength; ++i)
        if (AsciiLower(path[start + i]) != AsciiLower(kProductFolder[i])) return false;
    return true;
}

}  // namespace

std::string WithProductFolder(const std::string& picked) {
    if (EndsWithProductFolder(picked)) return picked;
    if (!picked.empty() && picked.back() == '\\') return picked + kProductFolder;
    return picked + "\\" + kProductFolder;
}

std::string ProposedInstallFolder(const std::string& programFilesDir,
                                  const std::string& windowsFolder) {
    if (IsFullyQualified(programFilesDir)) return programFilesDir + "\\" + kProductFolder;
    const bool hasDrive = windowsFolder.size() >= 2 && IsDriveLetter(windowsFolder[0]) &&
                          windowsFolder[1] == ':';
    return (hasDrive ? windowsFolder.substr(0, 2) : std::string("C:")) + "\\" + kProductFolder;
}

bool InsideProgramsFolder(const std::string& folder, const std::vector<std::string>& programsFolders) {
    for (const std::string& programs : programsFolders)
        if (IsFullyQualified(programs) && LiesInside(programs, folder)) return true;
    return false;
}

std::string InCodePage(const wchar_t* text) {
    for (DWORD flags : {static_cast<DWORD>(WC_NO_BEST_FIT_CHARS), 0ul}) {
        // A code page that takes no such flag (UTF-8) holds every character.
        const char* marker = flags ? "?" : nullptr;
        const int size = WideCharToMultiByte(CP_ACP, flags, text, -1, nullptr, 0, marker, nullptr);
        if (size <= 0) continue;
        std::string narrow(size, '\0');
        WideCharToMultiByte(CP_ACP, flags, text, -1, &narrow[0], size, marker, nullptr);
        narrow.resize(size - 1);
        return narrow;
    }
    return std::string();
}

std::string CommandLineInCodePage(const char* ansi) {
    using GetCommandLineWFunction = LPWSTR(WINAPI*)();
    static const auto wide = SystemFunction<GetCommandLineWFunction>("kernel32.dll", "GetCommandLineW");
    const wchar_t* line = wide && !IsWindows95Family() ? wide() : nullptr;
    if (!line) return ansi ? ansi : "";
    // The program's name, quoted or up to the first blank, and the blanks.
    if (*line == L'"') {
        for (++line; *line && *line != L'"'; ++line) {
        }
        if (*line) ++line;
    } else {
        while (*line && *line != L' ' && *line != L'\t') ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    return InCodePage(line);
}

std::string InstalledRelativePath(const std::string& resourceName) {
    std::string path = resourceName;
    // The user's code page decides what lower case is, as for any ANSI text.
    if (!path.empty()) CharLowerBuffA(&path[0], static_cast<DWORD>(path.size()));
    for (char& c : path)
        if (c == '_') c = ' ';
    return path;
}

std::vector<std::string> DirectoryPrefixes(const std::string& path) {
    std::string work = path;
    if (work.empty() || work.back() != '\\') work += '\\';
    std::vector<std::string> prefixes;
    // A backslash at the very start is never a split point: "\x" is a folder
    // on the current drive, not an empty prefix. A share's server and share
    // are no folders to make.
    size_t from = 1;
    if (work.size() > 2 && IsSlash(work[0]) && IsSlash(work[1])) {
        const size_t server = work.find('\\', 2);
        from = server == std::string::npos ? work.size() : work.find('\\', server + 1);
        if (from == std::string::npos) return prefixes;
        ++from;
    }
    for (size_t at = work.find('\\', from); at != std::string::npos; at = work.find('\\', at + 1))
        prefixes.push_back(work.substr(0, at));
    return prefixes;
}

bool HoldsOnlyAnInstallation(const std::vector<FolderEntry>& entries) {
    for (const FolderEntry& entry : entries) {
        if (entry.link) return false;
        bool ours = !entry.folder && IsRetiredProgramName(entry.relative);
        for (const char* file : kInstalledFiles) {
            const std::string installed = file;
            if (!entry.folder) {
                ours |= lstrcmpiA(file, entry.relative.c_str()) == 0;
                continue;
            }
            // A folder on an installed file's way: "Help", "Help\Images".
            for (size_t at = installed.find('\\'); at != std::string::npos; at = installed.find('\\', at + 1))
                ours |= lstrcmpiA(installed.substr(0, at).c_str(), entry.relative.c_str()) == 0;
        }
        if (!ours) return false;
    }
    return true;
}

std::string FolderOfFile(const std::string& filePath) {
    // The shell call needs room for the whole text; a fixed 260-character
    // buffer would cut a long path and make folders that were never asked for.
    std::vector<char> buffer(filePath.begin(), filePath.end());
    buffer.resize(filePath.size() + 1 < MAX_PATH ? MAX_PATH : filePath.size() + 1, '\0');
    PathRemoveFileSpecA(buffer.data());
    return buffer.data();
}
