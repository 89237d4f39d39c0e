// Files, folders and shell links as a test sees them: reading what a program
// wrote, and leaving nothing behind.
#pragma once

#include <windows.h>

#include <string>

namespace harness {

// The whole file, or found = false.
struct FileBytes {
    bool found = false;
    std::string bytes;
};
FileBytes ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Deletes a folder with everything in it, read-only files included.
void DeleteTree(const std::string& path);

// A file held open as a viewer or a running program holds it: others may
// read it, but neither write nor delete it, until Release or the end.
class HeldFile {
public:
    explicit HeldFile(const std::string& path);
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release();

private:
    HANDLE handle_;
};

// A user's special folder (CSIDL_DESKTOP, CSIDL_STARTUP, ...).
std::string SpecialFolderPath(int csidl);

// What a shell link (.lnk) holds.
struct Shortcut {
    bool found = false;
    std::string target;
    std::string arguments;
    std::string description;
};
Shortcut ReadShortcut(const std::string& linkFile);

// Case-insensitive equality of two paths' texts (the file system ignores case).
bool SamePath(const std::string& a, const std::string& b);

}  // namespace harness
