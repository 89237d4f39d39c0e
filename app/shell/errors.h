// The one error reporter of hoverlane: a box with the code's prefix and the
// caller's detail, then what the code's severity asks for.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <string>

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

// A buffer of count elements; when memory is exhausted, the out-of-memory
// error with the caller's detail, which ends the program.
template <typename T>
std::unique_ptr<T[]> AllocateBuffer(size_t count, const char* detail) {
    std::unique_ptr<T[]> buffer(new (std::nothrow) T[count ? count : 1]);
    if (!buffer) ReportFatalError(ErrorNoMemory, detail);
    return buffer;
}
