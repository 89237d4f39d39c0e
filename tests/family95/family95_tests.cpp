// The 95 family's own paths, run in the test process with the 95 family's
// build of hoverlane, whatever Windows Wine reports.
#include <gtest/gtest.h>

#include "files.h"
#include "fixture.h"
#include "in_process_app.h"
#include "resource.h"
#include "tree_test_util.h"

namespace {

class Family95Test : public ProductTest {};

// The 95 family finds a window's program with GetWindowModuleFileNameA.
// Wine, like NT, answers it only for a window of the calling process (the
// tree then lists every other program as one whose file cannot be read; see
// ProgramTreeTest); Windows 95, 98 and Me answer it for any window.
TEST_F(Family95Test, TheModuleOfAWindowIsReadThroughTheWindow) {
    HWND own = CreateWindowA("STATIC", "own", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, own);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    EXPECT_TRUE(harness::SamePath(self, ModulePathOf(own, GetCurrentProcessId())));
    DestroyWindow(own);

    Sample editor = StartSample("/frame:Editor /at:300,200,400,300 A");
    ASSERT_NE(nullptr, editor.frame);
    EXPECT_EQ("", ModulePathOf(editor.frame, editor.process.id()));
}

// Windows 98 and Me have no raw input: Wait While Typing is grayed there.
// Wine has it whatever Windows it reports, so the lookup is made to fail.
TEST_F(Family95Test, WaitWhileTypingIsGrayedWithoutRawInput) {
    harness::HideSystemFunction("RegisterRawInputDevices");
    InProcessApp app;
    ASSERT_TRUE(app.created());
    EXPECT_TRUE(MenuItemState(app.options(), IDM_WAIT_WHILE_TYPING) & MFS_GRAYED);
}

TEST_F(Family95Test, WaitWhileTypingIsOfferedWithRawInput) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    EXPECT_FALSE(MenuItemState(app.options(), IDM_WAIT_WHILE_TYPING) & MFS_GRAYED);
}

}  // namespace
