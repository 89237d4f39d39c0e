#include "window_readers.h"

#include <psapi.h>

#include "errors.h"
#include "family.h"
#include "handles.h"
#include "rights.h"
#include "system_function.h"
#include "text.h"
#include "tree_rules.h"

namespace {

// Titles are read whole up to this many bytes.
constexpr size_t kLongestTitle = 1 << 20;

// Text of a fixed buffer that the system may have filled to the brim.
template <typename Char>
std::basic_string<Char> BufferText(const Char* buffer, size_t capacity) {
    return TextUpToZero(buffer, capacity - 1);
}

}  // namespace

UiText GetWindowTitle(HWND window) {
    // Wine reads something for no window at all when the buffer is large.
    if (!window) return UiText();
    // Read with ever larger buffers until the title fits: GetWindowText
    // reads another program's title without asking that program, while
    // asking for the length would send its window a message and wait for a
    // program that may hang. Most titles fit the first buffer.
    UiChar shortTitle[kItemTextBuffer] = {};
    int read = UiGetWindowText(window, shortTitle, kItemTextBuffer);
    if (read <= 0) return UiText();
    // Two to spare: a title cut before a two-byte character (or the second
    // half of a surrogate pair) leaves one.
    if (static_cast<size_t>(read) + 2 < kItemTextBuffer) return BufferText(shortTitle, kItemTextBuffer);
    for (size_t size = 4 * kItemTextBuffer;; size *= 4) {
        // Longer titles than this are cut.
        if (size > kLongestTitle) size = kLongestTitle;
        auto buffer = AllocateBuffer<UiChar>(size, kStringBufferDetail);
        buffer[0] = 0;
        read = UiGetWindowText(window, buffer.get(), static_cast<int>(size));
        if (read <= 0) return UiText();
        if (static_cast<size_t>(read) + 2 < size || size == kLongestTitle)
            return BufferText(buffer.get(), size);
    }
}

bool HasTitle(HWND window) {
    UiChar first[2] = {};
    return UiGetWindowText(window, first, 2) > 0;
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

UiText ModulePathOf(HWND window, DWORD) {
    char path[MAX_PATH] = {};
    if (GetWindowModuleFileNameA(window, path, MAX_PATH) == 0) return UiText();
    return BufferText(path, MAX_PATH);
}

#else

namespace {

using QueryImageNameProc = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);

// The program file of the process; empty when it cannot be read.
UiText ProcessImagePath(DWORD processId) {
    // Windows Vista and later have it; XP does not, and hoverlane must start there.
    static const auto queryImageName =
        SystemFunction<QueryImageNameProc>("kernel32.dll", "QueryFullProcessImageNameW");
    if (!queryImageName) return UiText();
    // The limited right is all the call needs, and is granted for more
    // processes than the full one (every system with the call knows it).
    ScopedHandle process(OpenProcess(kQueryLimitedInformation, FALSE, processId));
    if (!process) return UiText();
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!queryImageName(process.get(), 0, path, &size)) return UiText();
    return BufferText(path, MAX_PATH);
}

}  // namespace

UiText ModulePathOf(HWND window, DWORD processId) {
    ScopedHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (process) {
        wchar_t path[MAX_PATH] = {};
        const HMODULE module = reinterpret_cast<HMODULE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
        if (GetModuleFileNameExW(process.get(), module, path, MAX_PATH) != 0)
            return BufferText(path, MAX_PATH);
    }
    // The window's module cannot be read when the process is protected or
    // elevated, is a 64-bit one seen from a 32-bit build, or gave the
    // window an instance handle that names no module. Its program file
    // names the program just as well.
    return ProcessImagePath(processId);
}

#endif
