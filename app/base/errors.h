// The one error reporter of hoverlane: a box with the code's prefix and the
// caller's detail, then what the code's severity asks for. It sits below
// every other part of the program; the main window hands it, at its start,
// what only the main window knows (see SetErrorHooks).
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <new>
#include <string>

#include "boundary.h"

enum ErrorCode {
    ErrorNoMemory = 1,       // fatal
    ErrorRegistryWrite = 3,  // ask to quit
    ErrorWindowIcon = 4,     // ask to quit
    ErrorRegistryRead = 5,   // none
    ErrorFileIo = 6,         // fatal
};

enum class Severity { None, AskToQuit, Fatal };

struct ErrorKind {
    int code;
    const char* prefix;
    Severity severity;
};

inline constexpr ErrorKind kErrorKinds[] = {
    {ErrorNoMemory, "There is no free memory on your computer: ", Severity::Fatal},
    {ErrorRegistryWrite, "An error ocurred while writing the registry: ", Severity::AskToQuit},
    {ErrorWindowIcon, "Cannot retrieve a window icon: ", Severity::AskToQuit},
    {ErrorRegistryRead, "An error ocurred while reading the registry: ", Severity::None},
    {ErrorFileIo, "File I/O problem: ", Severity::Fatal},
};

// The details of the out-of-memory error for text and for other buffers.
inline constexpr char kStringBufferDetail[] = "Cannot allocate a string buffer";
inline constexpr char kByteBufferDetail[] = "Cannot allocate a byte buffer";

// Prefix and severity of a code; an unknown code has an empty prefix and no
// follow-up.
const char* ErrorPrefix(int code);
Severity ErrorSeverity(int code);

// Returns only for the severities none and ask to quit. Yes to the quit
// question posts the quit message; the message loop then shuts the main
// window down in order.
void ReportError(int code, const std::string& detail);
void ReportFollowUp(Severity severity);
// A fatal code's boxes, then the end of the process: callers go no further.
[[noreturn]] void ReportFatalError(int code, const std::string& detail);
// The out-of-memory error for an exception that reached one of the
// procedures Windows calls; it allocates nothing itself.
[[noreturn]] void ReportOutOfMemory() noexcept;
// Runs the body of a procedure that Windows calls (see boundary.h): an
// exception ends the program through ReportOutOfMemory.
template <typename Body>
auto Guarded(Body body) noexcept -> decltype(body()) {
    using Result = decltype(body());
    return AtBoundary(body, []() -> Result { ReportOutOfMemory(); });
}

// What the main window gives the reporter when it is made: the owner of the
// boxes (none before the main window exists and once it is gone) and what
// must go before a fatal error ends the process (its tray icon). Without
// them the boxes have no owner and nothing else happens.
using ErrorOwnerFunction = HWND (*)();
using FatalCleanupFunction = void (*)();
void SetErrorHooks(ErrorOwnerFunction owner, FatalCleanupFunction beforeFatalExit);
void ResetErrors();

// A buffer of count elements; when memory is exhausted, the out-of-memory
// error with the caller's detail, which ends the program.
template <typename T>
std::unique_ptr<T[]> AllocateBuffer(size_t count, const char* detail) {
    std::unique_ptr<T[]> buffer(new (std::nothrow) T[count ? count : 1]);
    if (!buffer) ReportFatalError(ErrorNoMemory, detail);
    return buffer;
}
