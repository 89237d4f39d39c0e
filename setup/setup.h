// Process-wide state and steps of the installer. One thread runs everything:
// the three chained dialogs, and the installation inside the progress
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

// The installation folder, without a trailing backslash.
extern std::string InstallFolder;
extern HINSTANCE SetupInstance;
// Controls of the progress dialog while it runs.
extern HWND ProgressBar;
extern HWND ProgressStatus;

// Entry after the system's start-up; returns the exit code (always 0).
int SetupMain(HINSTANCE instance, DWORD acceptedPlatformId);

// Every failure message after start-up: an error box owned by `owner`.
void ShowError(const std::string& text, HWND owner);

// Shows a step's text in the progress dialog and paints it at once, since
// the installation keeps the message loop busy.
void SetProgressStatus(const std::string& text);
// One step of the progress bar.
void StepProgress();

INT_PTR CALLBACK AgreementDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The shell's folder picker rooted at the special folder rootId (0: the
// whole namespace). The chosen path, or "" when cancelled. Throws
// SetupError "Insuficient Memory" without the shell allocator.
std::string BrowseForFolder(HWND owner, int rootId);

// Payload: writes one "SETUP_FILES" resource under InstallFolder. Given to
// EnumResourceNamesA with the progress dialog as `owner`. Any failure is
// shown and ends the process.
BOOL CALLBACK ExtractPayloadFile(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR owner);
// Makes every missing folder along `path`. Throws SetupError "Cannot create
// the directory: " + the first folder that could not be made.
void EnsureDirectoryPath(const std::string& path);

// The four HKLM values. On failure it has shown the cause and throws
// SetupError "the program was not registered properly".
void RegisterInstallation(HWND owner);
// One REG_SZ value under HKEY_LOCAL_MACHINE, keys made as needed. Throws
// SetupError "Cannot write the registry value: " + valueName.
void WriteRegistryText(const char* keyPath, const char* valueName, const std::string& text);
// The program group, the chosen shortcuts and Help; opens the group. Shows
// its own failures and always returns.
void CreateShortcuts(HWND owner);
// One shell link; returns the result of saving it. Throws SetupError when
// the link object or its file interface is not available.
HRESULT CreateShortcut(const std::string& target, const std::string& linkFile,
                       const char* description, bool minimized);
