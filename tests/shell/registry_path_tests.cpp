// Path values of the registry, read through SHRegGetPathA where the shell
// has it and by hand where it does not (Windows 98): the same answers.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"
#include "registry_path.h"

namespace {

const char kKey[] = "Software\\HoverlaneTests\\RegistryPath";

std::string Variable(const char* name) {
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, MAX_PATH);
    return value;
}

TEST(RegistryPath, ByHandReadsWhatTheShellReads) {
    const std::string tooLong(MAX_PATH + 40, 'x');
    const DWORD number = 42;
    harness::WriteText(HKEY_CURRENT_USER, kKey, "plain", "C:\\Program Files");
    harness::WriteValue(HKEY_CURRENT_USER, kKey, "expand", REG_EXPAND_SZ, "%SystemRoot%\\x",
                        sizeof("%SystemRoot%\\x"));
    harness::WriteValue(HKEY_CURRENT_USER, kKey, "number", REG_DWORD, &number, sizeof(number));
    harness::WriteText(HKEY_CURRENT_USER, kKey, "long", tooLong);
    const struct {
        const char* key;
        const char* value;
        std::string expected;
    } cases[] = {
        {kKey, "plain", "C:\\Program Files"},
        {kKey, "expand", Variable("SystemRoot") + "\\x"},
        {kKey, "missing", ""},
        {"Software\\HoverlaneTests\\NoSuchKey", "plain", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.expected, ReadRegistryPathByHand(HKEY_CURRENT_USER, c.key, c.value));
        EXPECT_EQ(c.expected, ReadRegistryPath(HKEY_CURRENT_USER, c.key, c.value));
    }
    // Not text (the shell's answer is not defined there), or longer than a
    // path: no path, rather than one made up or cut short.
    EXPECT_EQ("", ReadRegistryPathByHand(HKEY_CURRENT_USER, kKey, "number"));
    EXPECT_EQ("", ReadRegistryPathByHand(HKEY_CURRENT_USER, kKey, "long"));
    EXPECT_LE(ReadRegistryPath(HKEY_CURRENT_USER, kKey, "long").size(), size_t{MAX_PATH});
    harness::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\HoverlaneTests");
}

}  // namespace
