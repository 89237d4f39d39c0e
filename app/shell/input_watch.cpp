#include "input_watch.h"

#include "system_function.h"

namespace {

// Raw input, Windows XP and later.
struct RawKeyboardDevice {
    USHORT usagePage;
    USHORT usage;
    DWORD flags;
    HWND target;
};
using RegisterRawInputFunction = BOOL(WINAPI*)(const RawKeyboardDevice*, UINT, UINT);
constexpr USHORT kGenericDesktopPage = 1;
constexpr USHORT kKeyboardUsage = 6;
constexpr DWORD kInputSink = 0x100;  // RIDEV_INPUTSINK: also while not in the foreground
constexpr DWORD kRemove = 0x001;     // RIDEV_REMOVE

RegisterRawInputFunction RegisterRawInput() {
    static const auto found =
        SystemFunction<RegisterRawInputFunction>("user32.dll", "RegisterRawInputDevices");
    return found;
}

// Session notifications live in wtsapi32, which nothing else loads.
using RegisterSessionFunction = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionFunction = BOOL(WINAPI*)(HWND);
constexpr DWORD kThisSession = 0;  // NOTIFY_FOR_THIS_SESSION

// WM_WTSSESSION_CHANGE codes.
constexpr WPARAM kConsoleConnect = 0x1, kConsoleDisconnect = 0x2, kRemoteConnect = 0x3,
                 kRemoteDisconnect = 0x4, kSessionLock = 0x7, kSessionUnlock = 0x8;

// Whether the system took the registration, and where the session stands.
bool Watched = false;
SessionState Session;

}  // namespace

bool CanWatchTyping() {
    return RegisterRawInput() != nullptr;
}

void WatchTyping(HWND window, bool on) {
    const auto registerRawInput = RegisterRawInput();
    if (!registerRawInput) return;
    const RawKeyboardDevice keyboard = {kGenericDesktopPage, kKeyboardUsage,
                                        on ? kInputSink : kRemove, on ? window : nullptr};
    registerRawInput(&keyboard, 1, sizeof(keyboard));
}

void WatchSession(HWND window) {
    static const auto registerSession =
        SystemFunction<RegisterSessionFunction>("wtsapi32.dll", "WTSRegisterSessionNotification");
    Session = SessionState();
    Watched = registerSession && registerSession(window, kThisSession);
}

void UnwatchSession(HWND window) {
    static const auto unregisterSession = SystemFunction<UnregisterSessionFunction>(
        "wtsapi32.dll", "WTSUnRegisterSessionNotification");
    if (Watched && unregisterSession) unregisterSession(window);
    Watched = false;
}

bool SessionWatched() {
    return Watched;
}

SessionState AfterSessionChange(SessionState state, WPARAM code) {
    switch (code) {
    case kSessionLock:
        state.locked = true;
        break;
    case kSessionUnlock:
        state.locked = false;
        break;
    case kConsoleDisconnect:
    case kRemoteDisconnect:
        state.disconnected = true;
        break;
    case kConsoleConnect:
    case kRemoteConnect:
        state.disconnected = false;
        break;
    default:
        break;
    }
    return state;
}

SessionChange NoteSessionChange(WPARAM code) {
    const bool wasPresent = Session.present();
    Session = AfterSessionChange(Session, code);
    if (wasPresent == Session.present()) return SessionChange::None;
    return Session.present() ? SessionChange::Back : SessionChange::Away;
}
