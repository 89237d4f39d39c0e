#include "tree_rules.h"

std::string CutAtCharBoundary(const std::string& text, size_t maxBytes,
                              bool (*isLeadByte)(unsigned char)) {
    if (text.size() <= maxBytes) return text;
    size_t end = 0;
    while (end < maxBytes) {
        const size_t width = isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > maxBytes) break;
        end += width;
    }
    return text.substr(0, end);
}

#if defined(HOVERLANE_FAMILY_95)
namespace {

bool IsLeadByteOfSystemCodePage(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

}  // namespace
#endif

std::wstring CutAtCharBoundary(const std::wstring& text, size_t maxUnits) {
    if (text.size() <= maxUnits) return text;
    size_t end = maxUnits;
    // A high surrogate whose low half would be cut off goes with it.
    if (end > 0 && text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF) --end;
    return text.substr(0, end);
}

UiText ItemTextFor(const UiText& title) {
#if defined(HOVERLANE_FAMILY_95)
    return CutAtCharBoundary(title, kItemTextBuffer - 1, IsLeadByteOfSystemCodePage);
#else
    return CutAtCharBoundary(title, kItemTextBuffer - 1);
#endif
}

Translation TranslationFrom(DWORD entry) {
    Translation translation{LOWORD(entry), HIWORD(entry)};
    if (translation.language == 0) translation.language = kVersionFallbackLanguage;
    if (translation.codePage == 0) translation.codePage = kVersionFallbackCodePage;
    return translation;
}

std::string VersionQueryPath(Translation translation, const char* valueName) {
    // wsprintfA writes at most 1024 characters; value names are short
    // constants, the cut only guards the buffer.
    char path[1025] = {};
    wsprintfA(path, "\\StringFileInfo\\%04x%04x\\%.900s", translation.language,
              translation.codePage, valueName);
    return path;
}
