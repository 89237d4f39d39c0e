// Registrations are whatever the registry holds: values of any type, data
// with or without its zero, names and data far longer than a path, thousands
// of values. The dialog lists them as they are and OK deletes only what the
// user removed.
#include "registered_test_util.h"

#include <algorithm>
#include <map>

namespace {

class UntrustedRegistryTest : public RegisteredTest {
protected:
    // The rows of one opening, after which the steps run; OK unless the
    // steps end the dialog themselves.
    std::vector<Row> Open(const std::function<void(HWND)>& steps = nullptr) {
        return ShowDialog([&](HWND dialog) {
            if (steps) steps(dialog);
            if (IsWindow(dialog)) harness::ClickButton(dialog, IDOK);
        });
    }

    // Removes the rows with these paths the way the Delete button does.
    static void RemoveRows(HWND dialog, const std::vector<std::string>& paths) {
        HWND list = ProgramListOf(dialog);
        for (const std::string& path : paths) {
            const auto rows = RowPaths(list);
            const int row = static_cast<int>(std::find(rows.begin(), rows.end(), path) - rows.begin());
            if (row >= static_cast<int>(rows.size())) continue;
            ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            ListView_SetSelectionMark(list, row);
            PressDeleteButton(dialog);
        }
    }

    static std::vector<std::string> StoredNames() {
        std::vector<std::string> names;
        for (const auto& value : Registrations()) names.push_back(value.name);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(UntrustedRegistryTest, OddValuesListAsWhatTheyAreAndOkKeepsThemAll) {
    const std::string longName = "C:\\" + std::string(16000, 'n') + ".exe";
    const std::string longData(100000, 'd');
    RegisterRaw("C:\\odd\\dword.exe", REG_DWORD, std::string("\x41\x42\x43\x44", 4));
    RegisterRaw("C:\\odd\\one.exe", REG_DWORD, std::string("\x01\0\0\0", 4));
    RegisterRaw("C:\\odd\\unterminated.exe", REG_BINARY, "No zero at the end");
    RegisterRaw("C:\\odd\\embedded.exe", REG_SZ, std::string("First\0Second", 13));
    RegisterRaw("C:\\odd\\empty.exe", REG_SZ, "");
    RegisterRaw("C:\\odd\\expand.exe", REG_EXPAND_SZ, std::string("%TEMP%\\x.exe", 13));
    RegisterRaw("C:\\odd\\multi.exe", REG_MULTI_SZ, std::string("One\0Two\0", 9));
    Register(longName, "Long name 1.0");
    Register("C:\\odd\\big.exe", longData);
    const auto stored = Registrations();
    ASSERT_EQ(9u, stored.size());
    StartApp(true);

    std::map<std::string, std::string> listed;
    for (const Row& row : Open()) {
        listed[row.path] = row.name;
        EXPECT_LT(row.image, 0) << row.path;
    }
    ASSERT_EQ(9u, listed.size());
    EXPECT_EQ("ABCD", listed["C:\\odd\\dword.exe"]);
    EXPECT_EQ("\x01", listed["C:\\odd\\one.exe"]);
    EXPECT_EQ("No zero at the end", listed["C:\\odd\\unterminated.exe"]);
    EXPECT_EQ("First", listed["C:\\odd\\embedded.exe"]);
    EXPECT_EQ("", listed["C:\\odd\\empty.exe"]);
    EXPECT_EQ("%TEMP%\\x.exe", listed["C:\\odd\\expand.exe"]);
    EXPECT_EQ("One", listed["C:\\odd\\multi.exe"]);
    EXPECT_EQ("Long name 1.0", listed[longName]);
    EXPECT_EQ(longData, listed["C:\\odd\\big.exe"]);

    // No program file behind any of them: one icon error each.
    const auto boxes = Boxes();
    ASSERT_EQ(18u, boxes.size());
    for (size_t i = 0; i < boxes.size(); i += 2) {
        EXPECT_EQ(kIconErrorText, boxes[i].text);
        EXPECT_EQ(kQuitQuestion, boxes[i + 1].text);
    }
    // OK with nothing removed leaves every value as it was, type and all.
    EXPECT_EQ(stored, Registrations());
}

// Texts that agree in their first few hundred characters and differ after:
// whole texts decide, not what a path buffer holds of them.
TEST_F(UntrustedRegistryTest, RemovingLongRegistrationsDeletesExactlyThem) {
    const std::string prefix = "C:\\" + std::string(300, 'p');
    const std::string longA = prefix + "\\a.exe", longB = prefix + "\\b.exe";
    const std::string nameC = std::string(100000, 'v') + " 1", nameD = std::string(100000, 'v') + " 2";
    Register(longA, "Same 1.0");
    Register(longB, "Same 1.0");
    Register("C:\\data\\c.exe", nameC);
    Register("C:\\data\\d.exe", nameD);
    StartApp(true);

    Open([&](HWND dialog) { RemoveRows(dialog, {longA, "C:\\data\\d.exe"}); });
    std::vector<std::string> expected = {longB, "C:\\data\\c.exe"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, StoredNames());
    EXPECT_EQ(std::string("Same 1.0", 9),
              harness::ReadValue(HKEY_CURRENT_USER, kRegisteredProgramsKey, longB.c_str()).data);
    EXPECT_EQ(nameC + '\0', harness::ReadValue(HKEY_CURRENT_USER, kRegisteredProgramsKey, "C:\\data\\c.exe").data);

    // Opened again and confirmed untouched: the long ones stay.
    const auto rows = Open();
    EXPECT_EQ(2u, rows.size());
    EXPECT_EQ(expected, StoredNames());
}

// Near the bounds: program files whose paths just fit a path buffer show
// their icons, and names about as long as the list's first reading buffer
// are read back whole, so OK keeps them.
TEST_F(UntrustedRegistryTest, TextsAtTheBoundsListWholeAndPathsThatFitShowTheirIcons) {
    const auto icon = harness::ReadFileBytes(harness::WinPath(HL_SOURCE_DIR "/tests/sample_mdi/sample.ico"));
    ASSERT_TRUE(icon.found);
    std::map<std::string, std::string> registered;
    for (size_t i = 0; i < 3; ++i) {
        const std::string start = Folder() + "\\";
        const std::string path = start + std::string(MAX_PATH - 3 + i - start.size() - 4, 'i') + ".ico";
        ASSERT_TRUE(harness::WriteFileBytes(path, icon.bytes)) << path.size();
        registered[path] = std::string(kListTextBuffer - 1 + i, 'n');
        Register(path, registered[path]);
    }
    StartApp();
    const auto rows = Open();
    ASSERT_EQ(3u, rows.size());
    for (const Row& row : rows) {
        EXPECT_EQ(registered[row.path].size(), row.name.size()) << row.path.size();
        EXPECT_GE(row.image, 0) << row.path.size();
    }
    EXPECT_EQ(3u, Registrations().size());
}

TEST_F(UntrustedRegistryTest, ThousandsOfRegistrationsListInFullAndOkKeepsThem) {
    constexpr int kCount = 2000;
    // Icon files, so that no registration brings an error box.
    const auto icon = harness::ReadFileBytes(harness::WinPath(HL_SOURCE_DIR "/tests/sample_mdi/sample.ico"));
    ASSERT_TRUE(icon.found);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kRegisteredProgramsKey, 0, nullptr, 0,
                                             KEY_WRITE, nullptr, &key, nullptr));
    for (int i = 0; i < kCount; ++i) {
        const std::string path = Folder() + "\\program" + std::to_string(i) + ".ico";
        ASSERT_TRUE(harness::WriteFileBytes(path, icon.bytes));
        const std::string name = "Program " + std::to_string(i);
        RegSetValueExA(key, path.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                       static_cast<DWORD>(name.size() + 1));
    }
    RegCloseKey(key);
    std::vector<std::string> enumerated;
    for (const auto& value : Registrations()) enumerated.push_back(value.name);
    ASSERT_EQ(static_cast<size_t>(kCount), enumerated.size());
    StartApp();

    std::string removed;
    int images = 0;
    const auto rows = Open([&](HWND dialog) {
        HWND list = ProgramListOf(dialog);
        images = ImageList_GetImageCount(
            reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)));
        removed = RowPaths(list)[kCount / 2];
        RemoveRows(dialog, {removed});
    });
    ASSERT_EQ(static_cast<size_t>(kCount), rows.size());
    EXPECT_EQ(kCount, images);
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(enumerated[kCount - 1 - i], rows[i].path);
        ASSERT_GE(rows[i].image, 0);
    }
    const auto left = Registrations();
    EXPECT_EQ(static_cast<size_t>(kCount - 1), left.size());
    EXPECT_FALSE(harness::ReadValue(HKEY_CURRENT_USER, kRegisteredProgramsKey, removed.c_str()).found);
}

// The decision behind OK: a registration stays while some item shows its
// program name, in any letter case, with exactly its module path.
TEST(RemovedRegistrationsTest, NamesIgnoreCasePathsMustMatchWhole) {
    const UiText longPath = UI_TEXT("C:\\") + UiText(400, 'x') + UI_TEXT("\\a.exe");
    const std::vector<RegisteredProgram> registrations = {
        {UI_TEXT("C:\\a.exe"), UI_TEXT("Editor 1.0")}, {UI_TEXT("C:\\b.exe"), UI_TEXT("Editor 1.0")},
        {UI_TEXT("C:\\c.exe"), UI_TEXT("Viewer 2.0")}, {longPath, UI_TEXT("Long 1.0")},
        {longPath + UI_TEXT("x"), UI_TEXT("Long 1.0")},  {UI_TEXT("default"), UI_TEXT("Unnamed")},
    };
    const std::vector<RegisteredProgram> listed = {
        {UI_TEXT("C:\\b.exe"), UI_TEXT("EDITOR 1.0")},  // another item of the same name comes first
        {UI_TEXT("C:\\a.exe"), UI_TEXT("editor 1.0")},
        {UI_TEXT("c:\\C.EXE"), UI_TEXT("Viewer 2.0")},  // path in another letter case
        {longPath.substr(0, 259), UI_TEXT("Long 1.0")},
        {longPath + UI_TEXT("x"), UI_TEXT("Long 1.0")},
        {UI_TEXT("default"), UI_TEXT("Unnamed")},
    };
    EXPECT_EQ((std::vector<UiText>{UI_TEXT("C:\\c.exe"), longPath}), RemovedRegistrations(listed, registrations));
    EXPECT_TRUE(RemovedRegistrations(registrations, registrations).empty());
    EXPECT_EQ(registrations.size(), RemovedRegistrations({}, registrations).size());
}

}  // namespace
