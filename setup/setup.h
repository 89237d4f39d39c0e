// Steps of the installer. One thread runs everything: the three dialogs one
// after another, and the installation, a function of the options that the
// options dialog filled and of a progress reporter, inside the progress
// dialog's initialisation.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

// A failed installation step: the message to show, nothing more.
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

// Where the installation shows how far it is: the progress dialog's bar and
// status text, and the owner of its message boxes. Without a dialog (a test)
// all three are null and only the boxes show, without an owner.
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

extern HINSTANCE SetupInstance;

// Entry after the system's start-up; returns the exit code (always 0).
int SetupMain(HINSTANCE instance, DWORD acceptedPlatformId);

// Every failure message after start-up: an error box owned by `owner`.
void ShowError(const std::string& text, HWND owner);

// The whole installation: the "SETUP_FILES" resources of `payload` written
// under options.folder, the registry values, the shortcuts. A payload
// failure is shown and ends the process; a registry failure is shown and
// leaves out the shortcuts; the shortcut step shows its own failures.
void RunInstallation(HMODULE payload, const InstallOptions& options,
                     const ProgressReporter& progress);

INT_PTR CALLBACK AgreementDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// lParam of WM_INITDIALOG: the InstallOptions to fill.
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// lParam of WM_INITDIALOG: the InstallOptions to install with.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The shell's folder picker rooted at the special folder rootId (0: the
// whole namespace). The chosen path, or "" when cancelled. Throws
// SetupError "Insuficient Memory" without the shell allocator.
std::string BrowseForFolder(HWND owner, int rootId);

// Payload: writes one resource of `module` under the installation folder.
// Given to EnumResourceNamesA with a PayloadTarget as `target`. Any failure
// is shown and ends the process.
struct PayloadTarget {
    const InstallOptions* options;
    const ProgressReporter* progress;
};
BOOL CALLBACK ExtractPayloadFile(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR target);
// Makes every missing folder along `path`. Throws SetupError "Cannot create
// the directory: " + the first folder that could not be made.
void EnsureDirectoryPath(const std::string& path);

// The four HKLM values. On failure it has shown the cause and throws
// SetupError "the program was not registered properly".
void RegisterInstallation(const InstallOptions& options, const ProgressReporter& progress);
// One REG_SZ value under HKEY_LOCAL_MACHINE, keys made as needed. Throws
// SetupError "Cannot write the registry value: " + valueName.
void WriteRegistryText(const char* keyPath, const char* valueName, const std::string& text);
// The program group, the chosen shortcuts and Help; opens the group. Shows
// its own failures and always returns.
void CreateShortcuts(const InstallOptions& options, const ProgressReporter& progress);
// One shell link; returns the result of saving it. Throws SetupError when
// the link object or its file interface is not available.
HRESULT CreateShortcut(const std::string& target, const std::string& linkFile,
                       const char* description, bool minimized);
