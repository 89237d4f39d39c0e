// What the installation is given and what it gives back.
#pragma once

#include <string>
#include <utility>

#include "exit_codes.h"

// A failed step inside the installation: the message to show, nothing more.
class SetupError {
public:
    explicit SetupError(std::string text) : text_(std::move(text)) {}
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// What the options dialog asks; every option is on until the user says
// otherwise.
struct InstallOptions {
    std::string folder;  // the installation folder, without a trailing backslash
    // Shortcuts in the folders of all users (setup run as SYSTEM, or with
    // /AllUsers), not only the current user's.
    bool allUsers = false;
    bool startWithWindows = true;
    bool desktopShortcut = true;
    bool startMenuShortcut = true;
    bool startMinimized = true;
};

// The step that failed; its number is setup's exit code.
enum class InstallStep {
    None = kExitSuccess,
    Payload = kExitFiles,
    Registry = kExitRegistry,
    Shortcuts = kExitShortcuts,
    // A running copy of the installed program could not be closed: nothing
    // was written.
    StillRunning = kExitStillRunning,
};

struct InstallResult {
    InstallStep failedStep = InstallStep::None;
    // What went wrong, in the words setup shows.
    std::string text;
    // The program group made, to be opened when everything went well; empty
    // when the shell gave no Programs folder.
    std::string programGroup;

    bool succeeded() const { return failedStep == InstallStep::None; }
};

inline InstallResult FailedAt(InstallStep step, std::string text) {
    InstallResult result;
    result.failedStep = step;
    result.text = std::move(text);
    return result;
}
