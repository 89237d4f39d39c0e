// What the installation is given and what it gives back.
#pragma once

#include <string>
#include <utility>

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
    bool startWithWindows = true;
    bool desktopShortcut = true;
    bool startMenuShortcut = true;
    bool startMinimized = true;
};

// The step that failed; its number is setup's exit code. The last two
// happen only to a silent setup: a refused platform, and a folder (/D=)
// that is not a full path.
enum class InstallStep {
    None = 0,
    Payload = 1,
    Registry = 2,
    Shortcuts = 3,
    Platform = 4,
    Folder = 5,
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
