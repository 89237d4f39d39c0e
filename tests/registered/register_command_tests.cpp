// "&Always Hoverlane this program": the registration it writes, when it is
// grayed, and what it does for anything but a program.
#include "registered_test_util.h"


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
    EXPECT_EQ(program->modulePath, values[0].name);
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
    EXPECT_EQ("Sample MDI 2.0", program->programName);
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
    RegisterProgram("", program->programName);
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
