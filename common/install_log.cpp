#include "install_log.h"

#include "handles.h"

namespace {

ScopedHandle LogFile;
std::string LogPath;

void Write(const std::string& text) {
    if (!LogFile) return;
    const std::string line = text + "\r\n";
    DWORD written = 0;
    // At the end each time, in one write: the uninstaller and the hoverlane
    // that started it share the file.
    SetFilePointer(LogFile.get(), 0, nullptr, FILE_END);
    WriteFile(LogFile.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string Stamp() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[32];
    wsprintfA(text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
              now.wMinute, now.wSecond);
    return text;
}

}  // namespace

std::string SystemErrorText(DWORD error) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  error, 0, text, sizeof(text), nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                          text[length - 1] == ' ' || text[length - 1] == '.'))
        text[--length] = '\0';
    if (length > 0) return text;
    char number[32];
    wsprintfA(number, "error %lu", static_cast<unsigned long>(error));
    return number;
}

bool OpenInstallLog(const std::string& path, const char* program, const char* commandLine) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return false;
    LogFile.reset(CreateFileA(full, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!LogFile) return false;
    LogPath = full;
    Write(Stamp() + " " + program + " " + (commandLine ? commandLine : ""));
    return true;
}

bool InstallLogOpen() {
    return LogFile.valid();
}

const std::string& InstallLogPath() {
    return LogPath;
}

void LogLine(const std::string& text) {
    Write(text);
}

void LogFailure(const std::string& what, DWORD error) {
    char number[32];
    wsprintfA(number, " (error %lu)", static_cast<unsigned long>(error));
    Write(what + ": " + SystemErrorText(error) + number);
}

void CloseInstallLog(int exitCode) {
    char text[48];
    wsprintfA(text, "exit code %d", exitCode);
    Write(Stamp() + " " + text);
    LogFile.reset();
}
