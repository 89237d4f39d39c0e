// The main window's status bar, as the tree and the monitoring write to it:
// part 0 names the selected program, part 1 the registered program under
// the pointer. The main window makes the bar and hands its handle here.
#pragma once

#include <windows.h>

#include "ui_text.h"

extern HWND StatusBar;

// Nothing while there is no bar.
void SetStatusText(int part, const UiChar* text);
