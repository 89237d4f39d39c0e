// Plain-value decisions of the window tree, kept apart from the window calls
// so that tests can check them directly.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui_text.h"

// Tree item texts pass through buffers of 260 characters (UiChar).
constexpr size_t kItemTextBuffer = MAX_PATH;

// Orders handles by their value as an unsigned integer of pointer width.
struct HandleOrder {
    template <typename Handle>
    bool operator()(Handle a, Handle b) const {
        return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b);
    }
};

// At most maxBytes bytes of text, never ending in the first byte of a
// two-byte character (that would come back from the tree view as another
// text, and the item would be rewritten at every refresh).
std::string CutAtCharBoundary(const std::string& text, size_t maxBytes,
                              bool (*isLeadByte)(unsigned char));
// At most maxUnits UTF-16 units, never between the two halves of a
// surrogate pair (a character beyond the first 65,536).
std::wstring CutAtCharBoundary(const std::wstring& text, size_t maxUnits);

// What a tree item shows of a title: the title cut to fit the item-text
// buffer (in the system's code page on the 95 family). The refresh compares
// the item against this, so a long title does not make the item differ at
// every refresh.
UiText ItemTextFor(const UiText& title);

// Both caption bits (WS_BORDER and WS_DLGFRAME) set.
inline bool HasCaption(LONG style) {
    return (static_cast<DWORD>(style) & WS_CAPTION) == WS_CAPTION;
}

// What the style alone says of an acceptable window: captioned, and visible
// itself (its parents must be visible too).
inline bool HasAcceptableStyle(LONG style) {
    return HasCaption(style) && (style & WS_VISIBLE);
}

// Only child and pop-up windows have a parent or owner that GetParent
// reports; for any other window it reports none.
inline bool MayReportParent(LONG style) {
    return (style & (WS_CHILD | WS_POPUP)) != 0;
}

// Language and code page of a translation entry (language in the low
// word); zeros stand for US English and the Western code page.
struct Translation {
    WORD language;
    WORD codePage;
};
constexpr WORD kVersionFallbackLanguage = 0x0409;
constexpr WORD kVersionFallbackCodePage = 1252;
Translation TranslationFrom(DWORD entry);

// "\StringFileInfo\llllcccc\name", four lower-case hex digits each.
std::string VersionQueryPath(Translation translation, const char* valueName);

// A window may become a child node when the parent that GetParent reports
// is the node's container or none.
inline bool ParentAdmits(HWND reportedParent, HWND container) {
    return reportedParent == nullptr || reportedParent == container;
}
