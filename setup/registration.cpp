#include "registration.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <map>

#include "handles.h"
#include "install_layout.h"
#include "install_log.h"
#include "payload.h"
#include "setup_resource.h"
#include "switches.h"

namespace {

// The special folder, or "" when the shell cannot give it.
std::string SpecialFolder(HWND owner, int csidl) {
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(owner, path, csidl, FALSE)) return std::string();
    return path;
}

// The folder for every user where asked for and Windows has one (the 95
// family without profiles has not), else the current user's.
std::string ShortcutFolder(HWND owner, int csidl, int commonCsidl, bool allUsers) {
    const std::string common = allUsers ? SpecialFolder(owner, commonCsidl) : std::string();
    return common.empty() ? SpecialFolder(owner, csidl) : common;
}

std::string MachineKeyName(const char* keyPath, const char* valueName) {
    return std::string("HKEY_LOCAL_MACHINE\\") + keyPath + "\\" + (*valueName ? valueName : "(default)");
}

}  // namespace

void WriteRegistryText(const char* keyPath, const char* valueName, const std::string& text) {
    const DWORD written = SHSetValueA(HKEY_LOCAL_MACHINE, keyPath, valueName, REG_SZ, text.c_str(),
                                      static_cast<DWORD>(text.size() + 1));
    if (written != ERROR_SUCCESS) {
        LogFailure("Cannot write " + MachineKeyName(keyPath, valueName), written);
        throw SetupError(std::string("Cannot write the registry value: ") + valueName);
    }
    LogLine("Wrote " + MachineKeyName(keyPath, valueName) + " = " + text);
}

InstallResult RegisterInstallation(const InstallOptions& options, const ProgressReporter& progress) {
    progress.SetStatus("Updating the registry");
    LogLine("Updating the registry");
    const std::string program = options.folder + "\\" + kInstalledProgramFile;
    // Quoted, so that a folder with blanks works.
    const std::string uninstall = "\"" + program + "\" " + kUninstallSwitch;
    try {
        WriteRegistryText(kProductKey, kInstallDestinationValue, options.folder);
        WriteRegistryText(kUninstallEntryKey, kUninstallStringValue, uninstall);
        WriteRegistryText(kUninstallEntryKey, kDisplayNameValue, kDisplayName);
        WriteRegistryText(kAppPathKey, "", program);
        // What the README tells administrators to run.
        WriteRegistryText(kUninstallEntryKey, kQuietUninstallStringValue, uninstall + " " + kSilentSwitch);
    } catch (const SetupError& error) {
        return FailedAt(InstallStep::Registry, error.text());
    }
    // What Windows' list of programs shows besides, and what deployment
    // tools read: each one that cannot be written is in the log, and the
    // installation stands without it.
    const auto bestEffort = [](auto write) {
        try {
            write();
        } catch (const SetupError&) {
        }
    };
    bestEffort([&] { WriteRegistryText(kUninstallEntryKey, kDisplayIconValue, program); });
    bestEffort([&] { WriteRegistryText(kUninstallEntryKey, kDisplayVersionValue, HOVERLANE_VERSION); });
    bestEffort([&] { WriteRegistryText(kUninstallEntryKey, kPublisherValue, kMakerName); });
    bestEffort([&] { WriteRegistryText(kUninstallEntryKey, kInstallLocationValue, options.folder); });
    bestEffort([&] {
        WriteRegistryNumber(kUninstallEntryKey, kEstimatedSizeValue, InstalledKilobytes(options.folder));
    });
    bestEffort([&] { WriteRegistryNumber(kUninstallEntryKey, kNoModifyValue, 1); });
    bestEffort([&] { WriteRegistryNumber(kUninstallEntryKey, kNoRepairValue, 1); });
    progress.Step();
    return InstallResult();
}

void WriteRegistryNumber(const char* keyPath, const char* valueName, DWORD number) {
    const DWORD written =
        SHSetValueA(HKEY_LOCAL_MACHINE, keyPath, valueName, REG_DWORD, &number, sizeof(number));
    if (written != ERROR_SUCCESS) {
        LogFailure("Cannot write " + MachineKeyName(keyPath, valueName), written);
        throw SetupError(std::string("Cannot write the registry value: ") + valueName);
    }
    LogLine("Wrote " + MachineKeyName(keyPath, valueName) + " = " + std::to_string(number));
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
    const HRESULT saved = MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, widePath, MAX_PATH) == 0
                              ? HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE)
                              : file->Save(widePath, TRUE);
    if (FAILED(saved))
        LogFailure("Cannot save " + linkFile, static_cast<DWORD>(saved));
    else
        LogLine("Saved " + linkFile);
    return saved;
}

InstallResult CreateShortcuts(const InstallOptions& options, const ProgressReporter& progress) {
    HWND owner = progress.owner;
    LogLine(options.allUsers ? "Making the shortcuts for all users" : "Making the shortcuts");
    // Walked in id order: Startup, desktop, program group. An option whose
    // folder the shell cannot give gets none, and fails the step.
    std::map<int, std::string> shortcutFolders;
    const bool all = options.allUsers;
    const std::string desktop = ShortcutFolder(owner, CSIDL_DESKTOP, CSIDL_COMMON_DESKTOPDIRECTORY, all);
    std::string programGroup = ShortcutFolder(owner, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, all);
    if (!programGroup.empty()) programGroup += std::string("\\") + kProgramGroup;
    const std::string startup = ShortcutFolder(owner, CSIDL_STARTUP, CSIDL_COMMON_STARTUP, all);
    // A link that cannot be made does not stop the others; the step fails
    // with the first one's text once all were tried.
    std::string unmade;
    const auto choose = [&](int id, bool chosen, const std::string& where, const char* what) {
        if (chosen && where.empty() && unmade.empty())
            unmade = std::string("Cannot find the folder for the shortcut: ") + what;
        if (chosen && !where.empty()) shortcutFolders[id] = where;
    };
    choose(IDC_SHORTCUT_DESKTOP, options.desktopShortcut, desktop, "Desktop");
    choose(IDC_SHORTCUT_START_MENU, options.startMenuShortcut, programGroup, "Start menu");
    choose(IDC_START_WITH_WINDOWS, options.startWithWindows, startup, "Startup");
    // The group holds the help's link, whatever was chosen.
    if (programGroup.empty() && unmade.empty()) unmade = "Cannot find the folder for the shortcut: Help";
    const auto make = [&unmade](const std::string& target, const std::string& linkFile,
                                const char* description, bool minimized) {
        if (FAILED(CreateShortcut(target, linkFile, description, minimized)) && unmade.empty())
            unmade = "Cannot save the link: " + linkFile;
    };
    try {
        if (!programGroup.empty()) EnsureDirectoryPath(programGroup);
        const std::string program = options.folder + "\\" + kProgramFile;
        for (const auto& entry : shortcutFolders) {
            const std::string linkFile = entry.second + "\\" + kAppShortcut;
            progress.SetStatus("Creating Links: " + linkFile);
            make(program, linkFile, "Launch Hoverlane", options.startMinimized);
        }
        if (!programGroup.empty())
            make(options.folder + "\\" + kHelpPage, programGroup + "\\" + kHelpShortcut, "Hoverlane Help",
                 true);
    } catch (const SetupError& error) {
        return FailedAt(InstallStep::Shortcuts, error.text());
    }
    if (!unmade.empty()) return FailedAt(InstallStep::Shortcuts, unmade);
    progress.Step();
    InstallResult result;
    result.programGroup = programGroup;
    return result;
}
