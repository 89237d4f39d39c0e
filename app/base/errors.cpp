#include "errors.h"

#include <cstdlib>

#include "message_box.h"
#include "text.h"

namespace {

ErrorOwnerFunction OwnerOfBoxes = nullptr;
FatalCleanupFunction BeforeFatalExit = nullptr;

HWND BoxOwner() {
    return OwnerOfBoxes ? OwnerOfBoxes() : nullptr;
}

const ErrorKind* FindKind(int code) {
    for (const ErrorKind& kind : kErrorKinds)
        if (kind.code == code) return &kind;
    return nullptr;
}

// In a buffer of its own, so that the out-of-memory error needs no memory.
void ShowAlert(int code, const char* detail) {
    char text[1024];
    const size_t prefix = CopyBounded(text, sizeof(text), ErrorPrefix(code));
    CopyBounded(text + prefix, sizeof(text) - prefix, detail);
    SystemLanguageBox(BoxOwner(), text, "Alert", MB_OK | MB_ICONHAND);
}

[[noreturn]] void EndAfterCriticalError() {
    SystemLanguageBox(BoxOwner(), "A Critical Error Has ocurred, the program will quit now",
                      "Error", MB_OK | MB_ICONHAND);
    // The runtime's normal exit processing still runs; the shutdown
    // sequence of the main window does not, but its tray icon goes.
    if (BeforeFatalExit) BeforeFatalExit();
    std::exit(0);
}

}  // namespace

const char* ErrorPrefix(int code) {
    const ErrorKind* kind = FindKind(code);
    return kind ? kind->prefix : "";
}

Severity ErrorSeverity(int code) {
    const ErrorKind* kind = FindKind(code);
    return kind ? kind->severity : Severity::None;
}

void SetErrorHooks(ErrorOwnerFunction owner, FatalCleanupFunction beforeFatalExit) {
    OwnerOfBoxes = owner;
    BeforeFatalExit = beforeFatalExit;
}

void ResetErrors() {
    SetErrorHooks(nullptr, nullptr);
}

void ReportError(int code, const std::string& detail) {
    ShowAlert(code, detail.c_str());
    ReportFollowUp(ErrorSeverity(code));
}

void ReportFatalError(int code, const std::string& detail) {
    ShowAlert(code, detail.c_str());
    EndAfterCriticalError();
}

void ReportOutOfMemory() noexcept {
    ShowAlert(ErrorNoMemory, kStringBufferDetail);
    EndAfterCriticalError();
}

void ReportFollowUp(Severity severity) {
    switch (severity) {
    case Severity::None:
        return;
    case Severity::AskToQuit:
        if (SystemLanguageBox(BoxOwner(),
                              "Program can keep operating\nBut it's recommended to shut it down\n"
                              "Would you like to quit?",
                              "Error", MB_YESNO | MB_ICONHAND) == IDYES)
            PostQuitMessage(0);  // the loop's end shuts the main window down
        return;
    case Severity::Fatal:
        EndAfterCriticalError();
    }
}
