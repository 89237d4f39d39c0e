#include "monitor.h"

#include "errors.h"
#include "keep_in_sight.h"
#include "settings.h"
#include "status_bar.h"
#include "tree_items.h"
#include "window_readers.h"

bool MonitoringPaused = false;
POINT LastActivationPoint = {0, 0};
SetWindowPosFunction SwitchWindowCall = SetWindowPos;

namespace {

// The pointer at the previous look, for Switch When The Pointer Rests.
POINT PreviousLook = {0, 0};
// When the user last pressed a key (GetTickCount), for Wait While Typing.
DWORD LastKeyTick = 0;
bool KeySeen = false;
// The pointer could not be read: the input goes to another desktop (the
// lock screen, an elevation prompt). The ticks wait for it to come back.
bool InputElsewhere = false;

constexpr DWORD kBusyFlags[] = {GUI_POPUPMENUMODE, GUI_INMOVESIZE, GUI_INMENUMODE,
                                GUI_SYSTEMMENUMODE};

// The foreground thread is in a menu, moving or sizing a window, or drags
// with the mouse captured inside the top document. Activating then would
// pull the ground from under the user's hand. A state that cannot be read
// counts as idle.
bool ForegroundIsBusy(HWND top) {
    GUITHREADINFO state = {};
    state.cbSize = sizeof(state);
    if (!GetGUIThreadInfo(0, &state)) return false;
    for (DWORD flag : kBusyFlags)
        if (state.flags & flag) return true;
    return state.hwndCapture && top && IsWindowWithin(state.hwndCapture, top);
}

// Whether the thread of the window answers at once. SMTO_BLOCK: no message
// of anyone else reaches this thread meanwhile (one could end the tree
// under the tick's feet).
bool AnswersNow(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               AnswerBoundMs(MonitorDelay), &ignored) != 0;
}

// Brings the window to the top as BringWindowToTop does, but asks the
// window's own thread to do it instead of waiting for that thread.
// False when the system refused (higher rights).
bool BringToTopAsync(HWND window) {
    SetLastError(ERROR_SUCCESS);
    return SwitchWindowCall(window, HWND_TOP, 0, 0, 0, 0,
                            SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS) ||
           GetLastError() != ERROR_ACCESS_DENIED;
}

}  // namespace

void StartMonitorTimer(HWND owner) {
    KillTimer(owner, kMonitorTimerId);
    SetTimer(owner, kMonitorTimerId, MonitorDelay, MonitorTick);
}

void ResetMonitor() {
    MonitoringPaused = false;
    LastActivationPoint = {0, 0};
    PreviousLook = {0, 0};
    LastKeyTick = 0;
    KeySeen = false;
    InputElsewhere = false;
    SwitchWindowCall = SetWindowPos;
}

void NoteKeyPressed(DWORD tick) {
    LastKeyTick = tick;
    KeySeen = true;
}

void ResumeWhenInputIsBack(HWND owner) {
    POINT pointer;
    if (!InputElsewhere || !GetCursorPos(&pointer)) return;
    InputElsewhere = false;
    StartMonitorTimer(owner);
}

void StopMonitoring(HWND owner) {
    KillTimer(owner, kMonitorTimerId);
    InputElsewhere = false;
}

// Runs up to ten times a second for as long as the user is logged in: it
// allocates nothing, looks up one handle in the root's map and stops as
// early as it can, before anything is moved.
static void MonitorTickUnguarded(HWND owner, UINT, UINT_PTR, DWORD) {
    if (!SelectedNode) SelectedNode = RootNode.get();
    if (MonitoringPaused || !SelectedNode || !RootNode) return;

    POINT screen = {};
    if (!GetCursorPos(&screen)) {
        // Nothing to look at until the input comes back here.
        KillTimer(owner, kMonitorTimerId);
        InputElsewhere = true;
        return;
    }
    const bool resting = screen.x == PreviousLook.x && screen.y == PreviousLook.y;
    PreviousLook = screen;
    const HWND topLevel = RealChildWindowFromPoint(RootNode->window, screen);
    if (!topLevel) return;

    const UiChar* status = UI_TEXT("");
    if (topLevel == SelectedNode->window) {
        TargetNode = SelectedNode;
    } else {
        const auto found = RootNode->children.find(topLevel);
        if (found == RootNode->children.end() || !found->second->registered) return;
        TargetNode = found->second.get();
        status = TargetNode->programName.c_str();
    }
    SetStatusText(1, status);

    // A program with higher rights refuses every switch: not tried again.
    if (TargetNode->elevated) return;
    const HWND container = TargetNode->container;
    if (!container) return;  // a program that has lost its container holds no documents
    const HWND top = GetTopWindow(container);

    if (TargetNode->processId && ForegroundIsBusy(top)) return;

    POINT point = screen;
    ScreenToClient(container, &point);
    if (point.x == LastActivationPoint.x && point.y == LastActivationPoint.y) return;

    const HWND under = RealChildWindowFromPoint(container, point);
    if (!under || under == top) return;
    // A modal dialog (Find, Save As) disables the frame and works on the
    // active document: that one stays until the dialog is closed. Asked
    // only once a switch is near; a resting pointer stops earlier.
    if (!IsWindowEnabled(TargetNode->window)) return;

    const int cy = GetSystemMetrics(SM_CYCAPTION);

    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (top && GetWindowPlacement(top, &placement) && placement.showCmd == SW_SHOWMAXIMIZED) {
        LastActivationPoint = point;
        return;
    }

    // The guards the user chose: the pointer must have rested since the
    // last look, no key may have been pressed in the last second, and Shift
    // may not be held down (the user reaches across documents for a menu
    // or a tool bar).
    if (SwitchWhenResting && !resting) return;
    if (WaitWhileTyping && TypingHoldsBack(GetTickCount(), LastKeyTick, KeySeen)) return;
    if (HoldShiftToWait && (GetAsyncKeyState(VK_SHIFT) & 0x8000)) return;

    // A program that does not answer now would get the switch late, once
    // it answers again, when the pointer may be long gone: it is left
    // alone, also when it answers again while the pointer stays here.
    LastActivationPoint = point;
    if (!AnswersNow(under)) return;

    if (AlwaysInSight) KeepInSight(under, container, cy);
    if (!BringToTopAsync(under)) {
        TargetNode->elevated = true;
        if (TargetNode == SelectedNode) SetStatusText(0, SelectionStatusText(TargetNode));
    }
}

// Called by Windows: an exception stops here (see Guarded).
void CALLBACK MonitorTick(HWND owner, UINT message, UINT_PTR timerId, DWORD time) {
    return Guarded([&] { return MonitorTickUnguarded(owner, message, timerId, time); });
}
