#include "sync_window.h"

int CloseRunningInstances(int maxSends, DWORD timeLimitMs, UINT sendTimeoutMs) {
    const DWORD start = GetTickCount();
    int sends = 0;
    for (HWND w = FindWindowA(kSyncClassName, nullptr); w != nullptr;
         w = FindWindowA(kSyncClassName, nullptr)) {
        if (sends >= maxSends || GetTickCount() - start >= timeLimitMs) break;
        DWORD_PTR ignored = 0;
        // The instance destroys its sync window while handling the message,
        // so the next search finds the next instance, if any.
        SendMessageTimeoutA(w, WM_DESTROY, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            sendTimeoutMs, &ignored);
        ++sends;
    }
    return sends;
}
