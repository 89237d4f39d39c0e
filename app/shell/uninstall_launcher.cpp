#include "uninstall_launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "errors.h"
#include "handles.h"
#include "install_layout.h"
#include "resource.h"
#include "resource_bytes.h"

namespace {

const char kCannotCreate[] = "Cannot create temporal file, check if you have suficient hard disk space";

// Tries this many names before giving up on a folder of its own.
constexpr int kFolderAttempts = 64;

// A new, empty folder under the temporary folder, made by this call: the
// uninstaller runs with administrator rights, and nothing may lie beside it
// in advance (a DLL it would load), as could beside a fixed name there.
// Empty when none can be made.
std::string NewUninstallerFolder() {
    char temp[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    // A folder that does not fit leaves the buffer undefined; a bare name
    // would land in the current folder instead.
    if (length == 0 || length >= MAX_PATH) return std::string();
    DWORD seed = (GetCurrentProcessId() << 16) ^ GetTickCount();
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt, seed = seed * 1664525 + 1013904223) {
        char name[32];
        wsprintfA(name, "%s%08lX", kUninstallerFolderPrefix, static_cast<unsigned long>(seed));
        const std::string folder = std::string(temp, length) + name;
        if (folder.size() + 1 + sizeof(kUninstallerFileName) > MAX_PATH) return std::string();
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    }
    return std::string();
}

// The copy and its folder, when nothing will run the copy.
void RemoveCopy(const std::string& folder, const std::string& path) {
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::string LaunchFailureText(UINT_PTR shellResult, DWORD lastError) {
    if (shellResult > 32) return std::string();
    // The system's own words: a refused elevation reads "The operation was
    // canceled by the user." The shell's small result codes share their
    // numbers with the system's error codes.
    const DWORD code = lastError != ERROR_SUCCESS ? lastError : static_cast<DWORD>(shellResult);
    char text[MAX_PATH] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, MAX_PATH, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) text[--length] = '\0';
    std::string detail = "Cannot start the uninstaller";
    if (length > 0) detail += std::string(": ") + text;
    return detail;
}

namespace {

// A silent launch reports a failure by its exit code only; otherwise it is
// fatal, as it has always been.
int Failed(bool silent, int code, const std::string& detail) {
    if (!silent) ReportFatalError(code, detail);
    return kLaunchFailedExitCode;
}

// Starts the copy through the shell, which asks for the administrator
// rights its manifest requires. Silent, it waits for the uninstaller and
// hands on its exit code.
int StartCopy(const std::string& path, const std::string& parameters, bool silent,
              std::string* failure) {
    SHELLEXECUTEINFOA start = {};
    start.cbSize = sizeof(start);
    start.fMask = silent ? SEE_MASK_NOCLOSEPROCESS : 0;
    start.hwnd = GetDesktopWindow();
    start.lpVerb = "open";
    start.lpFile = path.c_str();
    start.lpParameters = parameters.c_str();
    start.nShow = SW_SHOWNORMAL;
    SetLastError(ERROR_SUCCESS);
    if (!ShellExecuteExA(&start)) {
        *failure = LaunchFailureText(reinterpret_cast<UINT_PTR>(start.hInstApp), GetLastError());
        return 0;
    }
    if (!silent) return 0;
    ScopedHandle process(start.hProcess);
    DWORD exitCode = kLaunchFailedExitCode;
    if (!process || WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &exitCode))
        return kLaunchFailedExitCode;
    return static_cast<int>(exitCode);
}

}  // namespace

int LaunchUninstaller(HINSTANCE instance, const std::string& installDirectory, bool silent) {
    const ResourceBytes uninstaller =
        FindResourceBytes(instance, kUninstallerResource, kUninstallerResourceType);
    if (!uninstaller.bytes) return Failed(silent, ErrorNoMemory, "cannot load resource into memory");

    const std::string folder = NewUninstallerFolder();
    if (folder.empty()) return Failed(silent, ErrorFileIo, kCannotCreate);
    const std::string path = folder + "\\" + kUninstallerFileName;
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file) {
        RemoveDirectoryA(folder.c_str());
        return Failed(silent, ErrorFileIo, kCannotCreate);
    }
    DWORD written = 0;
    const bool complete =
        WriteFile(file.get(), uninstaller.bytes, uninstaller.size, &written, nullptr) &&
        written == uninstaller.size;
    // Closed before it is started: the system runs no file open for writing.
    file.reset();
    if (!complete) {
        RemoveCopy(folder, path);
        return Failed(silent, ErrorFileIo, "Cannot write into file");
    }

    // The uninstaller closes this program's running instances itself, and
    // has the copy and its folder deleted at the next restart (which takes
    // the rights it runs with). Only a silent start waits for it: a
    // deployment tool waits for this program and reads its exit code.
    const std::string parameters =
        silent ? std::string(kSilentWord) + " " + installDirectory : installDirectory;
    std::string failure;
    const int exitCode = StartCopy(path, parameters, silent, &failure);
    if (!failure.empty()) {
        RemoveCopy(folder, path);
        return Failed(silent, ErrorFileIo, failure);
    }
    return exitCode;
}
