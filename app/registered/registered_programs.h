// The registered programs: one value per program under the current user's
// key, its name the module path and its data the program name.
#pragma once

#include <string>
#include <vector>

#include "registry_layout.h"
#include "ui_text.h"

struct RegisteredProgram {
    UiText modulePath;
    UiText programName;
};

// Appends every registration in the registry's enumeration order. A missing
// key is no error: the list stays as it was.
void LoadRegisteredPrograms(std::vector<RegisteredProgram>& list);

// Registers a program: its module path becomes the value name, its program
// name the data; registering again replaces the name. An empty path is
// ignored without a word. A failed write reports the registry write error.
// Changes no node's registered flag.
void RegisterProgram(const UiText& modulePath, const UiText& programName);

// Deletes the registration of that module path; a failure is not reported.
void DeleteRegistration(const UiText& modulePath);

// Whether some registration has this module path and program name, letter
// case ignored in both.
bool IsRegistered(const std::vector<RegisteredProgram>& list, const UiText& modulePath,
                  const UiText& programName);
