// Files that cannot be deleted now (a running program) are deleted when
// Windows next starts: on the NT family through MoveFileExA, which records
// them for the session manager; on the 95 family through the [rename]
// section of wininit.ini, which takes short (8.3) names only and deletes no
// folders.
#pragma once

#include <string>
#include <vector>

// Asks Windows to delete the file, or the folder once it is empty, at the
// next start. False when it cannot be recorded (a folder on the 95 family,
// no rights, a name that has no short form).
bool DeleteAtRestart(const std::string& path, bool isFolder = false);

// Moves a file to another name on the same volume, replacing what is
// there; the 95 family has no MoveFileExA (at most a stub): false there.
bool MoveReplacing(const std::string& from, const std::string& to);

// The lines of wininit.ini's [rename] section with one that deletes
// shortPath appended, unless it is there already.
std::vector<std::string> RenameLinesWith(const std::vector<std::string>& lines,
                                         const std::string& shortPath);
// The same lines without those that delete one of shortPaths.
std::vector<std::string> RenameLinesWithout(const std::vector<std::string>& lines,
                                            const std::vector<std::string>& shortPaths);

// Takes back the deletions at the next start that name one of these files
// (full paths), on the NT family and through wininit.ini alike: a file that
// is about to be written anew must outlive the restart. Other programs'
// entries stay as they are.
void CancelDeletionAtRestart(const std::vector<std::string>& paths);
// The session manager's list of operations (PendingFileRenameOperations:
// pairs of a source, "\??\" and a path, and a target, empty for a
// deletion) without the deletions of those paths (any letter case).
std::vector<std::wstring> PendingOperationsWithout(const std::vector<std::wstring>& entries,
                                                   const std::vector<std::string>& paths);
