// Works a modal dialog of this process from a helper thread, while the
// test's own thread sits in the dialog's loop.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "harness.h"
#include "threads.h"

// Works a modal dialog of this process from a helper thread: waits for the
// dialog with that caption, runs the steps on it and, should the steps leave
// it open, cancels it so that the test's thread is never stuck in it.
class DialogDriver {
public:
    DialogDriver(const char* caption, std::function<void(HWND)> steps)
        : thread_([this, caption, steps] {
              HWND dialog = nullptr;
              harness::WaitUntil([&] {
                  dialog = harness::FindTopWindow("#32770", caption, GetCurrentProcessId());
                  return dialog && IsWindowVisible(dialog);
              });
              if (!dialog) return;
              found_ = true;
              steps(dialog);
              if (!harness::WaitUntil([dialog] { return !IsWindow(dialog); })) {
                  leftOpen_ = true;
                  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
              }
          }) {}
    ~DialogDriver() { Finish(); }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    void Finish() {
        thread_.join();
    }
    bool found() const { return found_; }
    bool leftOpen() const { return leftOpen_; }

private:
    std::atomic<bool> found_{false};
    std::atomic<bool> leftOpen_{false};
    harness::Thread thread_;
};

// Opens a dialog through the main window's menu command while the driver
// works it; returns once the dialog has ended.
inline void RunDialog(HWND mainWindow, UINT command, DialogDriver& driver) {
    SendMessageA(mainWindow, WM_COMMAND, command, 0);
    driver.Finish();
    EXPECT_TRUE(driver.found()) << "the dialog never showed";
    EXPECT_FALSE(driver.leftOpen()) << "the dialog had to be cancelled";
}

inline void PointAt(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// A key as the X server delivers it. Without a window manager the keyboard
// goes where the pointer is, so the pointer rests on the window.
inline bool PressKey(HWND window, const char* key) {
    PointAt(window);
    return harness::StartUnixProgram("/usr/bin/xdotool", std::string("key ") + key);
}

// Presses the key again until done() holds, a few times: a key pressed while
// X still delivers to a box that has just gone is lost. For keys whose
// second press changes nothing more.
inline bool PressKeyUntil(HWND window, const char* key, const std::function<bool()>& done) {
    for (int attempt = 0; attempt < 3; ++attempt)
        if (PressKey(window, key) && harness::WaitUntil(done, 5000)) return true;
    return false;
}
