#include "sync_window.h"

#include <vector>

#include "handles.h"

int CloseRunningInstances(int maxSends, DWORD timeLimitMs, UINT sendTimeoutMs, DWORD exitWaitMs) {
    const DWORD start = GetTickCount();
    int sends = 0;
    std::vector<ScopedHandle> closed;
    for (HWND w = FindWindowA(kSyncClassName, nullptr); w != nullptr;
         w = FindWindowA(kSyncClassName, nullptr)) {
        if (sends >= maxSends || GetTickCount() - start >= timeLimitMs) break;
        DWORD processId = 0;
        GetWindowThreadProcessId(w, &processId);
        ScopedHandle process(processId != GetCurrentProcessId()
                                 ? OpenProcess(SYNCHRONIZE, FALSE, processId)
                                 : nullptr);
        DWORD_PTR ignored = 0;
        // The instance destroys its sync window while handling the message,
        // so the next search finds the next instance, if any.
        SendMessageTimeoutA(w, WM_DESTROY, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            sendTimeoutMs, &ignored);
        ++sends;
        if (process && !IsWindow(w)) closed.push_back(std::move(process));
    }
    // A closed instance still holds its program file until its process has
    // ended, which a busy machine may take a while to do.
    const DWORD waitStart = GetTickCount();
    for (const ScopedHandle& process : closed) {
        const DWORD waited = GetTickCount() - waitStart;
        if (waited >= exitWaitMs) break;
        WaitForSingleObject(process.get(), exitWaitMs - waited);
    }
    return sends;
}
