#include "window_readers.h"

#include <psapi.h>

#include <cstring>

#include "errors.h"
#include "family.h"
#include "handles.h"
#include "rights.h"
#include "system_function.h"
#include "tree_rules.h"

namespace {

// Titles are read whole up to this many bytes.
constexpr size_t kLongestTitle = 1 << 20;

// Text of a fixed buffer that the system may have filled to the brim.
std::string BufferText(const char* buffer, size_t capacity) {
    return std::string(buffer, strnlen(buffer, capacity - 1));
}

}  // namespace

std::string GetWindowTitle(HWND window) {
    // Wine reads something for no window at all when the buffer is large.
    if (!window) return std::string();
    // Read with ever larger buffers until the title fits: GetWindowText
    // reads another program's title without asking that program, while
    // asking for the length would send its window a message and wait for a
    // program that may hang. Most titles fit the first buffer.
    char shortTitle[kItemTextBuffer] = {};
    int read = GetWindowTextA(window, shortTitle, sizeof(shortTitle));
    if (read <= 0) return std::string();
    // Two bytes to spare: a title cut before a two-byte character leaves one.
    if (static_cast<size_t>(read) + 2 < sizeof(shortTitle))
        return BufferText(shortTitle, sizeof(shortTitle));
    for (size_t size = 4 * sizeof(shortTitle);; size *= 4) {
        // Longer titles than this are cut.
        if (size > kLongestTitle) size = kLongestTitle;
        auto buffer = AllocateBuffer<char>(size, kStringBufferDetail);
        buffer[0] = '\0';
        read = GetWindowTextA(window, buffer.get(), static_cast<int>(size));
        if (read <= 0) return std::string();
        if (static_cast<size_t>(read) + 2 < size || size == kLongestTitle)
            return BufferText(buffer.get(), size);
    }
}

bool HasTitle(HWND window) {
    char first[2] = {};
    return GetWindowTextA(window, first, sizeof(first)) > 0;
}

bool IsAcceptableWindow(HWND window) {
    // The style first: one call turns most windows away, and a window that
    // is gone has no style at all.
    return HasAcceptableStyle(GetWindowLongA(window, GWL_STYLE)) && IsWindowVisible(window) &&
           HasTitle(window);
}

bool IsWindowWithin(HWND window, HWND candidate) {
    HWND current = window;
    while (current != candidate) {
        current = GetParent(current);
        if (!current) return false;
    }
    return true;
}

#if defined(HOVERLANE_FAMILY_95)

std::string ModulePathOf(HWND window, DWORD) {
    char path[MAX_PATH] = {};
    if (GetWindowModuleFileNameA(window, path, MAX_PATH) == 0) return std::string();
    return BufferText(path, MAX_PATH);
}

#else

namespace {

using QueryImageNameProc = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

// The program file of the process; empty when it cannot be read.
std::string ProcessImagePath(DWORD processId) {
    // Windows Vista and later have it; XP does not, and hoverlane must start there.
    static const auto queryImageName =
        SystemFunction<QueryImageNameProc>("kernel32.dll", "QueryFullProcessImageNameA");
    if (!queryImageName) return std::string();
    // The limited right is all the call needs, and is granted for more
    // processes than the full one (every system with the call knows it).
    ScopedHandle process(OpenProcess(kQueryLimitedInformation, FALSE, processId));
    if (!process) return std::string();
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!queryImageName(process.get(), 0, path, &size)) return std::string();
    return BufferText(path, MAX_PATH);
}

}  // namespace

std::string ModulePathOf(HWND window, DWORD processId) {
    ScopedHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (process) {
        char path[MAX_PATH] = {};
        const HMODULE module = reinterpret_cast<HMODULE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
        if (GetModuleFileNameExA(process.get(), module, path, MAX_PATH) != 0)
            return BufferText(path, MAX_PATH);
    }
    // The window's module cannot be read when the process is protected or
    // elevated, is a 64-bit one seen from a 32-bit build, or gave the
    // window an instance handle that names no module. Its program file
    // names the program just as well.
    return ProcessImagePath(processId);
}

#endif
