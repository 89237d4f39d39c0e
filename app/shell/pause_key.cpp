#include "pause_key.h"

#include <commctrl.h>

#include "errors.h"
#include "message_box.h"
#include "resource.h"
#include "settings.h"

namespace {

const char kCaption[] = "Hoverlane";
const char kTypingKeyText[] =
    "This key would stop monitoring while you type. Choose a key that types nothing, such as "
    "Pause or F12, or hold down Ctrl or Alt with it.";
const char kTakenKeyText[] = "Another program uses this key. Choose another one.";

// The hot-key control's modifier flags against RegisterHotKey's.
struct ModifierPair {
    UINT control;
    UINT hotkey;
    const char* name;
};
const ModifierPair kModifiers[] = {
    {HOTKEYF_CONTROL, MOD_CONTROL, "Ctrl+"},
    {HOTKEYF_ALT, MOD_ALT, "Alt+"},
    {HOTKEYF_SHIFT, MOD_SHIFT, "Shift+"},
};

// Keys whose names need the extended-key flag: the cursor block, the
// keypad's slash, Num Lock (without it, the name is Pause's).
bool IsExtendedKey(UINT code) {
    return (code >= VK_PRIOR && code <= VK_DOWN) || code == VK_INSERT || code == VK_DELETE ||
           code == VK_DIVIDE || code == VK_NUMLOCK;
}

WORD ControlWordOf(DWORD key) {
    UINT flags = IsExtendedKey(LOWORD(key)) ? HOTKEYF_EXT : 0;
    for (const ModifierPair& pair : kModifiers)
        if (HIWORD(key) & pair.hotkey) flags |= pair.control;
    return MAKEWORD(LOWORD(key), flags);
}

DWORD KeyOfControlWord(WORD word) {
    UINT modifiers = 0;
    for (const ModifierPair& pair : kModifiers)
        if (HIBYTE(word) & pair.control) modifiers |= pair.hotkey;
    return MAKELONG(LOBYTE(word), modifiers);
}

void OnOk(HWND dialog, HWND owner) {
    const DWORD key = KeyOfControlWord(
        static_cast<WORD>(SendMessageA(GetDlgItem(dialog, IDC_PAUSE_KEY), HKM_GETHOTKEY, 0, 0)));
    if (!IsUsablePauseKey(key)) {
        SystemLanguageBox(dialog, kTypingKeyText, kCaption, MB_ICONEXCLAMATION);
        return;
    }
    if (!RegisterPauseKey(owner, key)) {
        SystemLanguageBox(dialog, kTakenKeyText, kCaption, MB_ICONEXCLAMATION);
        return;
    }
    PauseKey = key;
    EndDialog(dialog, IDOK);
}

static INT_PTR PauseKeyDialogProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    const HWND owner = GetParent(dialog);
    switch (message) {
    case WM_INITDIALOG:
        // While the user picks a key, it goes to the control, not to the
        // hotkey.
        UnregisterHotKey(owner, kPauseHotkeyId);
        SendMessageA(GetDlgItem(dialog, IDC_PAUSE_KEY), HKM_SETHOTKEY, ControlWordOf(PauseKey), 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            OnOk(dialog, owner);
        } else if (LOWORD(wParam) == IDCANCEL) {
            RegisterPauseKey(owner, PauseKey);
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

// Called by Windows: an exception stops here (see Guarded).
INT_PTR CALLBACK PauseKeyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded([&] { return PauseKeyDialogProcUnguarded(dialog, message, wParam, lParam); });
}

}  // namespace

bool RegisterPauseKey(HWND window, DWORD key) {
    UnregisterHotKey(window, kPauseHotkeyId);
    return RegisterHotKey(window, kPauseHotkeyId, HIWORD(key), LOWORD(key)) != FALSE;
}

std::string PauseKeyName(DWORD key) {
    std::string name;
    for (const ModifierPair& pair : kModifiers)
        if (HIWORD(key) & pair.hotkey) name += pair.name;
    const UINT code = LOWORD(key);
    const LONG scan = static_cast<LONG>(MapVirtualKeyA(code, 0) << 16) |
                      (IsExtendedKey(code) ? 1L << 24 : 0);
    char text[64] = {};
    if (GetKeyNameTextA(scan, text, sizeof(text)) > 0) return name + text;
    return name + "?";
}

INT_PTR ShowPauseKeyDialog(HINSTANCE instance, HWND owner) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PAUSE_KEY), owner, PauseKeyDialogProc, 0);
}
