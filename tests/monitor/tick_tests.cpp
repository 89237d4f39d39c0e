// The monitoring tick on real windows: hoverlane's main window runs inside
// the test process, the sample program as a separate process, and the
// pointer is moved as the user moves it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "fixture.h"
#include "harness.h"
#include "in_process_app.h"
#include "registered_programs.h"
#include "resource.h"
#include "tree_test_util.h"

namespace {

constexpr DWORD kDelay = 100;
constexpr char kSampleName[] = "Sample MDI 1.0";
constexpr char kSettingsKey[] = "Software\\Vendrabyte\\Hoverlane";

// Enough ticks for one to have acted, were it going to.
void LetTicksPass(int ticks = 6) {
    harness::PumpFor(ticks * kDelay);
}

HWND TopDocument(HWND client) {
    return GetTopWindow(client);
}

HWND ActiveDocument(HWND client) {
    return reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
}

RECT ClientRectOf(HWND window, HWND container) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, container, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The pointer to a point of the container's client area.
POINT MoveTo(HWND container, int x, int y) {
    POINT at = {x, y};
    ClientToScreen(container, &at);
    SetCursorPos(at.x, at.y);
    return {x, y};
}

// The pointer to the middle of a window, shifted by (dx, dy); returns the
// point in client coordinates of the container.
POINT Hover(HWND window, HWND container, int dx = 0, int dy = 0) {
    const RECT r = ClientRectOf(window, container);
    return MoveTo(container, (r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2 + dy);
}

bool WaitOnTop(HWND client, HWND document) {
    return harness::WaitUntil(
        [&] { return TopDocument(client) == document && ActiveDocument(client) == document; });
}

bool SamePoint(POINT a, POINT b) {
    return a.x == b.x && a.y == b.y;
}

class TickTest : public ProductTest {
protected:
    void TearDown() override {
        app.reset();
        ProductTest::TearDown();
    }

    // The main window in the top left corner, clear of the samples; the
    // tick at its shortest delay.
    void StartApp() {
        harness::WriteDword(HKEY_CURRENT_USER, kSettingsKey, "Timer", kDelay);
        app = std::make_unique<InProcessApp>();
        ASSERT_TRUE(app->created());
        MoveWindow(app->window(), 10, 10, 320, 220, TRUE);
        harness::PumpFor(0);
        ASSERT_EQ(kDelay, MonitorDelay);
    }

    // The sample "Editor" with three documents side by side, C on top, and
    // the main window; the program's node.
    WindowNode* StartEditor(const std::string& more = "") {
        editor = StartSample("/frame:Editor /at:360,60,760,560 " + more +
                             " A@10,10,200,150 B@230,10,200,150 C@450,10,200,150");
        if (!editor.frame) return nullptr;
        a = DocumentTitled(editor.client, "A");
        b = DocumentTitled(editor.client, "B");
        c = DocumentTitled(editor.client, "C");
        StartApp();
        return ProgramNode(editor.frame);
    }

    void Select(WindowNode* node) {
        SelectItem(node->treeItem);
        ASSERT_EQ(node, SelectedNode);
    }

    void SetStatus(const char* text) {
        SendMessageA(StatusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    }

    void Command(UINT id) { SendMessageA(app->window(), WM_COMMAND, id, 0); }
    void SampleCommand(UINT id) { PostMessageA(editor.frame, WM_COMMAND, id, 0); }

    // The GUI state of the sample's thread.
    GUITHREADINFO SampleState() {
        GUITHREADINFO state = {};
        state.cbSize = sizeof(state);
        GetGUIThreadInfo(GetWindowThreadProcessId(editor.frame, nullptr), &state);
        return state;
    }

    std::unique_ptr<InProcessApp> app;
    Sample editor;
    HWND a = nullptr, b = nullptr, c = nullptr;
};

// ---- Activation of the selected program

TEST_F(TickTest, SelectedProgramActivatesTheDocumentUnderThePointer) {
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);
    ASSERT_EQ(c, TopDocument(editor.client));
    Select(program);
    SetStatus("left over");

    Hover(c, editor.client);
    Hover(a, editor.client);
    ASSERT_TRUE(WaitOnTop(editor.client, a)) << "top: " << harness::WindowText(TopDocument(editor.client));
    EXPECT_EQ("", StatusText(1));
    EXPECT_EQ(program, TargetNode);

    Hover(b, editor.client);
    EXPECT_TRUE(WaitOnTop(editor.client, b));
    // The others keep their order below it.
    const std::vector<HWND> order = {b, a, c};
    EXPECT_EQ(order, Documents(editor.client));
    EXPECT_TRUE(TreeIsConsistent());
}

}  // namespace
