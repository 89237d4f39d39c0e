#include "dialogs.h"

#include <commctrl.h>

#include "errors.h"
#include "monitor.h"
#include "resource.h"
#include "settings.h"
#include "text.h"

WORD SliderPosition = 0;

void ResetDialogs() {
    SliderPosition = 0;
}

static INT_PTR AboutDialogProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// Called by Windows: an exception stops here (see Guarded).
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded([&] { return AboutDialogProcUnguarded(dialog, message, wParam, lParam); });
}

void FormatSliderLabel(WORD position, char* text, size_t capacity) {
    // The system's formatting, not the C runtime's printf, which on the 95
    // family leans on a lookup that fails there.
    char label[16];
    wsprintfA(label, "%u ms", static_cast<unsigned>(position));
    CopyBounded(text, capacity, label);
}

namespace {

void InitMonitorTimeDialog(HWND dialog, HWND slider) {
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(kSliderMin, kSliderMax));
    SendMessageA(slider, TBM_SETPAGESIZE, 0, kSliderPage);
    SendMessageA(slider, TBM_SETLINESIZE, 0, kSliderLine);
    SendMessageA(slider, TBM_SETTICFREQ, kSliderTickFrequency, 0);
    SendMessageA(slider, TBM_SETPOS, TRUE, static_cast<LPARAM>(MonitorDelay));
    // A thumb-track notification carrying the delay itself, so the label
    // shows the delay as loaded even where the slider had to clamp it.
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, LOWORD(MonitorDelay)),
                 reinterpret_cast<LPARAM>(slider));
    SetFocus(slider);
}

void OnSliderScroll(HWND dialog, HWND slider, WPARAM wParam) {
    // Only the thumb codes carry a position; for the others ask the slider.
    SliderPosition = HIWORD(wParam);
    if (SliderPosition == 0)
        SliderPosition = static_cast<WORD>(SendMessageA(slider, TBM_GETPOS, 0, 0));
    char text[16];
    FormatSliderLabel(SliderPosition, text, sizeof(text));
    SetDlgItemTextA(dialog, IDC_TIME_VALUE, text);
}

}  // namespace

static INT_PTR MonitorTimeDialogProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    HWND slider = GetDlgItem(dialog, IDC_TIME_SLIDER);
    HWND owner = GetParent(dialog);
    switch (message) {
    case WM_INITDIALOG:
        InitMonitorTimeDialog(dialog, slider);
        break;
    case WM_HSCROLL:
        OnSliderScroll(dialog, slider, wParam);
        break;
    case WM_COMMAND:
        if (static_cast<short>(LOWORD(wParam)) == IDOK) {
            // Restarted at once, so the new period applies from now; it is
            // saved with the other settings at shutdown.
            MonitorDelay = SliderPosition;
            StartMonitorTimer(owner);
        }
        if (wParam == IDOK || wParam == IDCANCEL) EndDialog(dialog, wParam);
        break;
    default:
        break;
    }
    return FALSE;
}

// Called by Windows: an exception stops here (see Guarded).
INT_PTR CALLBACK MonitorTimeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded([&] { return MonitorTimeDialogProcUnguarded(dialog, message, wParam, lParam); });
}

INT_PTR ShowAboutBox(HINSTANCE instance, HWND owner) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0);
}

INT_PTR ShowMonitorTimeDialog(HINSTANCE instance, HWND owner) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MONITOR_TIME), owner,
                           MonitorTimeDialogProc, 0);
}
