// Bounded text helpers for the fixed 260-character buffers the programs use.
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
