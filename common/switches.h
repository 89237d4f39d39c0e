// Switches on a command line, read as administrators' scripts write them:
// any letter case, any blanks between them, any order. /LOG= takes a value
// (in quotation marks when it holds blanks); /D= comes last and takes the
// rest of the line, blanks included, as the installation folder.
#pragma once

#include <string>

// The switches a program takes; any other word is a mistake it reports.
enum SwitchSet : unsigned {
    kSwitchSilent = 1u << 0,     // /S
    kSwitchUninstall = 1u << 1,  // /Uninstall
    kSwitchAllUsers = 1u << 2,   // /AllUsers
    kSwitchLog = 1u << 3,        // /LOG=<file>
    kSwitchFolder = 1u << 4,     // /D=<folder>
    // setup: the options a person may leave out in its dialog.
    kSwitchNoDesktopShortcut = 1u << 5,    // /NoDesktopShortcut
    kSwitchNoStartMenuShortcut = 1u << 6,  // /NoStartMenuShortcut
    kSwitchNoStartupShortcut = 1u << 7,    // /NoStartupShortcut
    kSwitchNoStartMinimized = 1u << 8,     // /NoStartMinimized
};

struct Switches {
    unsigned given = 0;  // SwitchSet bits
    std::string log;     // /LOG='s file, unquoted
    std::string folder;  // /D='s folder, trailing blanks cut
    // The first word that is not one of the allowed switches (or a switch
    // without its value); empty when every word was understood. The words
    // after it are read all the same.
    std::string unknown;

    bool has(unsigned which) const { return (given & which) != 0; }
};

Switches ReadSwitches(const std::string& commandLine, unsigned allowed);

// The words themselves, for the programs that hand switches on.
inline constexpr char kSilentSwitch[] = "/S";
inline constexpr char kUninstallSwitch[] = "/Uninstall";
inline constexpr char kLogSwitch[] = "/LOG=";
inline constexpr char kFolderSwitch[] = "/D=";

// What a person sees for a switch that is not understood.
inline constexpr char kUnknownSwitchText[] = "This switch is not known: ";
