// The registered programs: one value per program under the current user's
// key, its name the module path and its data the program name.
#pragma once

#include <string>
#include <vector>

extern const char kRegisteredProgramsKey[];

struct RegisteredProgram {
    std::string modulePath;
    std::string programName;
};

// Appends every registration in the registry's enumeration order. A missing
// key is no error: the list stays as it was.
void LoadRegisteredPrograms(std::vector<RegisteredProgram>& list);

// Whether some registration has this module path and program name, letter
// case ignored in both.
bool IsRegistered(const std::vector<RegisteredProgram>& list, const std::string& modulePath,
                  const std::string& programName);
