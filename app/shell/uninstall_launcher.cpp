#include "uninstall_launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "errors.h"
#include "exit_codes.h"
#include "folder_security.h"
#include "handles.h"
#include "install_layout.h"
#include "install_log.h"
#include "random.h"
#include "resource.h"
#include "resource_bytes.h"
#include "switches.h"

namespace {

const char kCannotCreate[] = "Cannot create temporal file, check if you have suficient hard disk space";

// Tries this many names before giving up on a folder of its own.
constexpr int kFolderAttempts = 64;
// A silent start waits this long for the uninstaller, which closes running
// copies and deletes a few files: seconds, but for a machine far too busy.
constexpr DWORD kUninstallerWaitMs = 5 * 60 * 1000;

// A new, empty folder under the temporary folder, made by this call, with
// a name nobody can predict, that only its maker, SYSTEM and the
// Administrators may write: the uninstaller runs with administrator rights
// (as SYSTEM, from C:\Windows\Temp, where any user may add files to a
// folder that inherits its rights), and nothing may lie beside it (a DLL
// it would load). Empty when none can be made.
std::string NewUninstallerFolder(const std::string& userSid) {
    char temp[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    // A folder that does not fit leaves the buffer undefined; a bare name
    // would land in the current folder instead.
    if (length == 0 || length >= MAX_PATH) return std::string();
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
        char name[32];
        wsprintfA(name, "%s%08lX", kUninstallerFolderPrefix, static_cast<unsigned long>(RandomNumber()));
        const std::string folder = std::string(temp, length) + name;
        if (folder.size() + 1 + sizeof(kUninstallerFileName) > MAX_PATH) return std::string();
        const DWORD made = CreateFolderWithAccess(folder, CopyFolderWhileWritten(userSid));
        if (made == ERROR_SUCCESS) return folder;
        if (made != ERROR_ALREADY_EXISTS) {
            LogFailure("Cannot create " + folder, made);
            return std::string();
        }
    }
    return std::string();
}

// Deletes the copy and its folder, when nothing will run the copy: its
// maker may still delete both (but neither change nor add to them).
void RemoveCopy(ScopedHandle& held, const std::string& folder, const std::string& path) {
    held.reset();
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
    // A code the system has no words for is named by its number.
    return std::string("Cannot start the uninstaller: ") + (length > 0 ? std::string(text) : SystemErrorText(code));
}

std::string UninstallerParameters(const std::string& installDirectory, bool silent,
                                  const std::string& log) {
    // What the uninstaller has always been given, when there is nothing else
    // to hand on.
    if (!silent && log.empty()) return installDirectory;
    std::string parameters;
    if (silent) parameters += std::string(kSilentSwitch) + " ";
    if (!log.empty()) parameters += std::string(kLogSwitch) + "\"" + log + "\" ";
    return parameters + kFolderSwitch + installDirectory;
}

namespace {

// A silent launch reports a failure by its exit code only; otherwise it is
// fatal, as it has always been.
int Failed(bool silent, int code, const std::string& detail) {
    LogLine(detail);
    if (!silent) ReportFatalError(code, detail);
    return kExitUninstallerNotStarted;
}

// Whether the folder holds the copy and nothing else, and the copy, read
// through the handle that holds it, is the uninstaller byte for byte.
bool CopyIsIntact(const std::string& folder, HANDLE copy, const ResourceBytes& uninstaller) {
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    int others = 0;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != ".." && lstrcmpiA(name.c_str(), kUninstallerFileName) != 0) ++others;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::vector<char> bytes(uninstaller.size + 1);
    DWORD read = 0;
    return others == 0 && SetFilePointer(copy, 0, nullptr, FILE_BEGIN) == 0 &&
           ReadFile(copy, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
           read == uninstaller.size && std::memcmp(bytes.data(), uninstaller.bytes, read) == 0;
}

// A person's start goes through the shell, which asks for the administrator
// rights the uninstaller's manifest requires. A silent one asks nobody: it
// fails without them (error 740), as a script's start of any such program
// does, and it waits, for a bounded time, for the exit code to hand on.
int StartCopy(const std::string& path, const std::string& parameters, bool silent,
              std::string* failure) {
    if (!silent) {
        SHELLEXECUTEINFOA start = {};
        start.cbSize = sizeof(start);
        // The failure is reported in our own box, once.
        start.fMask = SEE_MASK_FLAG_NO_UI;
        start.hwnd = GetDesktopWindow();
        start.lpVerb = "open";
        start.lpFile = path.c_str();
        start.lpParameters = parameters.c_str();
        start.nShow = SW_SHOWNORMAL;
        SetLastError(ERROR_SUCCESS);
        if (!ShellExecuteExA(&start))
            *failure = LaunchFailureText(reinterpret_cast<UINT_PTR>(start.hInstApp), GetLastError());
        else
            LogLine("Started " + path + " " + parameters);
        return 0;
    }
    std::string commandLine = "\"" + path + "\" " + parameters;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        *failure = LaunchFailureText(0, GetLastError());
        return kExitUninstallerNotStarted;
    }
    LogLine("Started " + path + " " + parameters);
    const ScopedHandle thread(started.hThread);
    const ScopedHandle process(started.hProcess);
    const DWORD waited = WaitForSingleObject(process.get(), kUninstallerWaitMs);
    DWORD exitCode = kExitUninstallerNotStarted;
    if (waited == WAIT_TIMEOUT) {
        LogLine("The uninstaller did not end in time; it may still be working");
        return kExitTimedOut;
    }
    if (waited != WAIT_OBJECT_0 || !GetExitCodeProcess(process.get(), &exitCode))
        return kExitUninstallerNotStarted;
    return static_cast<int>(exitCode);
}

}  // namespace

int LaunchUninstaller(HINSTANCE instance, const std::string& installDirectory, bool silent) {
    const ResourceBytes uninstaller =
        FindResourceBytes(instance, kUninstallerResource, kUninstallerResourceType);
    if (!uninstaller.bytes) return Failed(silent, ErrorNoMemory, "cannot load resource into memory");

    const std::string userSid = CurrentUserSid();
    const std::string folder = NewUninstallerFolder(userSid);
    if (folder.empty()) return Failed(silent, ErrorFileIo, kCannotCreate);
    const std::string path = folder + "\\" + kUninstallerFileName;
    ScopedHandle held;
    {
        // Nobody else may write it while it is written, and the folder is
        // locked before the writer lets go: from its first byte on, only
        // SYSTEM and the Administrators may change the copy or add beside it.
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
        const bool locked = complete && ProtectFolder(folder, CopyFolderProtected(userSid));
        // Closed before it is started: the system runs no file open for
        // writing.
        file.reset();
        if (!locked) {
            RemoveCopy(held, folder, path);
            return Failed(silent, ErrorFileIo, complete ? kCannotCreate : "Cannot write into file");
        }
    }
    // Held, until the uninstaller runs, by a handle that shares neither
    // write nor delete access: running it shares both read and delete. A
    // handle on the folder opened before the lock could still have added a
    // file beside it: the copy starts only from a folder that holds it alone.
    held.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held || !CopyIsIntact(folder, held.get(), uninstaller)) {
        RemoveCopy(held, folder, path);
        return Failed(silent, ErrorFileIo, "The uninstaller's copy was changed before it started");
    }

    // The uninstaller closes this program's running instances itself, and
    // has the copy and its folder deleted at the next restart (which takes
    // the rights it runs with). Only a silent start waits for it: a
    // deployment tool waits for this program and reads its exit code.
    const std::string parameters =
        UninstallerParameters(installDirectory, silent, InstallLogOpen() ? InstallLogPath() : "");
    std::string failure;
    const int exitCode = StartCopy(path, parameters, silent, &failure);
    if (!failure.empty()) {
        RemoveCopy(held, folder, path);
        return Failed(silent, ErrorFileIo, failure);
    }
    return exitCode;
}
