#include "installation.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "files.h"
#include "handles.h"
#include "harness.h"

namespace install {

const char kFolder[] = "C:\\Program Files\\Hoverlane";

// Written out here rather than taken from the programs' own list, so that a
// wrong name there shows as a file the uninstaller leaves behind.
const char* const kInstalledNames[13] = {
    "Help\\Images\\Automatic Monitoring.jpg",
    "Help\\Images\\Getting Started.jpg",
    "Help\\Images\\Monitoring Time.jpg",
    "Help\\Images\\Tree View.jpg",
    "Help\\Introduction.htm",
    "Help\\Getting started.htm",
    "Help\\Help.htm",
    "Help\\Always in Sight.htm",
    "Help\\Monitoring Time.htm",
    "Help\\Registering programs.htm",
    "Help\\Table of contents.htm",
    "Hoverlane.exe",
    "license.txt",
};

std::string FilePath(const std::string& folder, const char* relative) {
    std::string name = relative;
    CharLowerBuffA(&name[0], static_cast<DWORD>(name.size()));
    return folder + "\\" + name;
}

std::string ProgramGroup() {
    return harness::SpecialFolderPath(CSIDL_PROGRAMS) + "\\" + kProgramGroup;
}

namespace {

std::vector<std::string> ShortcutFiles() {
    return {
        harness::SpecialFolderPath(CSIDL_DESKTOP) + "\\" + kAppShortcut,
        harness::SpecialFolderPath(CSIDL_STARTUP) + "\\" + kAppShortcut,
        ProgramGroup() + "\\" + kAppShortcut,
        ProgramGroup() + "\\" + kHelpShortcut,
    };
}

}  // namespace

bool MakeShortcut(const std::string& target, const std::string& link, const char* description,
                  bool minimized) {
    const ComApartment com;
    bool saved = false;
    IShellLinkA* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shellLink)))) {
        shellLink->SetPath(target.c_str());
        shellLink->SetDescription(description);
        if (minimized) shellLink->SetArguments("/Minimized");
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t wide[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
            saved = SUCCEEDED(file->Save(wide, TRUE));
            file->Release();
        }
        shellLink->Release();
    }
    return saved;
}

void Install(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\help").c_str(), nullptr);
    CreateDirectoryA((folder + "\\help\\images").c_str(), nullptr);
    for (const char* relative : kInstalledNames) {
        const std::string path = FilePath(folder, relative);
        if (lstrcmpiA(relative, "Hoverlane.exe") == 0)
            CopyFileA(harness::WinPath(HL_HOVERLANE).c_str(), path.c_str(), FALSE);
        else
            harness::WriteFileBytes(path, std::string("Installed file: ") + relative + "\r\n");
    }

    const std::string program = folder + "\\hoverlane.exe";
    harness::WriteText(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue, folder);
    harness::WriteText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kUninstallStringValue,
                       "\"" + program + "\" /Uninstall");
    harness::WriteText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kDisplayNameValue, kDisplayName);
    harness::WriteText(HKEY_LOCAL_MACHINE, kAppPathKey, "", program);

    harness::WriteDword(HKEY_CURRENT_USER, kProductKey, kTimerValue, 300);
    const BYTE on = 1;
    harness::WriteValue(HKEY_CURRENT_USER, kProductKey, kAlwaysInSightValue, REG_BINARY, &on, 1);
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey,
                       "C:\\Tools\\editor.exe", "Editor");

    CreateDirectoryA(ProgramGroup().c_str(), nullptr);
    const std::vector<std::string> links = ShortcutFiles();
    // The last one is the Help shortcut.
    for (size_t i = 0; i + 1 < links.size(); ++i)
        MakeShortcut(folder + "\\Hoverlane.exe", links[i], "Launch Hoverlane", false);
    MakeShortcut(folder + "\\Help\\help.htm", links.back(), "Hoverlane Help", true);
}

void RemoveLeftovers(const std::string& folder) {
    harness::DeleteTree(folder);
    for (const std::string& link : ShortcutFiles()) DeleteFileA(link.c_str());
    RemoveDirectoryA(ProgramGroup().c_str());
    harness::ResetProductRegistry();
}

std::vector<std::string> PresentFiles(const std::string& folder) {
    std::vector<std::string> present;
    for (const char* relative : kInstalledNames)
        if (harness::FileExists(FilePath(folder, relative))) present.push_back(relative);
    return present;
}

std::vector<std::string> PresentShortcuts() {
    std::vector<std::string> present;
    for (const std::string& link : ShortcutFiles())
        if (harness::FileExists(link)) present.push_back(link);
    return present;
}

int PresentRegistryParts() {
    int present = 0;
    if (harness::ReadValue(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue).found) ++present;
    if (harness::ReadValue(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kUninstallStringValue).found)
        ++present;
    if (harness::ReadValue(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kDisplayNameValue).found)
        ++present;
    if (harness::ReadValue(HKEY_LOCAL_MACHINE, kAppPathKey, "").found) ++present;
    if (harness::KeyExists(HKEY_CURRENT_USER, kRegisteredProgramsKey))
        ++present;
    return present;
}

}  // namespace install
