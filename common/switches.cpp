#include "switches.h"

#include <algorithm>
#include <cstring>

namespace {

struct Known {
    const char* word;  // a trailing '=' takes a value
    unsigned bit;
};
const Known kKnown[] = {
    {kSilentSwitch, kSwitchSilent},
    {kUninstallSwitch, kSwitchUninstall},
    {"/AllUsers", kSwitchAllUsers},
    {kLogSwitch, kSwitchLog},
    {kFolderSwitch, kSwitchFolder},
    {"/NoDesktopShortcut", kSwitchNoDesktopShortcut},
    {"/NoStartMenuShortcut", kSwitchNoStartMenuShortcut},
    {"/NoStartupShortcut", kSwitchNoStartupShortcut},
    {"/NoStartMinimized", kSwitchNoStartMinimized},
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The switches are plain ASCII: no code page decides their letter case.
bool StartsWithNoCase(const std::string& text, size_t at, const char* word) {
    for (size_t i = 0; word[i] != '\0'; ++i)
        if (at + i >= text.size() || AsciiUpper(text[at + i]) != AsciiUpper(word[i])) return false;
    return true;
}

}  // namespace

Switches ReadSwitches(const std::string& line, unsigned allowed) {
    Switches read;
    size_t at = 0;
    for (;;) {
        while (at < line.size() && IsBlank(line[at])) ++at;
        if (at >= line.size()) return read;
        size_t end = at;
        while (end < line.size() && !IsBlank(line[end])) ++end;
        const Known* known = nullptr;
        for (const Known& k : kKnown) {
            const size_t length = std::strlen(k.word);
            const bool takesValue = k.word[length - 1] == '=';
            // A word without a value must be the whole word: /Silent is not /S.
            if ((allowed & k.bit) && StartsWithNoCase(line, at, k.word) &&
                (takesValue || at + length == end))
                known = &k;
        }
        if (!known) {
            // Read on: a program decides by the words it knows (hoverlane
            // by /Uninstall) wherever they stand.
            if (read.unknown.empty()) read.unknown = line.substr(at, end - at);
            at = end;
            continue;
        }
        read.given |= known->bit;
        const size_t valueAt = at + std::strlen(known->word);
        if (known->bit == kSwitchFolder) {
            // The rest of the line: a folder may hold blanks and is never
            // quoted. Empty: setup's proposed folder, no installation for
            // the uninstaller.
            read.folder = line.substr(valueAt);
            while (!read.folder.empty() && IsBlank(read.folder.back())) read.folder.pop_back();
            return read;
        }
        if (known->bit == kSwitchLog) {
            if (valueAt < line.size() && line[valueAt] == '"') {
                // To the closing quote, or the end of the line without one.
                const size_t close = std::min(line.find('"', valueAt + 1), line.size());
                read.log = line.substr(valueAt + 1, close - valueAt - 1);
                end = std::min(close + 1, line.size());
            } else {
                read.log = line.substr(valueAt, end - valueAt);
            }
            if (read.log.empty() && read.unknown.empty()) read.unknown = known->word;
        }
        at = end;
    }
}
