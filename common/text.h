// Bounded text helpers for the fixed 260-character buffers the programs use,
// and the shape of a path, read as text.
#pragma once

#include <cstddef>
#include <string>

// Copies src into dst (capacity cap, terminator included), cutting what does
// not fit. Returns the number of characters copied. dst is always terminated
// when cap > 0.
inline size_t CopyBounded(char* dst, size_t cap, const char* src) {
    if (cap == 0) return 0;
    size_t n = 0;
    if (src) {
        while (n + 1 < cap && src[n] != '\0') {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = '\0';
    return n;
}

inline size_t CopyBounded(char* dst, size_t cap, const std::string& src) {
    return CopyBounded(dst, cap, src.c_str());
}

// Text up to the first zero byte within [data, data + size), for values that
// may or may not carry their terminator.
inline std::string TextFromBytes(const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    size_t n = 0;
    while (n < size && p[n] != '\0') ++n;
    return std::string(p, n);
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
