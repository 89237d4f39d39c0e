// The version resource of one program file: its product name and version.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "tree_rules.h"

class VersionInfo {
public:
    VersionInfo() = default;
    ~VersionInfo() = default;
    VersionInfo(const VersionInfo&) = delete;
    VersionInfo& operator=(const VersionInfo&) = delete;

    // Reads the file's version resource and its first translation. The
    // result matters less than whether buffer is present afterwards.
    bool Load(const UiText& path);
    // The string value under the translation; empty when there is none.
    UiText QueryString(const char* valueName) const;

    std::unique_ptr<BYTE[]> buffer;
    WORD language = kVersionFallbackLanguage;
    WORD codePage = kVersionFallbackCodePage;
};
