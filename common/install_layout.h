// What an installation consists of. setup writes it and the uninstaller
// removes it, so both take the names from here.
#pragma once

// The installed files relative to the installation folder, in the order in
// which the uninstaller deletes them: each folder's last file comes last, so
// the folder is empty by then.
constexpr int kInstalledFileCount = 13;
constexpr const char* kInstalledFiles[kInstalledFileCount] = {
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

// Registry keys under HKEY_LOCAL_MACHINE (the product key also under
// HKEY_CURRENT_USER, for the settings).
constexpr char kProductKey[] = "Software\\Vendrabyte\\Hoverlane";
constexpr char kInstallDestinationValue[] = "Install Destination";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Hoverlane";
constexpr char kAppPathKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\hoverlane.exe";

// Shortcuts: "Hoverlane.lnk" on the desktop, in Startup and in the program
// group (a folder of that name under the Start menu's Programs); "Help.lnk"
// in the program group only.
constexpr char kProgramGroupName[] = "Hoverlane";
constexpr char kProgramLinkName[] = "Hoverlane.lnk";
constexpr char kHelpLinkName[] = "Help.lnk";
