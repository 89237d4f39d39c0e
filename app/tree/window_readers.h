// What the tree reads of a window, its own or another program's. None of
// these asks the window's program anything: a program that hangs must not
// hold hoverlane up.
#pragma once

#include <windows.h>

#include "ui_text.h"

UiText GetWindowTitle(HWND window);
// Captioned, visible, titled and alive.
bool IsAcceptableWindow(HWND window);
// The title is not empty (one call, whatever the title's length).
bool HasTitle(HWND window);
// True when candidate is window itself or one of its ancestors.
bool IsWindowWithin(HWND window, HWND candidate);
// The program file that made the window (its module; else its process's
// program file); empty when it cannot be read. The 95 family asks the
// window, the NT family its process.
UiText ModulePathOf(HWND window, DWORD processId);
