#include "registration.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <map>

#include "handles.h"
#include "install_layout.h"
#include "payload.h"
#include "setup_resource.h"

namespace {

// The user's special folder, or "" when the shell cannot give it.
std::string SpecialFolder(HWND owner, int csidl) {
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(owner, path, csidl, FALSE)) return std::string();
    return path;
}

}  // namespace

void WriteRegistryText(const char* keyPath, const char* valueName, const std::string& text) {
    if (SHSetValueA(HKEY_LOCAL_MACHINE, keyPath, valueName, REG_SZ, text.c_str(),
                    static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS)
        throw SetupError(std::string("Cannot write the registry value: ") + valueName);
}

InstallResult RegisterInstallation(const InstallOptions& options, const ProgressReporter& progress) {
    progress.SetStatus("Updating the registry");
    const std::string program = options.folder + "\\" + kProgramFile;
    // Quoted, so that a folder with blanks works.
    const std::string uninstall = "\"" + program + "\" " + kUninstallWord;
    try {
        WriteRegistryText(kProductKey, kInstallDestinationValue, options.folder);
        WriteRegistryText(kUninstallEntryKey, kUninstallStringValue, uninstall);
        WriteRegistryText(kUninstallEntryKey, kDisplayNameValue, kDisplayName);
        WriteRegistryText(kAppPathKey, "", program);
        WriteRegistryText(kUninstallEntryKey, kDisplayIconValue, program);
        WriteRegistryText(kUninstallEntryKey, kDisplayVersionValue, HOVERLANE_VERSION);
        WriteRegistryText(kUninstallEntryKey, kPublisherValue, kMakerName);
        WriteRegistryText(kUninstallEntryKey, kInstallLocationValue, options.folder);
        WriteRegistryText(kUninstallEntryKey, kQuietUninstallStringValue,
                          uninstall + " " + kSilentWord);
        WriteRegistryNumber(kUninstallEntryKey, kEstimatedSizeValue, InstalledKilobytes(options.folder));
        WriteRegistryNumber(kUninstallEntryKey, kNoModifyValue, 1);
        WriteRegistryNumber(kUninstallEntryKey, kNoRepairValue, 1);
    } catch (const SetupError& error) {
        return FailedAt(InstallStep::Registry, error.text());
    }
    progress.Step();
    return InstallResult();
}

void WriteRegistryNumber(const char* keyPath, const char* valueName, DWORD number) {
    if (SHSetValueA(HKEY_LOCAL_MACHINE, keyPath, valueName, REG_DWORD, &number, sizeof(number)) !=
        ERROR_SUCCESS)
        throw SetupError(std::string("Cannot write the registry value: ") + valueName);
}

DWORD InstalledKilobytes(const std::string& folder) {
    unsigned long long bytes = 0;
    for (const char* name : kInstalledFiles) {
        WIN32_FILE_ATTRIBUTE_DATA file = {};
        if (GetFileAttributesExA((folder + "\\" + name).c_str(), GetFileExInfoStandard, &file))
            bytes += (static_cast<unsigned long long>(file.nFileSizeHigh) << 32) | file.nFileSizeLow;
    }
    return static_cast<DWORD>((bytes + 1023) / 1024);
}

HRESULT CreateShortcut(const std::string& target, const std::string& linkFile,
                       const char* description, bool minimized) {
    ComRef<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.put_void())))
        throw SetupError("Cannot retrieve the IShellLink Interface,\n maybe there is no available memory");
    link->SetPath(target.c_str());
    link->SetDescription(description);
    if (minimized) link->SetArguments("/Minimized");

    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())))
        throw SetupError("Cannot create the link: " + target);

    // A path that does not fit the buffer cannot be converted: it counts as
    // a failed save rather than saving under a cut name.
    WCHAR widePath[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, widePath, MAX_PATH) == 0)
        return E_FAIL;
    return file->Save(widePath, TRUE);
}

InstallResult CreateShortcuts(const InstallOptions& options, const ProgressReporter& progress) {
    HWND owner = progress.owner;
    // Walked in id order: Startup, desktop, program group. An option whose
    // folder the shell cannot give gets no shortcut.
    std::map<int, std::string> shortcutFolders;
    const std::string desktop = SpecialFolder(owner, CSIDL_DESKTOP);
    std::string programGroup = SpecialFolder(owner, CSIDL_PROGRAMS);
    if (!programGroup.empty()) programGroup += std::string("\\") + kProgramGroup;
    const std::string startup = SpecialFolder(owner, CSIDL_STARTUP);
    if (!desktop.empty() && options.desktopShortcut)
        shortcutFolders[IDC_SHORTCUT_DESKTOP] = desktop;
    if (!programGroup.empty() && options.startMenuShortcut)
        shortcutFolders[IDC_SHORTCUT_START_MENU] = programGroup;
    if (!startup.empty() && options.startWithWindows)
        shortcutFolders[IDC_START_WITH_WINDOWS] = startup;

    try {
        if (!programGroup.empty()) EnsureDirectoryPath(programGroup);
        const std::string program = options.folder + "\\" + kProgramFile;
        for (const auto& entry : shortcutFolders) {
            const std::string linkFile = entry.second + "\\" + kAppShortcut;
            progress.SetStatus("Creating Links: " + linkFile);
            // A link that cannot be saved is not reported; the next one is made.
            CreateShortcut(program, linkFile, "Launch Hoverlane", options.startMinimized);
        }
        if (!programGroup.empty())
            CreateShortcut(options.folder + "\\" + kHelpPage, programGroup + "\\" + kHelpShortcut,
                           "Hoverlane Help", true);
    } catch (const SetupError& error) {
        return FailedAt(InstallStep::Shortcuts, error.text());
    }
    progress.Step();
    InstallResult result;
    result.programGroup = programGroup;
    return result;
}
