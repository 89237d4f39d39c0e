// "&Always Hoverlane this program": the registration it writes, when it is
// grayed, and what it does for anything but a program.
#include "registered_test_util.h"

#include <set>


namespace {

class RegisterCommandTest : public RegisteredTest {};

TEST_F(RegisterCommandTest, NothingRegisteredMeansNoKeyAndNoRegisteredProgram) {
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);
    EXPECT_FALSE(harness::KeyExists(HKEY_CURRENT_USER, kRegisteredProgramsKey));
    EXPECT_FALSE(program->registered);
    std::vector<RegisteredProgram> list;
    LoadRegisteredPrograms(list);
    EXPECT_TRUE(list.empty());
    SelectItem(program->treeItem);
    EXPECT_FALSE(RegisterCommandGrayed());
}

TEST_F(RegisterCommandTest, RegisteringWritesOneValueAndGraysTheCommandAtOnce) {
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);
    SelectItem(program->treeItem);
    ASSERT_EQ(program, SelectedNode);
    ASSERT_FALSE(RegisterCommandGrayed());

    ChooseRegister();

    const auto values = Registrations();
    ASSERT_EQ(1u, values.size());
    EXPECT_TRUE(harness::SamePath(harness::WinPath(HL_SAMPLE_MDI), values[0].name)) << values[0].name;
    EXPECT_EQ(AnsiFromUi(program->modulePath), values[0].name);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), values[0].type);
    EXPECT_EQ(std::string(kSampleName, sizeof(kSampleName)), values[0].data);  // with its zero
    // Without waiting for anything: the menu bar and the tray menu gray it.
    EXPECT_TRUE(program->registered);
    EXPECT_TRUE(RegisterCommandGrayed());
    EXPECT_TRUE(RegisterCommandGrayed(true));
    EXPECT_EQ(kSampleName, StatusText(0));
}

TEST_F(RegisterCommandTest, RegisteringCountsForEveryRunningCopyOfTheProgram) {
    WindowNode* first = StartEditor();
    ASSERT_NE(nullptr, first);
    Sample second = StartSample("/frame:Second /at:700,520,400,300 Other");
    ASSERT_NE(nullptr, second.frame);
    ASSERT_TRUE(harness::WaitUntil([&] { return ProgramNode(second.frame) != nullptr; }));
    WindowNode* other = ProgramNode(second.frame);
    EXPECT_FALSE(other->registered);

    SelectItem(first->treeItem);
    ChooseRegister();
    EXPECT_EQ(1u, Registrations().size());
    EXPECT_TRUE(first->registered);
    EXPECT_TRUE(other->registered);
    SelectItem(other->treeItem);
    EXPECT_TRUE(RegisterCommandGrayed());
}

// The same program file in a new version: its registration no longer counts,
// and registering it again replaces the program name in the one value.
TEST_F(RegisterCommandTest, RegisteringAgainKeepsOneValueWithTheLatestName) {
    const std::string exe = Folder() + "\\editor.exe";
    ASSERT_TRUE(CopyFileA(harness::WinPath(HL_SAMPLE_MDI).c_str(), exe.c_str(), FALSE));

    Sample old = StartSample("/frame:Editor /at:300,520,500,300 Report", exe.c_str());
    ASSERT_NE(nullptr, old.frame);
    StartApp();
    WindowNode* program = ProgramNode(old.frame);
    ASSERT_NE(nullptr, program);
    SelectItem(program->treeItem);
    ChooseRegister();
    ChooseRegister();  // what a command sent twice does: still one value
    auto values = Registrations();
    ASSERT_EQ(1u, values.size());
    EXPECT_EQ(std::string(kSampleName, sizeof(kSampleName)), values[0].data);

    // The program is updated: same file, new version.
    old.process.Terminate();
    ASSERT_TRUE(old.process.WaitExit());
    ASSERT_TRUE(harness::WaitUntil([&] { return ProgramNode(old.frame) == nullptr; }));
    ASSERT_TRUE(CopyFileA(harness::WinPath(HL_SAMPLE_MDI_V2).c_str(), exe.c_str(), FALSE));
    Sample updated = StartSample("/frame:Editor /at:300,520,500,300 Report", exe.c_str());
    ASSERT_NE(nullptr, updated.frame);
    ASSERT_TRUE(harness::WaitUntil([&] { return ProgramNode(updated.frame) != nullptr; }));
    program = ProgramNode(updated.frame);
    EXPECT_EQ(UI_TEXT("Sample MDI 2.0"), program->programName);
    EXPECT_FALSE(program->registered);
    SelectItem(program->treeItem);
    EXPECT_FALSE(RegisterCommandGrayed());

    ChooseRegister();
    values = Registrations();
    ASSERT_EQ(1u, values.size());
    EXPECT_TRUE(harness::SamePath(exe, values[0].name)) << values[0].name;
    EXPECT_EQ(std::string("Sample MDI 2.0", 15), values[0].data);
    EXPECT_TRUE(program->registered);
    EXPECT_TRUE(RegisterCommandGrayed());

    updated.process.Terminate();
    updated.process.WaitExit();
}

// Nothing written, no box (the app fails the test on any box).
TEST_F(RegisterCommandTest, DesktopDocumentOrNothingSelectedWritesNothing) {
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);

    // Nothing selected (a tick may already have taken the root for it).
    ASSERT_EQ(nullptr, CaretItem());
    EXPECT_TRUE(RegisterCommandGrayed());
    ChooseRegister();
    EXPECT_FALSE(harness::KeyExists(HKEY_CURRENT_USER, kRegisteredProgramsKey));

    SelectItem(RootNode->treeItem);
    ASSERT_EQ(RootNode.get(), SelectedNode);
    EXPECT_TRUE(RegisterCommandGrayed());
    ChooseRegister();
    EXPECT_FALSE(harness::KeyExists(HKEY_CURRENT_USER, kRegisteredProgramsKey));

    ASSERT_TRUE(ClickExpandButton(program->treeItem));
    WindowNode* document = ProgramNode(editor.frame)->children.begin()->second.get();
    SelectItem(document->treeItem);
    ASSERT_EQ(document, SelectedNode);
    EXPECT_TRUE(RegisterCommandGrayed());
    ChooseRegister();
    EXPECT_FALSE(harness::KeyExists(HKEY_CURRENT_USER, kRegisteredProgramsKey));
    EXPECT_FALSE(program->registered);

    // A program whose module could not be read would otherwise write the
    // key's unnamed value.
    RegisterProgram(UiText(), program->programName);
    EXPECT_FALSE(harness::KeyExists(HKEY_CURRENT_USER, kRegisteredProgramsKey));
}

// A key that cannot take the registration: a volatile parent refuses the
// lasting key below it.
TEST_F(RegisterCommandTest, FailedWriteReportsTheRegistryErrorAndAsksToQuit) {
    HKEY parent = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_WRITE, nullptr, &parent, nullptr));
    RegCloseKey(parent);
    WindowNode* program = StartEditor(HL_SAMPLE_MDI, true);
    ASSERT_NE(nullptr, program);
    SelectItem(program->treeItem);

    ChooseRegister();
    const auto boxes = Boxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Alert", boxes[0].caption);
    EXPECT_EQ("An error ocurred while writing the registry: Cannot register the program especified",
              boxes[0].text);
    EXPECT_EQ(app->window(), boxes[0].owner);
    EXPECT_EQ("Error", boxes[1].caption);
    EXPECT_EQ(kQuitQuestion, boxes[1].text);
    EXPECT_FALSE(QuitPosted());  // answered No
    EXPECT_FALSE(harness::KeyExists(HKEY_CURRENT_USER, kRegisteredProgramsKey));
    EXPECT_FALSE(program->registered);
    EXPECT_FALSE(RegisterCommandGrayed());
    // Settings go to the same key at shutdown: it is removed first, so the
    // test's end asks nothing more.
    harness::ResetProductRegistry();
}

}  // namespace

namespace {

// Texts read back as the NT family's hoverlane holds them, whole.
std::wstring WideItemText(HTREEITEM item) {
    wchar_t text[MAX_PATH] = {};
    TVITEMW query = {};
    query.mask = TVIF_HANDLE | TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = MAX_PATH;
    SendMessageW(TreeView, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}

std::wstring WideListText(HWND list, int row, int column) {
    wchar_t text[MAX_PATH] = {};
    LVITEMW query = {};
    query.iSubItem = column;
    query.pszText = text;
    query.cchTextMax = MAX_PATH;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&query));
    return text;
}

std::vector<std::pair<std::wstring, std::wstring>> WideRegistrations() {
    std::vector<std::pair<std::wstring, std::wstring>> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRegisteredProgramsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    wchar_t name[MAX_PATH], data[MAX_PATH];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = MAX_PATH, dataSize = sizeof(data);
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &dataSize))
            break;
        values.emplace_back(name, data);
    }
    RegCloseKey(key);
    return values;
}

}  // namespace

// A program whose titles, folder and product name the ANSI code page lacks
// (Cyrillic, Japanese and Greek on a Western system): the NT family shows
// and keeps each whole, registers it by its own path and knows it again
// when it runs again. The 95 family is ANSI throughout: not this core.
TEST_F(RegisterCommandTest, TextsAndPathsInAnyScriptAreShownAndRegisteredWhole) {
    const std::wstring folder = L"C:\\\x041F\x0440\x043E\x0433\x0440\x0430\x043C\x043C\x044B";
    const std::wstring exe = folder + L"\\sample_mdi.exe";
    const std::wstring named = std::wstring(SAMPLE_CYRILLIC_PRODUCT) + L" 1.0";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(UiFromAnsi(harness::WinPath(HL_SAMPLE_MDI_CYRILLIC)).c_str(), exe.c_str(), FALSE));
    const auto start = [&] { return harness::Process::Start(exe, L"/unicode /at:300,520,500,300"); };
    harness::Process sample = start();
    HWND frame = nullptr;
    ASSERT_TRUE(harness::WaitUntil([&] { return (frame = FindWindowW(SAMPLE_UNICODE_FRAME_CLASS, nullptr)) != nullptr; }));
    StartApp();
    WindowNode* program = nullptr;
    ASSERT_TRUE(harness::WaitUntil([&] { return (program = ProgramNode(frame)) != nullptr; }));
    ASSERT_TRUE(ClickExpandButton(program->treeItem));
    // In the order of their names, each once.
    const auto joined = [](const std::set<std::wstring>& texts) {
        std::wstring all;
        for (const std::wstring& text : texts) all += text + L"|";
        return all;
    };
    std::set<std::wstring> documents;
    for (WindowNode* document : ItemChildren(program->treeItem)) documents.insert(WideItemText(document->treeItem));
    SelectItem(program->treeItem);
    wchar_t status[MAX_PATH] = {};
    SendMessageW(StatusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
    ChooseRegister();
    const auto registrations = WideRegistrations();
    std::vector<std::wstring> row;
    WorkDialog([&](HWND dialog) {
        row = {WideListText(ProgramListOf(dialog), 0, 0), WideListText(ProgramListOf(dialog), 0, 1)};
        harness::ClickButton(dialog, IDCANCEL);
    });
    const std::pair<const char*, std::pair<std::wstring, std::wstring>> shown[] = {
        {"tree", {SAMPLE_UNICODE_FRAME, WideItemText(program->treeItem)}},
        {"documents", {joined({SAMPLE_UNICODE_DOCS}), joined(documents)}},
        {"status bar", {named, status}},
        {"program file", {exe, program->modulePath}},
        {"registration", {exe + L"=" + named,
                          registrations.empty() ? L"" : registrations[0].first + L"=" + registrations[0].second}},
        {"dialog", {named + L" " + exe, row.size() == 2 ? row[0] + L" " + row[1] : L""}},
    };
    for (const auto& [what, texts] : shown) EXPECT_EQ(texts.first, texts.second) << what;

    // Known again by its path when it runs again.
    sample.Terminate();
    ASSERT_TRUE(sample.WaitExit());
    ASSERT_TRUE(harness::WaitUntil([&] { return ProgramNode(frame) == nullptr; }));
    sample = start();
    ASSERT_TRUE(harness::WaitUntil([&] { return (frame = FindWindowW(SAMPLE_UNICODE_FRAME_CLASS, nullptr)) != nullptr; }));
    ASSERT_TRUE(harness::WaitUntil([&] { return ProgramNode(frame) != nullptr; }));
    EXPECT_TRUE(ProgramNode(frame)->registered);
    sample.Terminate();
    sample.WaitExit();
    DeleteFileW(exe.c_str());
    RemoveDirectoryW(folder.c_str());
}
