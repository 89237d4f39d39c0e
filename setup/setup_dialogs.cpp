#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include "handles.h"
#include "install_paths.h"
#include "platform.h"
#include "registry_path.h"
#include "setup.h"
#include "setup_resource.h"
#include "sync_window.h"

std::string InstallFolder;
HINSTANCE SetupInstance = nullptr;
HWND ProgressBar = nullptr;
HWND ProgressStatus = nullptr;

namespace {

const char kPayloadType[] = "SETUP_FILES";
const char kRegistryFailureTail[] =
    "\n Setup will quit now, it is recommended you to shut down your machine and try again later";

void ShowInstallFolder(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_INSTALL_FOLDER, InstallFolder.c_str());
}

void LoadAgreementText(HWND dialog) {
    HRSRC found = FindResourceA(SetupInstance, "license.txt", kPayloadType);
    HGLOBAL loaded = found ? LoadResource(SetupInstance, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        ShowError("Cannot allocate resource maybe because there is no sufficient memory, try later",
                  dialog);
        return;
    }
    HWND edit = GetDlgItem(dialog, IDC_AGREEMENT_TEXT);
    SetFocus(edit);
    // The resource carries no terminator: exactly its size is the text.
    const std::string text(static_cast<const char*>(bytes),
                           SizeofResource(SetupInstance, found));
    SetWindowTextA(edit, text.c_str());
    PostMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    FreeResource(loaded);
}

void InitOptions(HWND dialog) {
    for (int box : {IDC_START_MINIMIZED, IDC_SHORTCUT_DESKTOP, IDC_SHORTCUT_START_MENU,
                    IDC_START_WITH_WINDOWS})
        CheckDlgButton(dialog, box, BST_CHECKED);
    // Without the value this is "\Hoverlane": the root of the current drive.
    InstallFolder = ReadRegistryPath(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                                     "ProgramFilesDir") +
                    "\\Hoverlane";
    ShowInstallFolder(dialog);
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

void RunInstallation(HWND dialog) {
    ProgressBar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    ProgressStatus = GetDlgItem(dialog, IDC_PROGRESS_STATUS);
    SendMessageA(ProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(ProgressBar, PBM_SETPOS, 0, 0);
    SendMessageA(ProgressBar, PBM_SETSTEP, 6, 0);
    ShowWindow(dialog, SW_SHOWNORMAL);
    UpdateWindow(dialog);

    EnumResourceNamesA(SetupInstance, kPayloadType, ExtractPayloadFile,
                       reinterpret_cast<LONG_PTR>(dialog));
    try {
        RegisterInstallation(dialog);
        CreateShortcuts(dialog);
    } catch (const SetupError& error) {
        ShowError(error.text() + kRegistryFailureTail, dialog);
    }
}

// The user stopped setup before anything was written.
INT_PTR StopSetup(HWND dialog) {
    EndDialog(dialog, 2);
    PostQuitMessage(0);
    return TRUE;
}

// The shell allocator, released on every way out.
class ShellAllocator {
public:
    ShellAllocator() {
        if (FAILED(SHGetMalloc(&malloc_))) malloc_ = nullptr;
    }
    ~ShellAllocator() {
        if (malloc_) malloc_->Release();
    }
    ShellAllocator(const ShellAllocator&) = delete;
    ShellAllocator& operator=(const ShellAllocator&) = delete;
    IMalloc* get() const { return malloc_; }

private:
    IMalloc* malloc_ = nullptr;
};

}  // namespace

void ShowError(const std::string& text, HWND owner) {
    MessageBoxA(owner, text.c_str(), "Error", MB_ICONERROR);
}

void SetProgressStatus(const std::string& text) {
    SetWindowTextA(ProgressStatus, text.c_str());
    UpdateWindow(ProgressStatus);
}

void StepProgress() {
    SendMessageA(ProgressBar, PBM_STEPIT, 0, 0);
    UpdateWindow(ProgressBar);
}

std::string BrowseForFolder(HWND owner, int rootId) {
    ShellAllocator allocator;
    if (!allocator.get()) throw SetupError("Insuficient Memory");

    LPITEMIDLIST root = nullptr;
    if (rootId != 0 && FAILED(SHGetSpecialFolderLocation(owner, rootId, &root))) root = nullptr;

    char path[MAX_PATH] = {};
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = root;
    browse.pszDisplayName = path;
    browse.lpszTitle = "Choose a folder";
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    if (root) allocator.get()->Free(root);
    if (!chosen) return std::string();

    // A chosen item outside the file system has no path: like a cancel.
    const bool isPath = SHGetPathFromIDListA(chosen, path) != FALSE;
    allocator.get()->Free(chosen);
    return isPath ? std::string(path) : std::string();
}

INT_PTR CALLBACK AgreementDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        LoadAgreementText(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        EndDialog(dialog, 1);
        DialogBoxParamA(SetupInstance, MAKEINTRESOURCEA(IDD_OPTIONS), nullptr, OptionsDialogProc, 0);
        return FALSE;
    case IDCANCEL:
        return StopSetup(dialog);
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        InitOptions(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_BROWSE:
        ChooseFolder(dialog);
        return TRUE;
    case IDOK:
        // Hidden, not ended: the shortcut step reads the check boxes
        // through the progress dialog's owner.
        ShowWindow(dialog, SW_HIDE);
        DialogBoxParamA(SetupInstance, MAKEINTRESOURCEA(IDD_PROGRESS), dialog, ProgressDialogProc, 0);
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        return StopSetup(dialog);
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    RunInstallation(dialog);
    EndDialog(dialog, 1);
    PostQuitMessage(0);
    return TRUE;
}

int SetupMain(HINSTANCE instance, DWORD acceptedPlatformId) {
    // The shell links of the shortcut step need COM on this thread.
    const HRESULT com = CoInitialize(nullptr);
    if (CheckPlatform(acceptedPlatformId) != PlatformCheck::Accepted) {
        if (SUCCEEDED(com)) CoUninitialize();
        return 0;
    }
    CloseRunningInstances();

    SetupInstance = instance;
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&controls);

    // Every way out of the dialogs posts the quit message; without the
    // dialog there is none to wait for.
    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_AGREEMENT), nullptr, AgreementDialogProc, 0) ==
        -1)
        PostQuitMessage(0);

    MSG message = {};
    int exitCode = 0;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            exitCode = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return exitCode;
}
