// Watches setup's progress dialog from inside the setup process, where its
// steps happen too fast to be seen from outside: a test hooks setup's thread
// with ProbeCallWndProc, and every status text (with the bar's position at
// that moment) and the bar's last position are appended to the file named
// by the environment variable HL_PROBE_LOG, one "kind|position|text" line
// each.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

namespace {

constexpr int kProgressBarId = 1012;
constexpr int kStatusTextId = 1013;

void Append(const char* kind, LRESULT position, const char* text) {
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("HL_PROBE_LOG", path, MAX_PATH)) return;
    FILE* log = std::fopen(path, "ab");
    if (!log) return;
    std::fprintf(log, "%s|%d|%s\n", kind, static_cast<int>(position), text ? text : "");
    std::fclose(log);
}

bool IsProgressBar(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return lstrcmpiA(name, PROGRESS_CLASSA) == 0;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeCallWndProc(int code, WPARAM wParam,
                                                                   LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (sent->message == WM_SETTEXT && GetDlgCtrlID(sent->hwnd) == kStatusTextId) {
            HWND bar = GetDlgItem(GetParent(sent->hwnd), kProgressBarId);
            if (bar)
                Append("status", SendMessageA(bar, PBM_GETPOS, 0, 0),
                       reinterpret_cast<const char*>(sent->lParam));
        } else if (sent->message == WM_DESTROY && IsProgressBar(sent->hwnd)) {
            char range[32] = {};
            std::snprintf(range, sizeof(range), "%d..%d",
                          static_cast<int>(SendMessageA(sent->hwnd, PBM_GETRANGE, TRUE, 0)),
                          static_cast<int>(SendMessageA(sent->hwnd, PBM_GETRANGE, FALSE, 0)));
            Append("end", SendMessageA(sent->hwnd, PBM_GETPOS, 0, 0), range);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
