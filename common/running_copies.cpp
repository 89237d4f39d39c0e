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
struct RmUniqueProcess {  // RM_UNIQUE_PROCESS
    DWORD processId;
    FILETIME startTime;
};
using RmStartSessionFunction = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
using RmRegisterResourcesFunction = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RmUniqueProcess*, UINT,
                                                   LPCWSTR*);
using RmShutdownFunction = DWORD(WINAPI*)(DWORD, ULONG, void*);
using RmEndSessionFunction = DWORD(WINAPI*)(DWORD);
using GetProcessTimesFunction = BOOL(WINAPI*)(HANDLE, FILETIME*, FILETIME*, FILETIME*, FILETIME*);
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

// One Restart Manager session's forced shutdown, run on a thread of its own:
// it waits up to 30 seconds for a copy that does not answer, longer than a
// caller may wait.
struct Shutdown {
    RmShutdownFunction shutDown;
    RmEndSessionFunction end;
    DWORD session;
};

DWORD WINAPI RunShutdown(void* call) {
    const Shutdown* shutdown = static_cast<const Shutdown*>(call);
    const DWORD result = shutdown->shutDown(shutdown->session, kRmForceShutdown, nullptr);
    if (result != ERROR_SUCCESS) LogFailure("The Restart Manager could not close every copy", result);
    shutdown->end(shutdown->session);
    delete shutdown;
    return 0;
}

// Asks exactly these processes to close, in any session, and waits for that
// at most waitMs. Given the processes, never the file: the Restart Manager
// would close every program that has it open (Explorer, a scanner, the
// hoverlane that waits for the uninstaller).
void CloseThroughRestartManager(const std::vector<DWORD>& processes, DWORD waitMs) {
    static const auto start = SystemFunction<RmStartSessionFunction>("rstrtmgr.dll", "RmStartSession");
    static const auto registerProcesses =
        SystemFunction<RmRegisterResourcesFunction>("rstrtmgr.dll", "RmRegisterResources");
    static const auto shutDown = SystemFunction<RmShutdownFunction>("rstrtmgr.dll", "RmShutdown");
    static const auto end = SystemFunction<RmEndSessionFunction>("rstrtmgr.dll", "RmEndSession");
    static const auto processTimes = SystemFunction<GetProcessTimesFunction>("kernel32.dll", "GetProcessTimes");
    if (!start || !registerProcesses || !shutDown || !end || !processTimes) return;
    // A process is known by its id and start time, so that a new process
    // that got the id of one that ended is never taken for it.
    std::vector<RmUniqueProcess> unique;
    for (DWORD id : processes) {
        ScopedHandle process(OpenProcess(kQueryLimitedInformation, FALSE, id));
        FILETIME created = {}, exited = {}, kernel = {}, user = {};
        if (process && processTimes(process.get(), &created, &exited, &kernel, &user))
            unique.push_back({id, created});
    }
    if (unique.empty()) return;
    DWORD session = 0;
    WCHAR key[kRmSessionKeyLength + 1] = {};
    const DWORD started = start(&session, 0, key);
    if (started != ERROR_SUCCESS) {
        LogFailure("The Restart Manager cannot start", started);
        return;
    }
    const DWORD registered =
        registerProcesses(session, 0, nullptr, static_cast<UINT>(unique.size()), unique.data(), 0, nullptr);
    if (registered != ERROR_SUCCESS) {
        LogFailure("The Restart Manager cannot take the running copies", registered);
        end(session);
        return;
    }
    // Forced: a copy that does not close in the Restart Manager's own time
    // is ended. A shutdown still going on when the wait is over goes on by
    // itself; nothing here waits for it.
    DWORD threadId = 0;
    Shutdown* call = new Shutdown{shutDown, end, session};
    const ScopedHandle thread(CreateThread(nullptr, 0, RunShutdown, call, 0, &threadId));
    if (!thread) {
        delete call;
        end(session);
        return;
    }
    WaitForSingleObject(thread.get(), waitMs);
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
    const std::vector<DWORD> copies = ProcessesRunning(programFile, ignore);
    if (copies.empty()) return true;
    const DWORD start = GetTickCount();
    CloseThroughRestartManager(copies, waitMs);
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
