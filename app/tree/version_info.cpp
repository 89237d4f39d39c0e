#include "version_info.h"

#include <cstring>

#include "errors.h"
#include "text.h"

bool VersionInfo::Load(const std::string& path) {
    codePage = kVersionFallbackCodePage;
    language = kVersionFallbackLanguage;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return false;
    buffer = AllocateBuffer<BYTE>(size, kByteBufferDetail);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, buffer.get())) {
        buffer.reset();
        return false;
    }
    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(buffer.get(), "\\", &block, &length)) return false;
    if (!VerQueryValueA(buffer.get(), "\\VarFileInfo\\Translation", &block, &length) ||
        length < sizeof(DWORD) || !block)
        return false;
    DWORD entry = 0;
    std::memcpy(&entry, block, sizeof(entry));
    const Translation translation = TranslationFrom(entry);
    language = translation.language;
    codePage = translation.codePage;
    return true;
}

std::string VersionInfo::QueryString(const char* valueName) const {
    if (!buffer) return std::string();
    const std::string path = VersionQueryPath({language, codePage}, valueName);
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(buffer.get(), path.c_str(), &value, &length) || !value) return std::string();
    // The length counts characters, the terminator perhaps included; a
    // damaged resource may have no terminator at all.
    return TextFromBytes(value, length);
}
