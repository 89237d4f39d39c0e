// Bounded text helpers for the fixed 260-character buffers the programs use,
// and the shape of a path, read as text.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// Copies src into dst (capacity cap, terminator included), cutting what does
// not fit. Returns the number of characters copied. dst is always terminated
// when cap > 0.
template <typename Char>
size_t CopyBounded(Char* dst, size_t cap, const Char* src) {
    if (cap == 0) return 0;
    size_t n = 0;
    if (src) {
        while (n + 1 < cap && src[n] != 0) {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = 0;
    return n;
}

template <typename Char>
size_t CopyBounded(Char* dst, size_t cap, const std::basic_string<Char>& src) {
    return CopyBounded(dst, cap, src.c_str());
}

// Text up to the first zero within the first count characters, for values
// and buffers that may or may not carry their terminator.
template <typename Char>
std::basic_string<Char> TextUpToZero(const Char* text, size_t count) {
    size_t n = 0;
    while (n < count && text[n] != 0) ++n;
    return std::basic_string<Char>(text, n);
}

inline std::string TextFromBytes(const void* data, size_t size) {
    return TextUpToZero(static_cast<const char*>(data), size);
}

// UTF-16 text in the ANSI code page, as the system converts it.
inline std::string AnsiFromWide(const std::wstring& text) {
    const int size = static_cast<int>(text.size());
    const int length = size ? WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr) : 0;
    std::string narrow(length > 0 ? length : 0, '\0');
    if (length > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), size, &narrow[0], length, nullptr, nullptr);
    return narrow;
}

// The text cut to at most maxChars characters: what a buffer of maxChars + 1
// characters would hold.
inline std::string CutText(const std::string& text, size_t maxChars) {
    return text.size() <= maxChars ? text : text.substr(0, maxChars);
}

inline bool IsSlash(char c) {
    return c == '\\' || c == '/';
}

inline bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Starts with a drive and a backslash, or is a share path; device paths
// ("\\\\?\\", "\\\\.\\") and paths relative to the current folder or drive
// are not.
inline bool IsFullyQualified(const std::string& path) {
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSlash(path[2]))
        return true;
    if (path.size() >= 3 && IsSlash(path[0]) && IsSlash(path[1]) && !IsSlash(path[2])) {
        const bool device = path[2] == '?' || (path[2] == '.' && (path.size() == 3 || IsSlash(path[3])));
        return !device;
    }
    return false;
}
