#include "status_bar.h"

#include <commctrl.h>

HWND StatusBar = nullptr;

void SetStatusText(int part, const char* text) {
    if (StatusBar) SendMessageA(StatusBar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text));
}
