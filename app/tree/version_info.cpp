#include "version_info.h"

#include <cstring>

#include "errors.h"
#include "text.h"

bool VersionInfo::Load(const UiText& path) {
    codePage = kVersionFallbackCodePage;
    language = kVersionFallbackLanguage;
    const DWORD size = UiGetFileVersionInfoSize(path);
    if (size == 0) return false;
    buffer = AllocateBuffer<BYTE>(size, kByteBufferDetail);
    if (!UiGetFileVersionInfo(path, size, buffer.get())) {
        buffer.reset();
        return false;
    }
    void* block = nullptr;
    UINT length = 0;
    if (!UiVerQueryValue(buffer.get(), UI_TEXT("\\"), &block, &length)) return false;
    if (!UiVerQueryValue(buffer.get(), UI_TEXT("\\VarFileInfo\\Translation"), &block, &length) ||
        length < sizeof(DWORD) || !block)
        return false;
    DWORD entry = 0;
    std::memcpy(&entry, block, sizeof(entry));
    const Translation translation = TranslationFrom(entry);
    language = translation.language;
    codePage = translation.codePage;
    return true;
}

UiText VersionInfo::QueryString(const char* valueName) const {
    if (!buffer) return UiText();
    const UiText path = UiFromAnsi(VersionQueryPath({language, codePage}, valueName));
    void* value = nullptr;
    UINT length = 0;
    if (!UiVerQueryValue(buffer.get(), path, &value, &length) || !value) return UiText();
    // The length counts characters, the terminator perhaps included; a
    // damaged resource may have no terminator at all.
    return TextUpToZero(static_cast<const UiChar*>(value), length);
}
