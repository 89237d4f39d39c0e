#include "status_bar.h"

#include <commctrl.h>

HWND StatusBar = nullptr;

void SetStatusText(int part, const UiChar* text) {
    if (StatusBar) SendMessageA(StatusBar, kUiStatusSetText, part, reinterpret_cast<LPARAM>(text));
}
