// The monitoring engine: timer 1 of the main window calls MonitorTick.
#pragma once

#include <windows.h>

// The main window's timer that drives the tick.
constexpr UINT kMonitorTimerId = 1;

// True while monitoring is stopped (Pause); not saved.
extern bool MonitoringPaused;
// Pointer position, in client coordinates of the target's container, when a
// tick last acted.
extern POINT LastActivationPoint;

void CALLBACK MonitorTick(HWND window, UINT message, UINT_PTR timerId, DWORD time);

// The call that brings a document to the top: SetWindowPos. Windows refuses
// it with access denied for a program with higher rights, which Wine never
// does; a test puts a refusing call in its place. ResetMonitor puts the
// system's back.
using SetWindowPosFunction = BOOL(WINAPI*)(HWND, HWND, int, int, int, int, UINT);
extern SetWindowPosFunction SwitchWindowCall;

// (Re)starts the owner's monitoring timer with the monitoring delay, which
// applies from then on.
void StartMonitorTimer(HWND owner);
// Running, and no activation recorded.
void ResetMonitor();
// Stops the ticks while the session is away; StartMonitorTimer brings them
// back.
void StopMonitoring(HWND owner);
// A tick that cannot read the pointer (another desktop has the input)
// stops the ticks; the owner's slower timer calls this to start them again
// once the pointer can be read.
void ResumeWhenInputIsBack(HWND owner);

// Wait While Typing: a key the user pressed, anywhere, at that tick count.
void NoteKeyPressed(DWORD tick);
constexpr DWORD kTypingPauseMs = 1000;
// Whether a key pressed at lastKey still holds a switch back at now.
inline bool TypingHoldsBack(DWORD now, DWORD lastKey, bool keySeen) {
    return keySeen && now - lastKey < kTypingPauseMs;
}

// How long the tick waits for a program to answer before it leaves the
// program alone: well under the monitoring time, so that a program that
// hangs never holds hoverlane up for long, nor gets its switch late.
inline UINT AnswerBoundMs(DWORD monitorDelay) {
    const DWORD third = monitorDelay / 3;
    return static_cast<UINT>(third < 20 ? 20 : third > 150 ? 150 : third);
}
