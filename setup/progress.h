// Where the installation shows how far it is: the progress dialog's bar and
// status text. Without a dialog (a test) both are null and nothing shows.
#pragma once

#include <windows.h>

#include <string>

struct ProgressReporter {
    HWND owner = nullptr;
    HWND bar = nullptr;
    HWND status = nullptr;

    // Paints the text at once, since the installation keeps the message loop
    // busy.
    void SetStatus(const std::string& text) const;
    // One step of the bar.
    void Step() const;
};
