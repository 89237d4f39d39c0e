#include "running_copies.h"

#include <tlhelp32.h>

#include "handles.h"
#include "install_log.h"
#include "system_function.h"

namespace {

constexpr DWORD kQueryLimitedInformation = 0x1000;  // Vista and later

using QueryImageFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
using ModuleFileFunction = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);

// The Restart Manager (Vista and later), Unicode only.
using RmStartSessionFunction = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
using RmRegisterResourcesFunction = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, void*, UINT, LPCWSTR*);
using RmShutdownFunction = DWORD(WINAPI*)(DWORD, ULONG, void*);
using RmEndSessionFunction = DWORD(WINAPI*)(DWORD);
constexpr ULONG kRmForceShutdown = 0x1;
constexpr int kRmSessionKeyLength = 32;  // CCH_RM_SESSION_KEY

// The full path of a process's program file; empty when it cannot be read.
// toolhelp's name is the whole path only on the 95 family.
std::string ImageOf(const PROCESSENTRY32& entry) {
    static const auto queryImage =
        SystemFunction<QueryImageFunction>("kernel32.dll", "QueryFullProcessImageNameA");
    static const auto moduleFile = SystemFunction<ModuleFileFunction>("psapi.dll", "GetModuleFileNameExA");
    char path[MAX_PATH] = {};
    if (queryImage) {
        ScopedHandle process(OpenProcess(kQueryLimitedInformation, FALSE, entry.th32ProcessID));
        DWORD size = MAX_PATH;
        if (process && queryImage(process.get(), 0, path, &size)) return std::string(path, size);
    }
    if (moduleFile) {
        ScopedHandle process(
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID));
        const DWORD length = process ? moduleFile(process.get(), nullptr, path, MAX_PATH) : 0;
        if (length > 0 && length < MAX_PATH) return std::string(path, length);
    }
    return entry.szExeFile;
}

template <typename Visit>
void ForEachProcess(Visit visit) {
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
        visit(entry);
}

// Asks every process that has the file open to close, in any session.
void CloseThroughRestartManager(const std::string& programFile) {
    static const auto start = SystemFunction<RmStartSessionFunction>("rstrtmgr.dll", "RmStartSession");
    static const auto registerFiles =
        SystemFunction<RmRegisterResourcesFunction>("rstrtmgr.dll", "RmRegisterResources");
    static const auto shutDown = SystemFunction<RmShutdownFunction>("rstrtmgr.dll", "RmShutdown");
    static const auto end = SystemFunction<RmEndSessionFunction>("rstrtmgr.dll", "RmEndSession");
    if (!start || !registerFiles || !shutDown || !end) return;
    WCHAR file[MAX_PATH] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, programFile.c_str(), -1, file, MAX_PATH)) return;
    DWORD session = 0;
    WCHAR key[kRmSessionKeyLength + 1] = {};
    const DWORD started = start(&session, 0, key);
    if (started != ERROR_SUCCESS) {
        LogFailure("The Restart Manager cannot start", started);
        return;
    }
    LPCWSTR files[] = {file};
    // Forced: a copy that does not close in the Restart Manager's own time
    // is ended, so that nothing waits for it.
    DWORD result = registerFiles(session, 1, files, 0, nullptr, 0, nullptr);
    if (result == ERROR_SUCCESS) result = shutDown(session, kRmForceShutdown, nullptr);
    if (result != ERROR_SUCCESS) LogFailure("The Restart Manager could not close " + programFile, result);
    end(session);
}

}  // namespace

std::vector<DWORD> ProcessesRunning(const std::string& programFile, DWORD ignore) {
    std::vector<DWORD> running;
    const DWORD self = GetCurrentProcessId();
    ForEachProcess([&](const PROCESSENTRY32& entry) {
        if (entry.th32ProcessID == self || entry.th32ProcessID == ignore || entry.th32ProcessID == 0) return;
        if (lstrcmpiA(ImageOf(entry).c_str(), programFile.c_str()) == 0) running.push_back(entry.th32ProcessID);
    });
    return running;
}

DWORD ParentProcessId() {
    DWORD parent = 0;
    const DWORD self = GetCurrentProcessId();
    ForEachProcess([&](const PROCESSENTRY32& entry) {
        if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
    });
    return parent;
}

bool CloseRunningCopies(const std::string& programFile, DWORD ignore, DWORD waitMs) {
    if (ProcessesRunning(programFile, ignore).empty()) return true;
    CloseThroughRestartManager(programFile);
    const DWORD start = GetTickCount();
    for (;;) {
        const std::vector<DWORD> running = ProcessesRunning(programFile, ignore);
        if (running.empty()) return true;
        if (GetTickCount() - start >= waitMs) {
            for (DWORD id : running) {
                char text[64];
                wsprintfA(text, "Still running (process %lu): ", static_cast<unsigned long>(id));
                LogLine(text + programFile);
            }
            return false;
        }
        Sleep(100);
    }
}
