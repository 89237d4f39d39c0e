// The monitoring tick on real windows: hoverlane's main window runs inside
// the test process, the sample program as a separate process, and the
// pointer is moved as the user moves it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fixture.h"
#include "harness.h"
#include "in_process_app.h"
#include "input_watch.h"
#include "registered_programs.h"
#include "resource.h"
#include "tree_test_util.h"

namespace {

constexpr DWORD kDelay = 100;

// Enough of the in-process main window's own ticks for one to have acted,
// were it going to.
void LetTicksPass(int ticks = 6) {
    EXPECT_TRUE(harness::WaitForTicks(MainWindow, kMonitorTimerId, ticks));
}

HWND TopDocument(HWND client) {
    return GetTopWindow(client);
}

HWND ActiveDocument(HWND client) {
    return reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
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
    const RECT r = harness::RectIn(container, window);
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
        // Where the last test left it, the pointer could be over anything.
        SetCursorPos(1270, 10);
        harness::WriteDword(HKEY_CURRENT_USER, kProductKey, kTimerValue, kDelay);
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

    // The sample selected, the pointer brought onto A and A on top; the
    // program's node, none when something failed.
    WindowNode* SelectEditorWithAOnTop(const std::string& more = "") {
        WindowNode* program = StartEditor(more);
        if (!program) return nullptr;
        SelectItem(program->treeItem);
        Hover(a, editor.client);
        return SelectedNode == program && WaitOnTop(editor.client, a) ? program : nullptr;
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
    GUITHREADINFO SampleState() { return harness::GuiState(editor.frame); }

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


TEST_F(TickTest, PointerRestingOrMovingInsideTheNewTopDocumentDoesNothingMore) {
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);
    Select(program);

    const POINT first = Hover(a, editor.client);
    ASSERT_TRUE(WaitOnTop(editor.client, a));
    EXPECT_TRUE(SamePoint(first, LastActivationPoint));

    // Moving inside the top document: nothing to do, nothing recorded.
    const POINT second = Hover(a, editor.client, 20, 10);
    LetTicksPass();
    EXPECT_EQ(a, TopDocument(editor.client));
    EXPECT_TRUE(SamePoint(first, LastActivationPoint));

    // The pointer rests where the last activation happened while the user
    // switches documents with the keyboard: the tick does not fight back.
    MoveTo(editor.client, first.x, first.y);
    SendMessageA(editor.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(c), 0);
    ASSERT_TRUE(WaitOnTop(editor.client, c));
    LetTicksPass();
    EXPECT_EQ(c, TopDocument(editor.client));

    // Once it moves again, the document under it comes back.
    MoveTo(editor.client, second.x, second.y);
    EXPECT_TRUE(WaitOnTop(editor.client, a));
    EXPECT_TRUE(SamePoint(second, LastActivationPoint));
}

// ---- Which program is monitored

TEST_F(TickTest, WithTheDesktopOrNothingSelectedOnlyRegisteredProgramsAreMonitored) {
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, harness::WinPath(HL_SAMPLE_MDI).c_str(),
                       kSampleName);
    Sample other = StartSample("/frame:Other /at:360,640,760,340 X@10,10,200,150 Y@230,10,200,150",
                               HL_SAMPLE_MDI_V2);
    ASSERT_NE(nullptr, other.frame);
    const HWND x = DocumentTitled(other.client, "X");
    const HWND y = DocumentTitled(other.client, "Y");
    editor = StartSample("/frame:Editor /at:360,60,760,560 A@10,10,200,150 B@230,10,200,150");
    ASSERT_NE(nullptr, editor.frame);
    a = DocumentTitled(editor.client, "A");
    b = DocumentTitled(editor.client, "B");
    StartApp();
    ASSERT_TRUE(ProgramNode(editor.frame)->registered);
    ASSERT_FALSE(ProgramNode(other.frame)->registered);
    Select(RootNode.get());

    // The registered program, not selected, is monitored under the pointer
    // and named in the status bar.
    Hover(a, editor.client);
    ASSERT_TRUE(WaitOnTop(editor.client, a));
    EXPECT_EQ(kSampleName, StatusText(1));
    EXPECT_EQ(ProgramNode(editor.frame), TargetNode);

    // The unregistered one is never touched; the status keeps its text.
    ASSERT_EQ(y, TopDocument(other.client));
    Hover(x, other.client);
    LetTicksPass();
    EXPECT_EQ(y, TopDocument(other.client));
    EXPECT_EQ(kSampleName, StatusText(1));

    // Nothing selected counts as the desktop.
    SelectedNode = nullptr;
    Hover(x, other.client, 5, 5);
    LetTicksPass();
    EXPECT_EQ(RootNode.get(), SelectedNode);
    EXPECT_EQ(y, TopDocument(other.client));
    Hover(b, editor.client);
    EXPECT_TRUE(WaitOnTop(editor.client, b));
}

TEST_F(TickTest, ARegistrationCountsWhateverTheLetterCaseUntilItIsRemoved) {
    std::string path = harness::WinPath(HL_SAMPLE_MDI);
    CharUpperA(&path[0]);
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, path.c_str(), kSampleName);
    ASSERT_NE(nullptr, StartEditor());
    Select(RootNode.get());

    Hover(a, editor.client);
    ASSERT_TRUE(WaitOnTop(editor.client, a));

    // What OK in the Registered Programs dialog does after a deletion.
    harness::DeleteKeyTree(HKEY_CURRENT_USER, kRegisteredProgramsKey);
    RefreshPrograms();
    ASSERT_FALSE(ProgramNode(editor.frame)->registered);
    Hover(b, editor.client);
    LetTicksPass();
    EXPECT_EQ(a, TopDocument(editor.client));

    // Selecting it monitors it again: the ticks were running all along.
    Select(ProgramNode(editor.frame));
    EXPECT_TRUE(WaitOnTop(editor.client, b));
}

TEST_F(TickTest, ARegistrationOfAnotherVersionDoesNotCount) {
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, harness::WinPath(HL_SAMPLE_MDI).c_str(),
                       "Sample MDI 2.0");
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);
    ASSERT_FALSE(program->registered);
    Select(RootNode.get());
    Hover(a, editor.client);
    LetTicksPass();
    EXPECT_EQ(c, TopDocument(editor.client));
    Select(program);
    EXPECT_TRUE(WaitOnTop(editor.client, a));
}

TEST_F(TickTest, ADocumentItemSelectedMonitorsNoProgram) {
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);
    SendMessageA(TreeView, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(program->treeItem));
    WindowNode* document = ChildNode(program, a);
    ASSERT_NE(nullptr, document);
    Select(document);

    Hover(b, editor.client);
    LetTicksPass();
    EXPECT_EQ(c, TopDocument(editor.client));

    Select(program);
    EXPECT_TRUE(WaitOnTop(editor.client, b));
}

// ---- What the user is doing holds the tick back

// The pointer over B; the tick must hold back until release() ends what the
// sample is doing, and then activate B.
void ExpectHeldBackUntil(HWND client, HWND document, HWND keptOnTop,
                         const std::function<void()>& release) {
    LetTicksPass();
    EXPECT_EQ(keptOnTop, TopDocument(client));
    release();
    EXPECT_TRUE(WaitOnTop(client, document)) << "not activated after the release";
}

// The menu is opened with the pointer over A, before the program is
// selected: the pointer cannot leave where a menu opened under Wine.
TEST_F(TickTest, NothingIsActivatedWhileAPopupMenuIsOpen) {
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);
    Hover(a, editor.client);
    SampleCommand(SAMPLE_POPUP_MENU);
    // Wine reports an open popup menu as menu mode only.
    ASSERT_TRUE(harness::WaitUntil(
        [&] { return (SampleState().flags & (GUI_POPUPMENUMODE | GUI_INMENUMODE)) != 0; }));
    Select(program);
    ExpectHeldBackUntil(editor.client, a, c, [&] { SampleCommand(SAMPLE_END_MENU); });
}

// The user drags the program's tool palette by its caption across A: the
// outline follows the pointer, the palette stays until the button is
// released. (A dragged document holds the capture, which holds the tick back
// on its own; a dragged frame under Wine leaves no program under the pointer.)
TEST_F(TickTest, NothingIsActivatedWhileAWindowIsBeingMoved) {
    WindowNode* program = StartEditor("/palette:500,300,200,120");
    ASSERT_NE(nullptr, program);
    const HWND palette = FindWindowExA(editor.frame, nullptr, SAMPLE_PANEL_CLASS, "Palette");
    ASSERT_NE(nullptr, palette);
    Select(program);
    RECT caption;
    GetWindowRect(palette, &caption);
    const int x = (caption.left + caption.right) / 2;
    const int y = caption.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    const std::string grab = std::to_string(x) + " " + std::to_string(y);
    ASSERT_TRUE(harness::StartUnixProgram("/usr/bin/xdotool", "mousemove " + grab + " mousedown 1"));
    ASSERT_TRUE(harness::WaitUntil([&] { return (SampleState().flags & GUI_INMOVESIZE) != 0; }));

    const POINT over = Hover(a, editor.client);
    ASSERT_TRUE(harness::WaitUntil([&] {
        POINT screen;
        GetCursorPos(&screen);
        return RealChildWindowFromPoint(editor.client, over) == a &&
               RealChildWindowFromPoint(GetDesktopWindow(), screen) == editor.frame;
    })) << "A is not under the pointer";
    ExpectHeldBackUntil(editor.client, a, c, [&] {
        // Back where the drag started, so that the palette stays put.
        ASSERT_TRUE(harness::StartUnixProgram("/usr/bin/xdotool", "mousemove " + grab + " mouseup 1"));
        ASSERT_TRUE(harness::WaitUntil([&] { return (SampleState().flags & GUI_INMOVESIZE) == 0; }));
        Hover(a, editor.client, 3, 3);
    });
}

// A drag that started in the top document C, or in a field inside it.
TEST_F(TickTest, NothingIsActivatedWhileTheTopDocumentHoldsTheMouseCapture) {
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);
    Select(program);
    for (const UINT capture : {SAMPLE_CAPTURE, SAMPLE_CAPTURE_CHILD}) {
        SCOPED_TRACE(capture);
        Hover(c, editor.client);
        ASSERT_TRUE(WaitOnTop(editor.client, c));
        SampleCommand(SAMPLE_FOREGROUND);
        SampleCommand(capture);
        ASSERT_TRUE(harness::WaitUntil([&] {
            const HWND held = SampleState().hwndCapture;
            return held && held == (capture == SAMPLE_CAPTURE ? c : FindWindowExA(c, nullptr, SAMPLE_PANEL_CLASS, "Field"));
        }));
        Hover(a, editor.client);
        ExpectHeldBackUntil(editor.client, a, c, [&] { SampleCommand(SAMPLE_RELEASE); });
    }
}

TEST_F(TickTest, NothingIsActivatedWhileTheTopDocumentIsMaximized) {
    WindowNode* program = SelectEditorWithAOnTop("/maxhalf");
    ASSERT_NE(nullptr, program);
    SampleCommand(SAMPLE_MAXIMIZE_DOC);
    ASSERT_TRUE(harness::WaitUntil([&] {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        return GetWindowPlacement(a, &placement) && placement.showCmd == SW_SHOWMAXIMIZED;
    }));
    // C stays in reach beside the maximized document.
    const POINT over = Hover(c, editor.client);
    ASSERT_EQ(c, RealChildWindowFromPoint(editor.client, over));

    LetTicksPass();
    EXPECT_EQ(a, TopDocument(editor.client));
    // The tick got as far as the maximized document and recorded the point.
    EXPECT_TRUE(SamePoint(over, LastActivationPoint));

    SampleCommand(SAMPLE_RESTORE_DOC);
    ASSERT_TRUE(harness::WaitUntil([&] { return !IsZoomed(a); }));
    Hover(c, editor.client, 3, 3);
    EXPECT_TRUE(WaitOnTop(editor.client, c));
}

TEST_F(TickTest, PauseStopsActivationAndPauseAgainResumesIt) {
    WindowNode* program = SelectEditorWithAOnTop();
    ASSERT_NE(nullptr, program);

    SendMessageA(app->window(), WM_HOTKEY, 0, MAKELPARAM(0, VK_PAUSE));
    ASSERT_TRUE(MonitoringPaused);
    Hover(b, editor.client);
    LetTicksPass();
    EXPECT_EQ(a, TopDocument(editor.client));

    SendMessageA(app->window(), WM_HOTKEY, 0, MAKELPARAM(0, VK_PAUSE));
    EXPECT_FALSE(MonitoringPaused);
    EXPECT_TRUE(WaitOnTop(editor.client, b));
}

// ---- Programs that cannot take a switch now

// The program stops answering while the pointer goes onto B: hoverlane
// keeps answering its own messages, and B does not come to the top late,
// when the program answers again with the pointer still resting there.
TEST_F(TickTest, AProgramThatHangsIsLeftAloneAndNeverSwitchedLate) {
    constexpr DWORD kHangMs = 3000;
    WindowNode* program = SelectEditorWithAOnTop();
    ASSERT_NE(nullptr, program);
    PostMessageA(editor.frame, WM_COMMAND, SAMPLE_HANG, kHangMs);
    const DWORD start = GetTickCount();
    ASSERT_TRUE(harness::WaitUntil([&] {
        DWORD_PTR ignored = 0;
        return !SendMessageTimeoutA(editor.frame, WM_NULL, 0, 0, SMTO_BLOCK, 50, &ignored);
    }));
    Hover(b, editor.client);

    // The longest time this thread, hoverlane's, went without looking at its
    // messages, ticks included, until the program answers again.
    DWORD longest = 0, last = GetTickCount();
    harness::WaitUntil([&] {
        const DWORD now = GetTickCount();
        longest = std::max(longest, now - last);
        last = now;
        return now - start >= kHangMs;
    }, kHangMs + harness::kWait);
    EXPECT_LT(longest, 1000u);
    std::printf("longest pause during the hang: %lu ms\n", static_cast<unsigned long>(longest));
    DWORD_PTR answered = 0;
    ASSERT_TRUE(SendMessageTimeoutA(editor.frame, WM_NULL, 0, 0, SMTO_BLOCK, harness::kWait, &answered));
    LetTicksPass();
    EXPECT_EQ(a, TopDocument(editor.client));

    // Answering again, it is monitored as before.
    Hover(b, editor.client, 5, 5);
    EXPECT_TRUE(WaitOnTop(editor.client, b));
}

// A modal dialog (Find, Save As) works on the active document: while it
// disables the frame nothing switches; once it closes, the pointer resting
// on B switches at the next look.
TEST_F(TickTest, AModalDialogKeepsTheActiveDocumentUntilItCloses) {
    WindowNode* program = SelectEditorWithAOnTop();
    ASSERT_NE(nullptr, program);
    SampleCommand(SAMPLE_MODAL);
    ASSERT_TRUE(harness::WaitUntil([&] { return !IsWindowEnabled(editor.frame); }));
    Hover(b, editor.client);
    ExpectHeldBackUntil(editor.client, b, a, [&] { SampleCommand(SAMPLE_END_MODAL); });
}

// Windows refuses the switch with access denied when the program runs with
// higher rights; Wine runs every program with the same rights, so a call
// that refuses as Windows does stands in for the system's.
int RefusedSwitches = 0;
BOOL WINAPI RefuseSwitch(HWND, HWND, int, int, int, int, UINT) {
    ++RefusedSwitches;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

TEST_F(TickTest, AProgramThatRefusesASwitchIsNotTriedAgainAndSaysWhy) {
    WindowNode* program = SelectEditorWithAOnTop();
    ASSERT_NE(nullptr, program);
    ASSERT_FALSE(program->elevated);
    SwitchWindowCall = RefuseSwitch;
    Hover(b, editor.client);
    ASSERT_TRUE(harness::WaitUntil([] { return RefusedSwitches > 0; }));
    EXPECT_EQ(AnsiFromUi(kHigherRightsText), StatusText(0));

    Hover(c, editor.client);
    LetTicksPass();
    EXPECT_EQ(1, RefusedSwitches);
    EXPECT_EQ(a, TopDocument(editor.client));
    // Selected again later, it still says why.
    Select(RootNode.get());
    Select(program);
    EXPECT_EQ(AnsiFromUi(kHigherRightsText), StatusText(0));
}

// ---- Guards the user may choose, and the session

// The user types into the program in the foreground (keys of the X
// server, which go to the window under the pointer) with the pointer
// resting on B: the keys reach hoverlane, in the background, as raw input,
// and B comes to the top only a second after the last one.
TEST_F(TickTest, WaitWhileTypingHoldsTheSwitchForASecondAfterTheLastKey) {
    ASSERT_NE(nullptr, SelectEditorWithAOnTop());
    Command(IDM_WAIT_WHILE_TYPING);
    ASSERT_TRUE(WaitWhileTyping);
    SampleCommand(SAMPLE_FOREGROUND);
    ASSERT_TRUE(harness::WaitUntil([&] { return GetForegroundWindow() == editor.frame; }));
    const auto type = [] { return harness::StartUnixProgram("/usr/bin/xdotool", "key x"); };
    // The first key is on its way before the pointer goes onto B.
    ASSERT_TRUE(type());
    LetTicksPass(3);
    Hover(b, editor.client);
    DWORD lastKey = 0;
    for (int tick = 0; tick < 6; ++tick) {
        lastKey = GetTickCount();
        ASSERT_TRUE(type());
        ASSERT_TRUE(harness::WaitForTicks(MainWindow, kMonitorTimerId, 1));
    }
    EXPECT_EQ(a, TopDocument(editor.client));
    ASSERT_TRUE(WaitOnTop(editor.client, b));
    EXPECT_GE(GetTickCount() - lastKey, kTypingPauseMs);
}

// Sweeping across B (a new place at every look, along either axis or
// both) switches nothing; resting there does.
TEST_F(TickTest, SwitchWhenThePointerRestsIgnoresASweep) {
    ASSERT_NE(nullptr, SelectEditorWithAOnTop());
    Command(IDM_SWITCH_WHEN_RESTING);
    ASSERT_TRUE(SwitchWhenResting);
    for (const POINT step : {POINT{7, 3}, POINT{7, 0}, POINT{0, 7}}) {
        Hover(a, editor.client);
        ASSERT_TRUE(WaitOnTop(editor.client, a));
        for (int tick = 0; tick < 6; ++tick) {
            Hover(b, editor.client, (tick - 3) * step.x, (tick - 3) * step.y);
            ASSERT_TRUE(harness::WaitForTicks(MainWindow, kMonitorTimerId, 1));
        }
        EXPECT_EQ(a, TopDocument(editor.client)) << "step " << step.x << "," << step.y;
        EXPECT_TRUE(WaitOnTop(editor.client, b));
    }
}

// Hold Shift To Wait: while the user holds Shift down (a key of the X
// server), the pointer rests on B and nothing switches; B comes up once
// Shift is released.
TEST_F(TickTest, HoldShiftToWaitSwitchesNothingWhileShiftIsDown) {
    ASSERT_NE(nullptr, SelectEditorWithAOnTop());
    Command(IDM_HOLD_SHIFT);
    ASSERT_TRUE(HoldShiftToWait);
    const auto shift = [](const char* action) {
        return harness::StartUnixProgram("/usr/bin/xdotool", std::string(action) + " shift");
    };
    // Never left down for the cases after this one.
    struct KeyUp {
        ~KeyUp() { harness::StartUnixProgram("/usr/bin/xdotool", "keyup shift"); }
    } keyUp;
    ASSERT_TRUE(shift("keydown"));
    ASSERT_TRUE(harness::WaitUntil([] { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }));
    Hover(b, editor.client);
    LetTicksPass();
    EXPECT_EQ(a, TopDocument(editor.client));
    ASSERT_TRUE(shift("keyup"));
    EXPECT_TRUE(WaitOnTop(editor.client, b));
}

TEST(TypingPause, AKeyHoldsBackForOneSecondAcrossTheCounterWrap) {
    EXPECT_TRUE(TypingHoldsBack(5000, 4100, true));
    EXPECT_FALSE(TypingHoldsBack(5000, 4000, true));
    EXPECT_FALSE(TypingHoldsBack(5000, 4900, false));
    EXPECT_TRUE(TypingHoldsBack(200, 0xFFFFFF00u, true));  // 456 ms, across the wrap
}

constexpr WPARAM kConsoleConnect = 1, kConsoleDisconnect = 2, kRemoteConnect = 3,
                 kRemoteDisconnect = 4, kLogon = 5, kLock = 7, kUnlock = 8;

// Locked, then disconnected and connected again while still locked: no tick
// and no refresh (a timer of the test paces the wait) until the session is
// unlocked too; then B, under the pointer all along, comes up.
TEST_F(TickTest, NothingRunsUntilTheSessionIsUnlockedAndConnectedAgain) {
    ASSERT_NE(nullptr, SelectEditorWithAOnTop());
    // The system (Wine's wtsapi32) took the registration.
    EXPECT_TRUE(SessionWatched());
    constexpr UINT kSessionChange = 0x02B1;
    constexpr UINT_PTR kPace = 99;
    SendMessageA(app->window(), kSessionChange, kLock, 0);
    Hover(b, editor.client);
    const long ticks = harness::TicksDispatched(MainWindow, kMonitorTimerId);
    const long refreshes = harness::TicksDispatched(MainWindow, kRefreshTimerId);
    SendMessageA(app->window(), kSessionChange, kConsoleDisconnect, 0);
    SendMessageA(app->window(), kSessionChange, kConsoleConnect, 0);
    SetTimer(app->window(), kPace, kDelay, nullptr);
    ASSERT_TRUE(harness::WaitForTicks(MainWindow, kPace, 25));
    KillTimer(app->window(), kPace);
    EXPECT_EQ(ticks, harness::TicksDispatched(MainWindow, kMonitorTimerId));
    EXPECT_EQ(refreshes, harness::TicksDispatched(MainWindow, kRefreshTimerId));
    EXPECT_EQ(a, TopDocument(editor.client));

    SendMessageA(app->window(), kSessionChange, kUnlock, 0);
    EXPECT_TRUE(WaitOnTop(editor.client, b));
}

TEST(SessionOrder, PresentOnlyWhenBothUnlockedAndConnected) {
    struct Case {
        std::vector<WPARAM> codes;
        bool present;
    };
    const Case cases[] = {
        {{kLock}, false},
        {{kLock, kUnlock}, true},
        {{kLock, kConsoleDisconnect, kConsoleConnect}, false},
        {{kLock, kRemoteDisconnect, kRemoteConnect, kUnlock}, true},
        {{kConsoleDisconnect, kUnlock}, false},
        {{kConsoleDisconnect, kRemoteConnect}, true},
        {{kLogon}, true},
    };
    for (const Case& c : cases) {
        SessionState state;
        for (WPARAM code : c.codes) state = AfterSessionChange(state, code);
        EXPECT_EQ(c.present, state.present()) << "after " << c.codes.size() << " changes, the last "
                                              << c.codes.back();
    }
}

// At 150 % (a system DPI of 144): a new hoverlane makes its window at the
// size for that scale, and the document of a registered program under the
// pointer still comes to the top.
TEST_F(TickTest, At150PercentTheWindowScalesAndTheDocumentUnderThePointerComesUp) {
    // The program is found as registered by its file.
    HL_SKIP_FOR_95_FAMILY(harness::kNoModuleOfOtherProcesses);
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, harness::WinPath(HL_SAMPLE_MDI).c_str(),
                       kSampleName);
    editor = StartSample("/frame:Editor /at:360,60,760,560 A@10,10,200,150 B@230,10,200,150");
    ASSERT_NE(nullptr, editor.frame);
    const HWND first = DocumentTitled(editor.client, "A");
    const HWND second = DocumentTitled(editor.client, "B");
    SetCursorPos(1270, 10);
    // Wine gives each process the DPI that is set when it starts.
    constexpr char kDesktop[] = "Control Panel\\Desktop";
    harness::WriteDword(HKEY_CURRENT_USER, kDesktop, "LogPixels", 144);
    harness::Process hoverlane = harness::Process::Start(harness::WinPath(HL_HOVERLANE));
    const HWND main = harness::WaitForTopWindow("HOVERLANE", "Hoverlane", hoverlane.id());
    HKEY desktop = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktop, 0, KEY_SET_VALUE, &desktop) == ERROR_SUCCESS) {
        RegDeleteValueA(desktop, "LogPixels");
        RegCloseKey(desktop);
    }
    ASSERT_NE(nullptr, main);
    RECT frame;
    GetWindowRect(main, &frame);
    EXPECT_EQ(525, frame.right - frame.left);
    EXPECT_EQ(300, frame.bottom - frame.top);
    // Its fonts are made for 144 DPI once, not scaled again: its status bar
    // is half as tall again as one made here at 96, give or take a pixel.
    const auto height = [](HWND window) {
        RECT r = {};
        GetWindowRect(window, &r);
        return r.bottom - r.top;
    };
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    const HWND at96 = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, host,
                                      nullptr, nullptr, nullptr);
    EXPECT_NEAR(height(at96) * 3 / 2, height(FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr)), 2);
    DestroyWindow(host);
    // Clear of the sample, which it would otherwise cover.
    SetWindowPos(main, nullptr, 10, 640, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    const HWND under = TopDocument(editor.client) == first ? second : first;
    Hover(under, editor.client);
    EXPECT_TRUE(WaitOnTop(editor.client, under));
}

// ---- Odd windows under the pointer

TEST_F(TickTest, AMinimizedDocumentComesToTheTopWithoutBeingRestored) {
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);
    SampleCommand(SAMPLE_MINIMIZE_DOC);
    ASSERT_TRUE(harness::WaitUntil([&] { return IsIconic(c) && TopDocument(editor.client) != c; }));
    Select(program);

    Hover(c, editor.client);
    ASSERT_TRUE(harness::WaitUntil([&] { return TopDocument(editor.client) == c; }));
    LetTicksPass(2);
    EXPECT_TRUE(IsIconic(c));
}

TEST_F(TickTest, TheContainersBackgroundBringsTheContainerAboveItsSiblings) {
    WindowNode* program = StartEditor("/palette:500,300,200,120");
    ASSERT_NE(nullptr, program);
    const HWND palette = FindWindowExA(editor.frame, nullptr, SAMPLE_PANEL_CLASS, "Palette");
    ASSERT_NE(nullptr, palette);
    ASSERT_NE(editor.client, GetTopWindow(editor.frame));
    const RECT paletteAt = harness::RectIn(editor.frame, palette);
    const std::vector<HWND> order = Documents(editor.client);
    Select(program);

    // Empty background, below the documents and left of the palette.
    MoveTo(editor.client, 100, 400);
    ASSERT_EQ(editor.client, RealChildWindowFromPoint(editor.client, POINT{100, 400}));
    ASSERT_TRUE(harness::WaitUntil([&] { return GetTopWindow(editor.frame) == editor.client; }));
    EXPECT_EQ(order, Documents(editor.client));
    const RECT paletteNow = harness::RectIn(editor.frame, palette);
    EXPECT_TRUE(EqualRect(&paletteAt, &paletteNow)) << "Always In Sight is off";
}

// The program the tick worked on goes away: its node, and with it the
// target, is gone at the next refresh, and the ticks go on with the next.
TEST_F(TickTest, ATargetThatQuitsLeavesNoDanglingTarget) {
    WindowNode* program = SelectEditorWithAOnTop();
    ASSERT_NE(nullptr, program);
    ASSERT_EQ(program, TargetNode);

    SampleCommand(SAMPLE_EXIT);
    ASSERT_TRUE(editor.process.WaitExit());
    ASSERT_TRUE(harness::WaitUntil([&] { return TargetNode == nullptr && SelectedNode != program; }));
    EXPECT_TRUE(TreeIsConsistent());

    Sample next = StartSample("/frame:Next /at:360,60,760,560 X@10,10,200,150 Y@230,10,200,150");
    ASSERT_NE(nullptr, next.frame);
    ASSERT_TRUE(harness::WaitUntil([&] { return ProgramNode(next.frame) != nullptr; }));
    Select(ProgramNode(next.frame));
    const HWND x = DocumentTitled(next.client, "X");
    // Not the very point where A was activated: the last activation point
    // outlives its program, and a tick does nothing where it is unchanged.
    Hover(x, next.client, 7, 7);
    EXPECT_TRUE(WaitOnTop(next.client, x));
}

// ---- Always In Sight with real windows

// Big comes to the top under the pointer; Small lies inside it, Edge only
// partly, Under is below it. The frame has bars above the container in
// z-order.
class InSightTest : public TickTest {
protected:
    void SetUp() override {
        TickTest::SetUp();
        editor = StartSample("/frame:Editor /at:360,60,760,560 /bars Under@120,150,100,80 "
                             "Big@100,100,400,300 Small@150,130,150,120 Edge@450,300,150,100");
        ASSERT_NE(nullptr, editor.frame) << harness::DescribeProcess(editor.process);
        under = DocumentTitled(editor.client, "Under");
        big = DocumentTitled(editor.client, "Big");
        small = DocumentTitled(editor.client, "Small");
        edge = DocumentTitled(editor.client, "Edge");
        StartApp();
        Select(ProgramNode(editor.frame));
    }

    void Activate(HWND document, int x, int y) {
        MoveTo(editor.client, x, y);
        ASSERT_EQ(document, RealChildWindowFromPoint(editor.client, POINT{x, y}));
        ASSERT_TRUE(WaitOnTop(editor.client, document));
    }

    RECT At(HWND window) { return harness::RectIn(editor.client, window); }

    HWND under = nullptr, big = nullptr, small = nullptr, edge = nullptr;
};

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != 0;
}

TEST_F(InSightTest, OffNoWindowIsEverMoved) {
    ASSERT_FALSE(AlwaysInSight);
    const RECT smallAt = At(small), edgeAt = At(edge), underAt = At(under);
    Activate(big, 470, 150);
    EXPECT_TRUE(SameRect(smallAt, At(small)));
    EXPECT_TRUE(SameRect(edgeAt, At(edge)));
    EXPECT_TRUE(SameRect(underAt, At(under)));
}

TEST_F(InSightTest, OnACoveredDocumentKeepsACaptionHighStripInSight) {
    Command(IDM_ALWAYS_IN_SIGHT);
    ASSERT_TRUE(AlwaysInSight);
    const int cy = GetSystemMetrics(SM_CYCAPTION);
    const RECT bigAt = At(big), smallAt = At(small), edgeAt = At(edge), underAt = At(under);

    Activate(big, 470, 150);

    // The smallest room is above Big: Small's top edge goes cy above Big's.
    RECT expected = smallAt;
    OffsetRect(&expected, 0, (bigAt.top - cy) - smallAt.top);
    EXPECT_TRUE(SameRect(expected, At(small)))
        << "Small at " << At(small).left << "," << At(small).top;
    // Only partly over Big, or below it: untouched.
    EXPECT_TRUE(SameRect(edgeAt, At(edge)));
    EXPECT_TRUE(SameRect(underAt, At(under)));
    // Small shows above Big, where the pointer can reach it.
    const POINT strip = {(expected.left + expected.right) / 2, expected.top + cy / 2};
    EXPECT_EQ(small, RealChildWindowFromPoint(editor.client, strip));
}

TEST_F(InSightTest, OnTheContainerComingToTheTopLeavesTheFramesBarsAlone) {
    Command(IDM_ALWAYS_IN_SIGHT);
    const HWND toolBar = FindWindowExA(editor.frame, nullptr, SAMPLE_PANEL_CLASS, "Tool bar");
    const HWND statusBar = FindWindowExA(editor.frame, nullptr, SAMPLE_PANEL_CLASS, "Status bar");
    ASSERT_TRUE(toolBar && statusBar);
    const RECT toolBarAt = harness::RectIn(editor.frame, toolBar);
    const RECT statusBarAt = harness::RectIn(editor.frame, statusBar);
    const RECT smallAt = At(small);

    // Empty background, above and left of every document.
    MoveTo(editor.client, 30, 30);
    ASSERT_EQ(editor.client, RealChildWindowFromPoint(editor.client, POINT{30, 30}));
    ASSERT_TRUE(harness::WaitUntil([&] { return GetTopWindow(editor.frame) == editor.client; }));
    EXPECT_TRUE(SameRect(toolBarAt, harness::RectIn(editor.frame, toolBar)));
    EXPECT_TRUE(SameRect(statusBarAt, harness::RectIn(editor.frame, statusBar)));

    // Documents still give way.
    Activate(big, 470, 150);
    EXPECT_FALSE(SameRect(smallAt, At(small)));
}

TEST_F(InSightTest, OnANewWindowFillingTheContainerOnlyPullsCoveredWindowsInside) {
    Command(IDM_ALWAYS_IN_SIGHT);
    RECT area;
    GetClientRect(editor.client, &area);
    MoveWindow(big, 0, 0, area.right, area.bottom, TRUE);
    MoveWindow(small, -40, 60, 150, 100, TRUE);  // sticks out on the left
    ASSERT_EQ(-40, At(small).left);
    const RECT edgeAt = At(edge);

    Activate(big, 60, area.bottom - 30);

    const RECT pulled = {0, 60, 150, 160};
    EXPECT_TRUE(SameRect(pulled, At(small))) << "Small at " << At(small).left << "," << At(small).top;
    EXPECT_TRUE(SameRect(edgeAt, At(edge)));
}

}  // namespace
