#include "restart_delete.h"

#include <windows.h>

#include "platform.h"
#include "system_function.h"

namespace {

using MoveFileExFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);

const char kWininit[] = "wininit.ini";
const char kRenameSection[] = "rename";

// The section as the profile functions hand it over: lines ending in a
// zero, the last one followed by another zero.
std::vector<std::string> ReadSection() {
    std::vector<char> buffer(4096);
    for (;;) {
        const DWORD length = GetPrivateProfileSectionA(kRenameSection, buffer.data(),
                                                       static_cast<DWORD>(buffer.size()), kWininit);
        if (length + 2 < buffer.size()) {
            std::vector<std::string> lines;
            for (const char* line = buffer.data(); *line; line += lstrlenA(line) + 1) lines.push_back(line);
            return lines;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The 95 family has at most a stub of it.
MoveFileExFunction MoveFileExLookup() {
    static const auto moveFileEx = SystemFunction<MoveFileExFunction>("kernel32.dll", "MoveFileExA");
    return IsWindows95Family() ? nullptr : moveFileEx;
}

bool AppendToWininit(const std::string& path) {
    char shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    // The same key stands on several lines: the section is written whole.
    std::string section;
    for (const std::string& line : RenameLinesWith(ReadSection(), shortPath)) section += line + '\0';
    section += '\0';
    return WritePrivateProfileSectionA(kRenameSection, section.c_str(), kWininit) != FALSE;
}

}  // namespace

std::vector<std::string> RenameLinesWith(const std::vector<std::string>& lines,
                                         const std::string& shortPath) {
    const std::string line = "NUL=" + shortPath;
    std::vector<std::string> result = lines;
    for (const std::string& existing : lines)
        if (lstrcmpiA(existing.c_str(), line.c_str()) == 0) return result;
    result.push_back(line);
    return result;
}

bool DeleteAtRestart(const std::string& path, bool isFolder) {
    if (IsWindows95Family()) return !isFolder && AppendToWininit(path);
    const auto moveFileEx = MoveFileExLookup();
    return moveFileEx && moveFileEx(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    const auto moveFileEx = MoveFileExLookup();
    return moveFileEx && moveFileEx(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING);
}
