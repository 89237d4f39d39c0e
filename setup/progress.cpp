#include "progress.h"

#include <commctrl.h>

void ProgressReporter::SetStatus(const std::string& text) const {
    if (!status) return;
    SetWindowTextA(status, text.c_str());
    UpdateWindow(status);
}

void ProgressReporter::Step() const {
    if (!bar) return;
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    UpdateWindow(bar);
}
