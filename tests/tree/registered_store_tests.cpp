// Reading the registered programs back from the registry, whatever the
// registry holds.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fixture.h"
#include "harness.h"
#include "install_layout.h"
#include "registered_programs.h"

namespace {

class RegisteredStoreTest : public ProductTest {};

std::vector<RegisteredProgram> Load() {
    std::vector<RegisteredProgram> list;
    LoadRegisteredPrograms(list);
    return list;
}

void Write(const std::string& name, DWORD type, const std::string& data) {
    harness::WriteValue(HKEY_CURRENT_USER, kRegisteredProgramsKey, name.c_str(), type, data.data(),
                        static_cast<DWORD>(data.size()));
}

TEST_F(RegisteredStoreTest, NoKeyMeansNoRegistrations) {
    EXPECT_TRUE(Load().empty());
    harness::WriteText(HKEY_CURRENT_USER, kProductKey, kTimerValue, "x");
    EXPECT_TRUE(Load().empty());
}

TEST_F(RegisteredStoreTest, ValuesOfAnyTypeAndShapeAreReadSafely) {
    const std::string path = "C:\\Programs\\Editor\\editor.exe";
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, path.c_str(), "Editor 2.1");
    Write("C:\\dword.exe", REG_DWORD, std::string("\x41\x42\x43\x44", 4));
    Write("C:\\unterminated.exe", REG_BINARY, "No zero at the end");
    Write("C:\\embedded.exe", REG_SZ, std::string("First\0Second", 13));
    Write("C:\\empty.exe", REG_SZ, "");
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, "", "Unnamed");
    const std::string longName = "C:\\" + std::string(16000, 'n') + ".exe";
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, longName.c_str(), "Long one");
    const std::string bigData(100000, 'd');
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, "C:\\big.exe", bigData);

    std::map<std::string, std::string> read;
    for (const RegisteredProgram& program : Load())
        read[AnsiFromUi(program.modulePath)] = AnsiFromUi(program.programName);
    ASSERT_EQ(8u, read.size());
    EXPECT_EQ("Editor 2.1", read[path]);
    EXPECT_EQ("ABCD", read["C:\\dword.exe"]);
    EXPECT_EQ("No zero at the end", read["C:\\unterminated.exe"]);
    EXPECT_EQ("First", read["C:\\embedded.exe"]);
    EXPECT_EQ("", read["C:\\empty.exe"]);
    EXPECT_EQ("Unnamed", read["default"]);
    EXPECT_EQ("Long one", read[longName]);
    EXPECT_EQ(bigData, read["C:\\big.exe"]);

    std::vector<RegisteredProgram> list = Load();
    EXPECT_TRUE(IsRegistered(list, UI_TEXT("c:\\PROGRAMS\\editor\\Editor.exe"), UI_TEXT("EDITOR 2.1")));
    EXPECT_FALSE(IsRegistered(list, UiFromAnsi(path), UI_TEXT("Editor 2.2")));
    EXPECT_FALSE(IsRegistered(list, UI_TEXT("C:\\Programs\\editor.exe"), UI_TEXT("Editor 2.1")));
    // The unnamed value matches no running program's path.
    EXPECT_FALSE(IsRegistered(list, UiText(), UI_TEXT("Unnamed")));
}

TEST_F(RegisteredStoreTest, ThousandsOfValuesAreAllRead) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kRegisteredProgramsKey, 0, nullptr, 0,
                                             KEY_WRITE, nullptr, &key, nullptr));
    for (int i = 0; i < 3000; ++i) {
        const std::string name = "C:\\Programs\\" + std::to_string(i) + "\\program.exe";
        const std::string data = "Program " + std::to_string(i);
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
    }
    RegCloseKey(key);
    const std::vector<RegisteredProgram> list = Load();
    ASSERT_EQ(3000u, list.size());
    EXPECT_TRUE(IsRegistered(list, UI_TEXT("C:\\Programs\\2999\\program.exe"), UI_TEXT("Program 2999")));
    EXPECT_TRUE(IsRegistered(list, UI_TEXT("C:\\Programs\\0\\program.exe"), UI_TEXT("Program 0")));
}

}  // namespace
