#include "setup.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>

#include "boundary.h"
#include "exit_codes.h"
#include "folder_rules.h"
#include "folder_security.h"
#include "handles.h"
#include "install_layout.h"
#include "install_log.h"
#include "install_paths.h"
#include "installation.h"
#include "payload.h"
#include "platform.h"
#include "registry_path.h"
#include "resource_bytes.h"
#include "setup_resource.h"
#include "switches.h"
#include "sync_window.h"
#include "system_function.h"
#include "text.h"

HINSTANCE SetupInstance = nullptr;
std::string InstallFolder;

namespace {

const char kRegistryFailureTail[] =
    "\n Setup will quit now, it is recommended you to shut down your machine and try again later";

struct OptionBox {
    int id;
    bool InstallOptions::*option;
};
const OptionBox kOptionBoxes[] = {
    {IDC_START_MINIMIZED, &InstallOptions::startMinimized},
    {IDC_SHORTCUT_DESKTOP, &InstallOptions::desktopShortcut},
    {IDC_SHORTCUT_START_MENU, &InstallOptions::startMenuShortcut},
    {IDC_START_WITH_WINDOWS, &InstallOptions::startWithWindows},
};

// The options a dialog works on, kept in its window from WM_INITDIALOG on.
InstallOptions* OptionsOf(HWND dialog) {
    return reinterpret_cast<InstallOptions*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void ShowInstallFolder(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_INSTALL_FOLDER, InstallFolder.c_str());
}

void LoadAgreementText(HWND dialog) {
    // Carried under its installed name (resource names ignore letter case).
    const ResourceBytes licence = FindResourceBytes(SetupInstance, kLicenceFile, kPayloadType);
    if (!licence.bytes) {
        ShowError("Cannot allocate resource maybe because there is no sufficient memory, try later",
                  dialog);
        return;
    }
    HWND edit = GetDlgItem(dialog, IDC_AGREEMENT_TEXT);
    SetFocus(edit);
    // The resource carries no terminator: exactly its size is the text.
    const std::string text(static_cast<const char*>(licence.bytes), licence.size);
    SetWindowTextA(edit, text.c_str());
    PostMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
}

// The folder the command line chose, or else the installation's own (setup
// run again repairs it), or else the proposed one.
std::string ChosenOrProposedFolder(const std::string& chosen) {
    if (!chosen.empty()) return chosen;
    const std::string installed = InstalledFolder();
    if (!installed.empty() && JudgeInstallFolder(installed, WindowsFolder()) == FolderVerdict::Acceptable)
        return installed;
    return ProposedInstallFolder(ReadRegistryPath(HKEY_LOCAL_MACHINE, kWindowsKey, kProgramsFolderValues[0]),
                                 WindowsFolder());
}

void InitOptions(HWND dialog, InstallOptions* options) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(options));
    for (const OptionBox& box : kOptionBoxes)
        CheckDlgButton(dialog, box.id, options->*box.option ? BST_CHECKED : BST_UNCHECKED);
    InstallFolder = ChosenOrProposedFolder(InstallFolder);
    ShowInstallFolder(dialog);
}

// setup /S: the defaults, no dialog, no box, no window; the exit code says
// what happened.
int InstallSilently(HINSTANCE instance, const InstallOptions& chosen) {
    InstallOptions options = chosen;
    InstallFolder = ChosenOrProposedFolder(InstallFolder);
    options.folder = InstallFolder;
    return static_cast<int>(RunInstallation(instance, options, ProgressReporter()).failedStep);
}

// What a person sees of a command line setup cannot follow; a script sees
// only the exit code.
int Refuse(bool silent, int code, const std::string& text) {
    LogLine(text);
    if (!silent) ShowError(text, nullptr);
    return code;
}

void ReadOptions(HWND dialog) {
    InstallOptions* options = OptionsOf(dialog);
    for (const OptionBox& box : kOptionBoxes)
        options->*box.option = IsDlgButtonChecked(dialog, box.id) == BST_CHECKED;
    options->folder = InstallFolder;
}

void ChooseFolder(HWND dialog) {
    std::string picked;
    try {
        picked = BrowseForFolder(dialog, 0);
    } catch (const SetupError& error) {
        // Nothing is lost: the dialog stays open with the folder it had.
        ShowError(error.text(), dialog);
        return;
    }
    if (picked.empty()) return;
    InstallFolder = WithProductFolder(picked);
    ShowInstallFolder(dialog);
}

ProgressReporter PrepareProgress(HWND dialog) {
    ProgressReporter progress;
    progress.owner = dialog;
    progress.bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    progress.status = GetDlgItem(dialog, IDC_PROGRESS_STATUS);
    SendMessageA(progress.bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(progress.bar, PBM_SETPOS, 0, 0);
    SendMessageA(progress.bar, PBM_SETSTEP, 6, 0);
    ShowWindow(dialog, SW_SHOWNORMAL);
    UpdateWindow(dialog);
    return progress;
}

}  // namespace

void SetupOutOfMemory() noexcept {
    // The shell allocator's words; nothing here needs memory of its own.
    MessageBoxA(nullptr, "Insuficient Memory", "Error", MB_ICONERROR);
    std::exit(kExitNoMemory);
}

void ShowError(const std::string& text, HWND owner) {
    MessageBoxA(owner, text.c_str(), "Error", MB_ICONERROR);
}

int ReportInstallation(const InstallResult& result, HWND owner) {
    if (result.succeeded()) {
        if (!result.programGroup.empty())
            ShellExecuteA(owner, "open", result.programGroup.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return 0;
    }
    ShowError(result.text, owner);
    if (result.failedStep == InstallStep::Registry)
        ShowError(std::string("the program was not registered properly") + kRegistryFailureTail,
                  owner);
    return static_cast<int>(result.failedStep);
}

std::string BrowseForFolder(HWND owner, int rootId) {
    ComRef<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.put())) || !allocator) throw SetupError("Insuficient Memory");

    ScopedItemIdList root;
    if (rootId != 0 && FAILED(SHGetSpecialFolderLocation(owner, rootId, root.put()))) root.reset();

    char path[MAX_PATH] = {};
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = root.get();
    browse.pszDisplayName = path;
    browse.lpszTitle = "Choose a folder";
    ScopedItemIdList chosen(SHBrowseForFolderA(&browse));
    if (!chosen) return std::string();
    // The NT family names the folder in Unicode: what the code page lacks
    // shows as '?', and the folder is refused by its name, never taken for
    // another of a look-alike name.
    using PathFromIdListWFunction = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPWSTR);
    static const auto widePath = SystemFunction<PathFromIdListWFunction>("shell32.dll", "SHGetPathFromIDListW");
    wchar_t wide[MAX_PATH] = {};
    if (widePath && !IsWindows95Family())
        return widePath(chosen.get(), wide) ? InCodePage(wide) : std::string();
    // A chosen item outside the file system has no path: like a cancel.
    return SHGetPathFromIDListA(chosen.get(), path) ? std::string(path) : std::string();
}

static INT_PTR AgreementDialogProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        LoadAgreementText(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 2);
        return TRUE;
    default:
        return FALSE;
    }
}

// Called by Windows: an exception stops here (see SetupOutOfMemory).
INT_PTR CALLBACK AgreementDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return AtBoundary([&] { return AgreementDialogProcUnguarded(dialog, message, wParam, lParam); },
                      []() -> INT_PTR { SetupOutOfMemory(); });
}

static INT_PTR OptionsDialogProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        InitOptions(dialog, reinterpret_cast<InstallOptions*>(lParam));
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_BROWSE:
        ChooseFolder(dialog);
        return TRUE;
    case IDOK: {
        // A folder setup may not take is said here, and the dialog stays.
        const FolderCheck check = CheckInstallFolder(InstallFolder);
        if (check.code != kExitSuccess) {
            LogLine(check.text);
            ShowError(check.text, dialog);
            return TRUE;
        }
        ReadOptions(dialog);
        EndDialog(dialog, 1);
        return TRUE;
    }
    case IDCANCEL:
        EndDialog(dialog, 2);
        return TRUE;
    default:
        return FALSE;
    }
}

// Called by Windows: an exception stops here (see SetupOutOfMemory).
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return AtBoundary([&] { return OptionsDialogProcUnguarded(dialog, message, wParam, lParam); },
                      []() -> INT_PTR { SetupOutOfMemory(); });
}

static INT_PTR ProgressDialogProcUnguarded(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    const InstallResult result = RunInstallation(
        SetupInstance, *reinterpret_cast<const InstallOptions*>(lParam), PrepareProgress(dialog));
    EndDialog(dialog, ReportInstallation(result, dialog));
    return TRUE;
}

// Called by Windows: an exception stops here (see SetupOutOfMemory).
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return AtBoundary([&] { return ProgressDialogProcUnguarded(dialog, message, wParam, lParam); },
                      []() -> INT_PTR { SetupOutOfMemory(); });
}

namespace {

int RunSetup(HINSTANCE instance, DWORD acceptedPlatformId, const Switches& command) {
    const bool silent = command.has(kSwitchSilent);
    // The shell links of the shortcut step need COM on this thread.
    const ComApartment com;
    // Its box was shown already, unless silent.
    if (CheckPlatform(acceptedPlatformId, !silent) != PlatformCheck::Accepted) {
        LogLine(kIncompatibleText);
        return kExitWrongFamily;
    }
    // Refused before anything is closed or written: files of a drive's root,
    // of the Windows folder or of someone else are not ours to replace, nor
    // later to delete.
    if (silent || !command.folder.empty()) {
        const FolderCheck check = CheckInstallFolder(ChosenOrProposedFolder(command.folder));
        if (check.code != kExitSuccess) return Refuse(silent, check.code, check.text);
    }
    CloseRunningInstances();

    SetupInstance = instance;
    InstallOptions options;
    InstallFolder = command.folder;
    options.allUsers = ShortcutsForAllUsers(command.has(kSwitchAllUsers), CurrentUserSid());
    // What a person may leave out in the dialog, a script leaves out here;
    // without /S these are the dialog's first choices.
    options.desktopShortcut = !command.has(kSwitchNoDesktopShortcut);
    options.startMenuShortcut = !command.has(kSwitchNoStartMenuShortcut);
    options.startWithWindows = !command.has(kSwitchNoStartupShortcut);
    options.startMinimized = !command.has(kSwitchNoStartMinimized);
    if (silent) return InstallSilently(instance, options);
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&controls);

    // One after another; declining or cancelling ends setup with nothing
    // written.
    INT_PTR exitCode = 0;
    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_AGREEMENT), nullptr, AgreementDialogProc, 0) ==
            1 &&
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_OPTIONS), nullptr, OptionsDialogProc,
                        reinterpret_cast<LPARAM>(&options)) == 1)
        exitCode = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr,
                                   ProgressDialogProc, reinterpret_cast<LPARAM>(&options));
    return exitCode > 0 ? static_cast<int>(exitCode) : 0;
}

}  // namespace

int SetupMain(HINSTANCE instance, DWORD acceptedPlatformId, const char* ansiCommandLine) {
    // A folder the code page cannot hold must not come through as another.
    const std::string line = CommandLineInCodePage(ansiCommandLine);
    const char* commandLine = line.c_str();
    const Switches command = ReadSwitches(line, kSwitchSilent | kSwitchFolder | kSwitchLog | kSwitchAllUsers |
                                                    kSwitchNoDesktopShortcut | kSwitchNoStartMenuShortcut |
                                                    kSwitchNoStartupShortcut | kSwitchNoStartMinimized);
    const bool silent = command.has(kSwitchSilent);
    if (!command.unknown.empty())
        return Refuse(silent, kExitBadSwitch, kUnknownSwitchText + CutText(command.unknown, 100));
    if (!command.log.empty() && !OpenInstallLog(command.log, "setup", commandLine))
        return Refuse(silent, kExitLogUnwritable, "Cannot write the log: " + CutText(command.log, MAX_PATH));
    // What ends setup early ends the log with its code all the same.
    const int code = AtBoundary([&] { return RunSetup(instance, acceptedPlatformId, command); },
                                [] {
                                    LogLine("Stopped: memory ran out");
                                    return kExitNoMemory;
                                });
    CloseInstallLog(code);
    return code;
}
