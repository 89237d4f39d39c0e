#include "registered_programs.h"

#include <windows.h>

#include <algorithm>

#include "errors.h"
#include "handles.h"
#include "text.h"

namespace {

// A value name has at most 16,383 characters; in a multi-byte code page its
// ANSI form can take two bytes per character.
constexpr DWORD kLargestNameBuffer = 2 * 16383 + 5;
// Growing the buffers for one value is tried this often before giving up.
constexpr int kMaxRegrowths = 4;

// A value's data as text, up to its first zero: a string as the system
// hands it (UTF-16 on the NT family), any other type's bytes as text of the
// code page, with or without its terminating zero.
UiText DataText(DWORD type, const BYTE* data, DWORD size) {
#if !defined(HOVERLANE_FAMILY_95)
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)
        return TextUpToZero(reinterpret_cast<const UiChar*>(data), size / sizeof(UiChar));
#endif
    (void)type;
    return UiFromAnsi(TextFromBytes(data, size));
}

}  // namespace

void LoadRegisteredPrograms(std::vector<RegisteredProgram>& list) {
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRegisteredProgramsKey, 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS)
        return;

    DWORD values = 0, longestName = 0, largestData = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                         &longestName, &largestData, nullptr, nullptr) != ERROR_SUCCESS ||
        values == 0)
        return;

    DWORD nameSize = std::min(std::max<DWORD>(longestName + 5, 20), kLargestNameBuffer);
    DWORD dataSize = std::max<DWORD>(largestData, 1);
    auto name = AllocateBuffer<UiChar>(nameSize, kStringBufferDetail);
    auto data = AllocateBuffer<BYTE>(dataSize, kByteBufferDetail);

    for (DWORD index = 0;; ++index) {
        DWORD nameLength = 0, dataLength = 0, type = REG_NONE;
        LONG result = ERROR_SUCCESS;
        for (int regrowth = 0;; ++regrowth) {
            nameLength = nameSize;
            dataLength = dataSize;
            result = UiRegEnumValue(key.get(), index, name.get(), &nameLength, &type, data.get(), &dataLength);
            if (result != ERROR_MORE_DATA || regrowth == kMaxRegrowths) break;
            // The key changed since it was measured, or a name takes more
            // bytes than characters: grow what was short and read the value
            // again, instead of losing it and every value after it.
            if (dataLength > dataSize) {
                dataSize = dataLength;
                data = AllocateBuffer<BYTE>(dataSize, kByteBufferDetail);
            } else if (nameSize < kLargestNameBuffer) {
                nameSize = std::min(nameSize * 2, kLargestNameBuffer);
                name = AllocateBuffer<UiChar>(nameSize, kStringBufferDetail);
            } else {
                break;
            }
        }
        if (result != ERROR_SUCCESS) break;  // no more values, or an error: keep what was read

        nameLength = std::min(nameLength, nameSize - 1);
        RegisteredProgram program;
        program.modulePath = nameLength == 0 ? UiText(UI_TEXT("default")) : UiText(name.get(), nameLength);
        // Data of any type, with or without its terminating zero.
        program.programName = DataText(type, data.get(), std::min(dataLength, dataSize));
        list.push_back(std::move(program));
    }
}

bool IsRegistered(const std::vector<RegisteredProgram>& list, const UiText& modulePath,
                  const UiText& programName) {
    bool registered = false;
    for (const RegisteredProgram& program : list)
        if (UiEqualNoCase(programName, program.programName) && UiEqualNoCase(modulePath, program.modulePath))
            registered = true;
    return registered;
}

void RegisterProgram(const UiText& modulePath, const UiText& programName) {
    // A program whose module could not be read has no path: writing it
    // would set the key's unnamed value instead.
    if (modulePath.empty()) return;
    if (UiRegSetText(HKEY_CURRENT_USER, kRegisteredProgramsKey, modulePath, programName) != ERROR_SUCCESS)
        ReportError(ErrorRegistryWrite, "Cannot register the program especified");
}

void DeleteRegistration(const UiText& modulePath) {
    UiRegDeleteValue(HKEY_CURRENT_USER, kRegisteredProgramsKey, modulePath);
}
