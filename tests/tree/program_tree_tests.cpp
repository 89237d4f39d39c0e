// The tree of the real program, both configurations, run as a separate
// process and read through the harness.
#include <gtest/gtest.h>

#include "registered_programs.h"
#include "resource.h"
#include "tree_test_util.h"

namespace {

class ProgramTreeTest : public ProductTest {};

struct Running {
    harness::Process process;
    HWND main = nullptr;
    HWND tree = nullptr;
    HWND status = nullptr;
};

Running StartHoverlane(const char* exe) {
    Running app;
    app.process = harness::Process::Start(harness::WinPath(exe));
    app.main = harness::WaitForTopWindow("HOVERLANE", "Hoverlane", app.process.id());
    if (app.main) {
        app.tree = FindWindowExA(app.main, nullptr, "SysTreeView32", nullptr);
        app.status = FindWindowExA(app.main, nullptr, "msctls_statusbar32", nullptr);
    }
    return app;
}

std::vector<std::string> ProgramTexts(HWND tree) {
    std::vector<std::string> texts;
    for (const auto& item : harness::TreeChildren(tree, harness::TreeRoot(tree))) texts.push_back(item.text);
    return texts;
}

TEST_F(ProgramTreeTest, TheRunningProgramFollowsProgramsAndSelection) {
    HL_SKIP_FOR_95_FAMILY(harness::kNoModuleOfOtherProcesses);
    Sample editor = StartSample("/frame:Editor /at:300,200,600,400 Report Notes");
    ASSERT_NE(nullptr, editor.frame);
    Running app = StartHoverlane(HL_HOVERLANE);
    ASSERT_NE(nullptr, app.tree);

    const auto top = harness::TreeChildren(app.tree, nullptr);
    ASSERT_EQ(1u, top.size());
    EXPECT_EQ("desktop", top[0].text);
    EXPECT_TRUE(top[0].state & TVIS_EXPANDED);
    EXPECT_EQ(std::vector<std::string>{"Editor"}, ProgramTexts(app.tree));

    const HTREEITEM program = harness::TreeChild(app.tree, top[0].item);
    SendMessageA(app.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(program));
    EXPECT_TRUE(harness::WaitUntil([&] { return harness::RemoteStatusText(app.status, 0) == "Sample MDI 1.0"; }));
    SendMessageA(app.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(top[0].item));
    EXPECT_TRUE(harness::WaitUntil([&] { return harness::RemoteStatusText(app.status, 0).empty(); }));

    // The two-second refresh finds new programs and loses closed ones.
    Sample second = StartSample("/frame:Second /at:340,240,600,400 Letter");
    EXPECT_TRUE(harness::WaitUntil(
        [&] { return ProgramTexts(app.tree) == std::vector<std::string>{"Editor", "Second"}; }));
    PostMessageA(editor.frame, WM_COMMAND, SAMPLE_EXIT, 0);
    EXPECT_TRUE(harness::WaitUntil(
        [&] { return ProgramTexts(app.tree) == std::vector<std::string>{"Second"}; }));
}

// The 95 configuration reads another program's module with
// GetWindowModuleFileNameA, which under Wine (as on Windows NT) gives
// nothing for a window of another process, so there every program's file is
// unreadable. (On Windows 95, 98 and Me the call reads the module.) Such a
// program is listed by its title, kept across refreshes and monitored when
// selected; status part 0 says its file cannot be read, and the register
// command writes nothing.
TEST_F(ProgramTreeTest, The95ConfigurationUnderWineListsProgramsItCannotRead) {
    harness::WineVersionFor win98("hoverlane.exe", "win98");
    Sample editor = StartSample("/frame:Editor /at:300,200,600,400 A@10,10,200,150 B@230,10,200,150");
    ASSERT_NE(nullptr, editor.frame);
    const HWND a = DocumentTitled(editor.client, "A");
    const HWND b = DocumentTitled(editor.client, "B");
    ASSERT_EQ(b, GetTopWindow(editor.client));
    Running app = StartHoverlane(HL_HOVERLANE_95);
    ASSERT_NE(nullptr, app.tree);
    MoveWindow(app.main, 10, 10, 260, 180, TRUE);  // clear of the program
    ASSERT_TRUE(harness::WaitUntil([&] { return ProgramTexts(app.tree) == std::vector<std::string>{"Editor"}; }));
    const HTREEITEM item = harness::TreeChild(app.tree, harness::TreeRoot(app.tree));

    // Each new title shows after a refresh, on the same item.
    for (const char* title : {"Editor 1", "Editor 2", "Editor 3"}) {
        SetWindowTextA(editor.frame, title);
        ASSERT_TRUE(harness::WaitUntil([&] { return ProgramTexts(app.tree) == std::vector<std::string>{title}; }));
        EXPECT_EQ(item, harness::TreeChild(app.tree, harness::TreeRoot(app.tree)));
    }

    SendMessageA(app.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    EXPECT_TRUE(harness::WaitUntil([&] { return harness::RemoteStatusText(app.status, 0) == AnsiFromUi(kUnreadableProgramText); }));
    RECT at;
    GetWindowRect(a, &at);
    SetCursorPos((at.left + at.right) / 2, (at.top + at.bottom) / 2);
    EXPECT_TRUE(harness::WaitUntil([&] { return GetTopWindow(editor.client) == a; }));

    SendMessageA(app.main, WM_COMMAND, IDM_REGISTER_PROGRAM, 0);
    EXPECT_FALSE(harness::KeyExists(HKEY_CURRENT_USER, kRegisteredProgramsKey));
}

}  // namespace
