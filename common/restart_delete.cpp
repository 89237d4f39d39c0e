#include "restart_delete.h"

#include <windows.h>

#include "platform.h"
#include "system_function.h"
#include "text.h"

namespace {

using MoveFileExFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
// Unicode: other programs' entries may name any file; the 95 family has none.
using RegQueryValueExWFunction = LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using RegSetValueExWFunction = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
using RegDeleteValueWFunction = LONG(WINAPI*)(HKEY, LPCWSTR);

const char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingValue[] = L"PendingFileRenameOperations";

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

bool WriteSection(const std::vector<std::string>& lines) {
    // The same key stands on several lines: the section is written whole.
    std::string section;
    for (const std::string& line : lines) section += line + '\0';
    section += '\0';
    return WritePrivateProfileSectionA(kRenameSection, section.c_str(), kWininit) != FALSE;
}

void CancelPendingOperations(const std::vector<std::string>& paths) {
    static const auto query = SystemFunction<RegQueryValueExWFunction>("advapi32.dll", "RegQueryValueExW");
    static const auto set = SystemFunction<RegSetValueExWFunction>("advapi32.dll", "RegSetValueExW");
    static const auto remove = SystemFunction<RegDeleteValueWFunction>("advapi32.dll", "RegDeleteValueW");
    HKEY key = nullptr;
    if (!query || !set || !remove ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
            ERROR_SUCCESS)
        return;
    DWORD type = 0, size = 0;
    if (query(key, kPendingValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_MULTI_SZ &&
        size > 0) {
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
        if (query(key, kPendingValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
            ERROR_SUCCESS) {
            // Empty texts belong to the list (a deletion's target): split by
            // the size, not at the first empty one.
            std::vector<std::wstring> entries;
            const size_t count = size / sizeof(wchar_t);
            for (size_t at = 0; at < count;) {
                size_t end = at;
                while (end < count && data[end] != L'\0') ++end;
                entries.emplace_back(data.data() + at, end - at);
                at = end + 1;
            }
            // The list's closing zero.
            if (entries.size() % 2 == 1 && entries.back().empty()) entries.pop_back();
            const std::vector<std::wstring> kept = PendingOperationsWithout(entries, paths);
            if (kept.size() != entries.size()) {
                std::wstring joined;
                for (const std::wstring& entry : kept) joined += entry + L'\0';
                joined += L'\0';
                if (kept.empty())
                    remove(key, kPendingValue);
                else
                    set(key, kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(joined.c_str()),
                        static_cast<DWORD>(joined.size() * sizeof(wchar_t)));
            }
        }
    }
    RegCloseKey(key);
}

bool AppendToWininit(const std::string& path) {
    char shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    return WriteSection(RenameLinesWith(ReadSection(), shortPath));
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

std::vector<std::string> RenameLinesWithout(const std::vector<std::string>& lines,
                                            const std::vector<std::string>& shortPaths) {
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        bool ours = false;
        for (const std::string& shortPath : shortPaths)
            ours |= lstrcmpiA(line.c_str(), ("NUL=" + shortPath).c_str()) == 0;
        if (!ours) kept.push_back(line);
    }
    return kept;
}

std::vector<std::wstring> PendingOperationsWithout(const std::vector<std::wstring>& entries,
                                                   const std::vector<std::string>& paths) {
    std::vector<std::wstring> kept;
    for (size_t i = 0; i + 1 < entries.size(); i += 2) {
        bool ours = false;
        if (entries[i + 1].empty()) {
            // In the user's code page, for comparing with a path.
            std::string source = AnsiFromWide(entries[i]);
            if (source.compare(0, 4, "\\??\\") == 0) source.erase(0, 4);
            for (const std::string& path : paths) ours |= lstrcmpiA(source.c_str(), path.c_str()) == 0;
        }
        if (!ours) kept.insert(kept.end(), {entries[i], entries[i + 1]});
    }
    return kept;
}

void CancelDeletionAtRestart(const std::vector<std::string>& paths) {
    if (!IsWindows95Family()) return CancelPendingOperations(paths);
    std::vector<std::string> shortPaths;
    for (const std::string& path : paths) {
        char shortPath[MAX_PATH] = {};
        const DWORD length = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
        if (length > 0 && length < MAX_PATH) shortPaths.push_back(shortPath);
    }
    const std::vector<std::string> lines = ReadSection();
    const std::vector<std::string> kept = RenameLinesWithout(lines, shortPaths);
    if (kept.size() != lines.size()) WriteSection(kept);
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
