// An installation made by hand, as setup makes it: the 13 files (with the
// built hoverlane as its program), the machine's registry values, the
// user's settings and registered programs, and the shortcuts. Also the
// checks a test makes on what is left of it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "files.h"
#include "install_layout.h"

namespace install {

// Where the tests install: a folder with blanks, as setup proposes.
extern const char kFolder[];  // "C:\\Program Files\\Hoverlane"
// The 13 installed files, relative to the installation folder.
extern const char* const kInstalledNames[13];

// The installed file's path as setup writes it (lower case, one backslash).
std::string FilePath(const std::string& folder, const char* relative);

// Makes every part of an installation in folder.
void Install(const std::string& folder = kFolder);
// Removes whatever a test left: the folder tree, the shortcuts, the keys.
void RemoveLeftovers(const std::string& folder = kFolder);

// The installed files that exist, by their relative names.
std::vector<std::string> PresentFiles(const std::string& folder = kFolder);
// The four link files that exist.
std::vector<std::string> PresentShortcuts();
// The program group folder.
std::string ProgramGroup();
// The registry parts setup writes and the user's settings: how many exist
// (values of the three machine keys, and the user's key).
int PresentRegistryParts();
constexpr int kRegistryParts = 5;

// Saves a shell link as setup does.
bool MakeShortcut(const std::string& target, const std::string& link, const char* description,
                  bool minimized);

}  // namespace install
