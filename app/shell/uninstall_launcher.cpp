#include "uninstall_launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "errors.h"
#include "exit_codes.h"
#include "folder_security.h"
#include <initializer_list>

#include "handles.h"
#include "install_layout.h"
#include "install_log.h"
#include "random.h"
#include "resource.h"
#include "resource_bytes.h"
#include "switches.h"
#include "system_function.h"

namespace {

const char kCannotCreate[] = "Cannot create temporal file, check if you have suficient hard disk space";

// Tries this many names before giving up on a folder of its own.
constexpr int kFolderAttempts = 64;

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

using SetFileInformationFunction = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
constexpr int kFileDispositionInfo = 4;  // FileDispositionInfo

// The copy and its folder while the uninstaller starts: opened before the
// folder is protected, with the right to delete them, and without sharing
// write or delete access, so that nobody changes the copy meanwhile.
struct HeldCopy {
    ScopedHandle file;
    ScopedHandle folder;

    // Deletes both, when nothing will run the copy. Its maker may no longer
    // delete them by name once the folder is protected; the handles keep
    // that right (Vista and later, where the protection is set at all).
    void Remove(const std::string& folderPath, const std::string& path) {
        static const auto setInformation = SystemFunction<SetFileInformationFunction>(
            "kernel32.dll", "SetFileInformationByHandle");
        for (ScopedHandle* held : {&file, &folder}) {
            BOOL deleteIt = TRUE;
            if (setInformation && *held)
                setInformation(held->get(), kFileDispositionInfo, &deleteIt, sizeof(deleteIt));
            held->reset();
        }
        DeleteFileA(path.c_str());
        RemoveDirectoryA(folderPath.c_str());
    }
};

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
    LogLine("Started " + path + " " + parameters);
    if (!silent) return 0;
    ScopedHandle process(start.hProcess);
    DWORD exitCode = kExitUninstallerNotStarted;
    if (!process || WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &exitCode))
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
    HeldCopy held;
    {
        // Nobody else may write it while it is written.
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
        // Closed before it is started: the system runs no file open for
        // writing.
        file.reset();
        if (!complete) {
            held.Remove(folder, path);
            return Failed(silent, ErrorFileIo, "Cannot write into file");
        }
    }
    // Held, until the uninstaller runs, by handles that share neither write
    // nor delete access: running it shares both read and delete.
    held.file.reset(CreateFileA(path.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    held.folder.reset(CreateFileA(folder.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    // From here on only SYSTEM and the Administrators may change the folder.
    if (!held.file || !ProtectFolder(folder, CopyFolderProtected(userSid))) {
        held.Remove(folder, path);
        return Failed(silent, ErrorFileIo, kCannotCreate);
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
        held.Remove(folder, path);
        return Failed(silent, ErrorFileIo, failure);
    }
    return exitCode;
}
