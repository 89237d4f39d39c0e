#include "settings.h"

#include <shlwapi.h>

#include "errors.h"
#include "handles.h"
#include "registry_layout.h"

DWORD MonitorDelay = 0;
int AlwaysInSight = 0;
bool WaitWhileTyping = false;
bool SwitchWhenResting = false;
bool HoldShiftToWait = false;
DWORD PauseKey = kDefaultPauseKey;

namespace {

constexpr DWORD kDefaultDelay = 100;

// The guards that came after the first two settings: one byte each, any
// value but 0 is on; missing or unreadable, off.
struct Guard {
    const char* value;
    bool* setting;
};
const Guard kGuards[] = {
    {kWaitWhileTypingValue, &WaitWhileTyping},
    {kPointerRestsValue, &SwitchWhenResting},
    {kHoldShiftValue, &HoldShiftToWait},
};

// Keys of newer keyboards that type nothing: browser, volume, media and
// launch keys (VK_BROWSER_BACK to VK_LAUNCH_APP2).
constexpr UINT kFirstCommandKey = 0xA6, kLastCommandKey = 0xB7;
constexpr UINT kLeftShift = 0xA0, kRightMenu = 0xA5;  // VK_LSHIFT .. VK_RMENU

// The stored key, unless it is missing or one the user could not choose.
DWORD LoadPauseKey(HUSKEY key) {
    DWORD stored = 0, size = sizeof(stored);
    if (key && SHRegQueryUSValueA(key, kPauseKeyValue, nullptr, &stored, &size, FALSE, nullptr, 0) ==
                   ERROR_SUCCESS &&
        size == sizeof(stored) && IsUsablePauseKey(stored))
        return stored;
    return kDefaultPauseKey;
}

// One byte under the current user's key; false when it cannot be written.
bool WriteByte(HUSKEY key, const char* value, BYTE byte) {
    return SHRegWriteUSValueA(key, value, REG_BINARY, &byte, sizeof(byte), SHREGSET_FORCE_HKCU) ==
           ERROR_SUCCESS;
}

bool WriteDword(HUSKEY key, const char* value, DWORD number) {
    return SHRegWriteUSValueA(key, value, REG_DWORD, &number, sizeof(number), SHREGSET_FORCE_HKCU) ==
           ERROR_SUCCESS;
}

void LoadGuards(HUSKEY key) {
    for (const Guard& guard : kGuards) {
        BYTE on = 0;
        DWORD size = sizeof(on);
        *guard.setting = key && SHRegQueryUSValueA(key, guard.value, nullptr, &on, &size, FALSE,
                                                   nullptr, 0) == ERROR_SUCCESS &&
                         on != 0;
    }
}

}  // namespace

bool IsUsablePauseKey(DWORD key) {
    const UINT code = LOWORD(key), modifiers = HIWORD(key);
    if (code == 0 || code > 0xFE || (modifiers & ~(MOD_ALT | MOD_CONTROL | MOD_SHIFT)) != 0)
        return false;
    if (code == VK_SHIFT || code == VK_CONTROL || code == VK_MENU || code == VK_LWIN ||
        code == VK_RWIN || (code >= kLeftShift && code <= kRightMenu))
        return false;
    if (modifiers & (MOD_ALT | MOD_CONTROL)) return true;
    // Alone, or with Shift (which types capitals), only a key that types
    // nothing.
    return code == VK_PAUSE || code == VK_CANCEL || code == VK_SCROLL || code == VK_APPS ||
           (code >= VK_F1 && code <= VK_F24) || (code >= kFirstCommandKey && code <= kLastCommandKey);
}

void LoadSettings() {
    ScopedUsKey key;
    // Current user first, the machine's values as fallback.
    if (SHRegOpenUSKeyA(kProductKey, KEY_READ, nullptr, key.put(), FALSE) != ERROR_SUCCESS) {
        MonitorDelay = kDefaultDelay;
        AlwaysInSight = 0;
        LoadGuards(nullptr);
        PauseKey = kDefaultPauseKey;
        return;
    }
    LoadGuards(key.get());
    PauseKey = LoadPauseKey(key.get());

    // One byte into the low byte of the switch: a longer value does not fit
    // and counts as off.
    BYTE inSight = 0;
    DWORD size = sizeof(inSight);
    if (SHRegQueryUSValueA(key.get(), kAlwaysInSightValue, nullptr, &inSight, &size, FALSE, nullptr,
                           0) == ERROR_SUCCESS)
        AlwaysInSight = (AlwaysInSight & ~0xFF) | inSight;
    else
        AlwaysInSight = 0;

    DWORD delay = MonitorDelay;
    size = sizeof(delay);
    // A shorter value fills only its own bytes of the delay, as the stored
    // setting did; no range check, a hand-made delay is used as it is.
    if (SHRegQueryUSValueA(key.get(), kTimerValue, nullptr, &delay, &size, FALSE, nullptr, 0) ==
        ERROR_SUCCESS)
        MonitorDelay = delay;
    else
        MonitorDelay = kDefaultDelay;
}

void ResetSettings() {
    MonitorDelay = 0;
    AlwaysInSight = 0;
    WaitWhileTyping = false;
    SwitchWhenResting = false;
    HoldShiftToWait = false;
    PauseKey = kDefaultPauseKey;
}

void SaveSettings(bool reportFailures) {
    const auto fail = [reportFailures](const char* detail) {
        if (reportFailures) ReportError(ErrorRegistryWrite, detail);
    };
    ScopedUsKey key;
    LONG created = SHRegCreateUSKeyA(kProductKey, KEY_WRITE, nullptr, key.put(), SHREGSET_HKCU);
    // Some implementations (Wine's) report success for SHREGSET_HKCU without
    // handing out a key; ask for the current user's key outright then.
    if (created == ERROR_SUCCESS && !key)
        created = SHRegCreateUSKeyA(kProductKey, KEY_WRITE, nullptr, key.put(), SHREGSET_FORCE_HKCU);
    if (created != ERROR_SUCCESS || !key) {
        fail("Cannot open/create the registry key Hoverlane");
        return;
    }
    DWORD delay = MonitorDelay;
    if (!WriteDword(key.get(), kTimerValue, delay)) fail("Cannot write the settings");
    if (!WriteDword(key.get(), kPauseKeyValue, PauseKey)) fail("Cannot write the settings");
    if (!WriteByte(key.get(), kAlwaysInSightValue, static_cast<BYTE>(AlwaysInSight & 0xFF)))
        fail("Cannot write the settings");
    for (const Guard& guard : kGuards)
        if (!WriteByte(key.get(), guard.value, *guard.setting ? 1 : 0)) fail("Cannot write the settings");
}
