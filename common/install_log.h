// The record an administrator asks for with /LOG=<file>: each step, each
// file and key, and the system's own words for a failure, appended as plain
// text lines. Without /LOG= every call does nothing.
#pragma once

#include <windows.h>

#include <string>

// Opens the file for appending (made when missing) and writes a first line
// naming the program and its command line. False when it cannot be written.
bool OpenInstallLog(const std::string& path, const char* program, const char* commandLine);
// Whether a log is open: the programs hand /LOG= on only then.
bool InstallLogOpen();
// The file it appends to, as opened (full path).
const std::string& InstallLogPath();
void LogLine(const std::string& text);
// "<what>: <the system's text for error> (error <n>)".
void LogFailure(const std::string& what, DWORD error);
// The last line, with the exit code; the file is closed.
void CloseInstallLog(int exitCode);

// The system's text for an error code, one line, without its full stop
// and line end; "error <n>" when the system has none.
std::string SystemErrorText(DWORD error);
