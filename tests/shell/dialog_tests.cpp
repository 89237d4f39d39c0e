// The About box and the Set Monitor Time dialog, opened from the menu of the
// main window running inside the test process. The dialogs are modal, so a
// helper thread works them (with the real pointer and keyboard where a user
// would) while the test's own thread sits in the dialog's loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "dialogs.h"
#include "fixture.h"
#include "in_process_app.h"
#include "resource.h"

#include <commctrl.h>

namespace {

const char kMonitorTime[] = "Set Monitor Time";
const char kAbout[] = "About";

// ---- reading and working the dialogs from the helper thread

HWND Slider(HWND dialog) {
    return GetDlgItem(dialog, IDC_TIME_SLIDER);
}

LRESULT SliderValue(HWND dialog, UINT message) {
    return SendMessageA(Slider(dialog), message, 0, 0);
}

std::string Label(HWND dialog) {
    return harness::WindowText(GetDlgItem(dialog, IDC_TIME_VALUE));
}

bool WaitForLabel(HWND dialog, const std::string& text) {
    return harness::WaitUntil([&] { return Label(dialog) == text; });
}

// The point of the caption's close box, found by asking the window itself.
bool CloseBoxPoint(HWND window, POINT* at) {
    RECT r;
    GetWindowRect(window, &r);
    for (LONG y = r.top; y < r.top + 40 && y < r.bottom; ++y)
        for (LONG x = r.right - 1; x > r.right - 60 && x > r.left; --x)
            if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                at->x = x - 3;
                at->y = y + 3;
                if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(at->x, at->y)) == HTCLOSE)
                    return true;
            }
    return false;
}

// ---- the timer of the main window, seen in this thread's own pump

// Arrival times (ms) of the next count WM_TIMER messages of timer 1 of
// window, looked at before they are dispatched.
std::vector<DWORD> RecordTicks(HWND window, size_t count) {
    std::vector<DWORD> times;
    const DWORD start = GetTickCount();
    while (times.size() < count && GetTickCount() - start < harness::kWait) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_TIMER && message.hwnd == window &&
                message.wParam == kMonitorTimerId)
                times.push_back(GetTickCount());
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return times;
}

DWORD MedianInterval(const std::vector<DWORD>& times) {
    std::vector<DWORD> gaps;
    for (size_t i = 1; i < times.size(); ++i) gaps.push_back(times[i] - times[i - 1]);
    if (gaps.empty()) return 0;
    std::sort(gaps.begin(), gaps.end());
    return gaps[gaps.size() / 2];
}

class DialogTest : public ProductTest {
protected:
    // The delay as the settings store hands it to the main window.
    static void StoreDelay(DWORD delay) {
        harness::WriteDword(HKEY_CURRENT_USER, kProductKey, kTimerValue, delay);
    }
    // The dialogs are the test's to work, and the main window away from the
    // corner where Wine shows its tray.
    static void Prepare(InProcessApp& app) {
        app.boxes.LeaveAlone(kMonitorTime);
        app.boxes.LeaveAlone(kAbout);
        MoveWindow(app.window(), 300, 250, 350, 200, TRUE);
        harness::PumpFor(0);
    }
};

// ---- Set Monitor Time

TEST_F(DialogTest, OpeningShowsTheDelayAndOkWithoutTouchingKeepsIt) {
    StoreDelay(300);
    InProcessApp app;
    ASSERT_TRUE(app.created());
    Prepare(app);
    ASSERT_EQ(300u, MonitorDelay);

    LRESULT position = 0, low = 0, high = 0, page = 0, line = 0, tics = 0;
    std::string label;
    bool sliderFocused = false, ownerDisabled = false;
    HWND owner = nullptr;
    DialogDriver driver(kMonitorTime, [&](HWND dialog) {
        position = SliderValue(dialog, TBM_GETPOS);
        low = SliderValue(dialog, TBM_GETRANGEMIN);
        high = SliderValue(dialog, TBM_GETRANGEMAX);
        page = SliderValue(dialog, TBM_GETPAGESIZE);
        line = SliderValue(dialog, TBM_GETLINESIZE);
        tics = SliderValue(dialog, TBM_GETNUMTICS);
        label = Label(dialog);
        sliderFocused = harness::GuiState(dialog).hwndFocus == Slider(dialog);
        owner = GetWindow(dialog, GW_OWNER);
        ownerDisabled = !IsWindowEnabled(app.window());
        harness::ClickButton(dialog, IDOK);
    });
    RunDialog(app.window(), IDM_MONITOR_TIME, driver);

    EXPECT_EQ(300, position);
    EXPECT_EQ(100, low);
    EXPECT_EQ(1000, high);
    EXPECT_EQ(100, page);
    EXPECT_EQ(50, line);
    EXPECT_EQ(19, tics);  // one every 50 from 100 to 1000
    EXPECT_EQ("300 ms", label);
    EXPECT_TRUE(sliderFocused);
    EXPECT_EQ(app.window(), owner);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(app.window()));
    EXPECT_EQ(300u, MonitorDelay);
}

TEST_F(DialogTest, DraggingTheSliderShowsEachPositionAndOkSlowsTheTickAtOnce) {
    InProcessApp app;  // nothing stored: the default delay, 100 ms
    ASSERT_TRUE(app.created());
    Prepare(app);
    ASSERT_EQ(100u, MonitorDelay);
    const std::vector<DWORD> before = RecordTicks(app.window(), 6);
    ASSERT_EQ(6u, before.size());
    ASSERT_LT(MedianInterval(before), 500u);

    std::string midLabel, midPosition, endLabel;
    bool captured = false;
    DialogDriver driver(kMonitorTime, [&](HWND dialog) {
        HWND slider = Slider(dialog);
        RECT thumb = {}, channel = {};
        SendMessageA(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        SendMessageA(slider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        POINT grab = {(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
        POINT middle = {(channel.left + channel.right) / 2, grab.y};
        POINT beyond = {channel.right + 40, grab.y};
        MapWindowPoints(slider, HWND_DESKTOP, &grab, 1);
        MapWindowPoints(slider, HWND_DESKTOP, &middle, 1);
        MapWindowPoints(slider, HWND_DESKTOP, &beyond, 1);
        auto move = [](const POINT& p, const char* then) {
            return harness::StartUnixProgram(
                "/usr/bin/xdotool",
                "mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " " + then);
        };
        if (!move(grab, "mousedown 1")) return;
        captured = harness::WaitUntil([&] { return harness::GuiState(dialog).hwndCapture == slider; });
        if (captured) {
            move(middle, "");
            // While the button is still down the label follows the thumb.
            harness::WaitUntil([&] {
                const LRESULT pos = SliderValue(dialog, TBM_GETPOS);
                return pos > 100 && pos < 1000 && Label(dialog) == std::to_string(pos) + " ms";
            });
            midLabel = Label(dialog);
            midPosition = std::to_string(SliderValue(dialog, TBM_GETPOS)) + " ms";
            move(beyond, "");
            WaitForLabel(dialog, "1000 ms");
            endLabel = Label(dialog);
        }
        move(beyond, "mouseup 1");
        harness::WaitUntil([&] { return harness::GuiState(dialog).hwndCapture == nullptr; });
        harness::ClickButton(dialog, IDOK);
    });
    RunDialog(app.window(), IDM_MONITOR_TIME, driver);
    const DWORD closed = GetTickCount();

    ASSERT_TRUE(captured) << "the slider never took the pointer";
    EXPECT_EQ(midPosition, midLabel);
    EXPECT_NE("100 ms", midLabel);
    EXPECT_EQ("1000 ms", endLabel);
    EXPECT_EQ(1000u, MonitorDelay);
    EXPECT_EQ(1000, SliderPosition);

    // Restarted, not left running at 100 ms: the first tick comes a whole
    // new period after OK.
    const std::vector<DWORD> after = RecordTicks(app.window(), 3);
    ASSERT_EQ(3u, after.size());
    EXPECT_GE(after[0] - closed, 800u);
    EXPECT_GE(MedianInterval(after), 900u);
}

TEST_F(DialogTest, OkAfterTheKeyboardSpeedsTheTickUpAtOnce) {
    StoreDelay(1000);
    InProcessApp app;
    ASSERT_TRUE(app.created());
    Prepare(app);
    std::string label;
    DialogDriver driver(kMonitorTime, [&](HWND dialog) {
        if (PressKey(dialog, "Home")) WaitForLabel(dialog, "100 ms");
        label = Label(dialog);
        harness::ClickButton(dialog, IDOK);
    });
    RunDialog(app.window(), IDM_MONITOR_TIME, driver);
    EXPECT_EQ("100 ms", label);
    EXPECT_EQ(100u, MonitorDelay);
    const std::vector<DWORD> after = RecordTicks(app.window(), 6);
    ASSERT_EQ(6u, after.size());
    EXPECT_LT(MedianInterval(after), 500u);
}

TEST_F(DialogTest, CancelAfterMovingTheSliderChangesNothing) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    Prepare(app);
    ASSERT_EQ(100u, MonitorDelay);
    std::string label;
    DialogDriver driver(kMonitorTime, [&](HWND dialog) {
        if (PressKey(dialog, "End")) WaitForLabel(dialog, "1000 ms");
        label = Label(dialog);
        harness::ClickButton(dialog, IDCANCEL);
    });
    RunDialog(app.window(), IDM_MONITOR_TIME, driver);

    EXPECT_EQ("1000 ms", label);
    EXPECT_EQ(100u, MonitorDelay);
    // The last position seen outlives the dialog; only OK would use it.
    EXPECT_EQ(1000, SliderPosition);
    const std::vector<DWORD> after = RecordTicks(app.window(), 6);
    ASSERT_EQ(6u, after.size());
    EXPECT_LT(MedianInterval(after), 500u);

    // Opened again, it starts from the delay, not from the last position.
    std::string again;
    DialogDriver second(kMonitorTime, [&](HWND dialog) {
        again = Label(dialog);
        harness::ClickButton(dialog, IDOK);
    });
    RunDialog(app.window(), IDM_MONITOR_TIME, second);
    EXPECT_EQ("100 ms", again);
    EXPECT_EQ(100u, MonitorDelay);
}

TEST_F(DialogTest, DelayOutsideTheSliderRangeIsShownAndKept) {
    struct Case {
        DWORD stored;
        LRESULT slider;
        const char* label;
        DWORD kept;
    };
    const Case cases[] = {
        {5000, 1000, "5000 ms", 5000},
        {70000, 1000, "4464 ms", 4464},  // only the low 16 bits fit the label
        {0, 100, "100 ms", 100},
        {20, 100, "20 ms", 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        harness::ResetProductRegistry();
        StoreDelay(c.stored);
        InProcessApp app;
        ASSERT_TRUE(app.created());
        Prepare(app);
        ASSERT_EQ(c.stored, MonitorDelay);
        LRESULT slider = -1;
        std::string label;
        DialogDriver driver(kMonitorTime, [&](HWND dialog) {
            slider = SliderValue(dialog, TBM_GETPOS);
            label = Label(dialog);
            harness::ClickButton(dialog, IDOK);
        });
        RunDialog(app.window(), IDM_MONITOR_TIME, driver);
        EXPECT_EQ(c.slider, slider);
        EXPECT_EQ(c.label, label);
        EXPECT_EQ(c.kept, MonitorDelay);
    }
}

TEST_F(DialogTest, ArrowKeysMoveByFiftyPageKeysByAHundredWithinTheRange) {
    StoreDelay(500);
    InProcessApp app;
    ASSERT_TRUE(app.created());
    Prepare(app);
    struct Step {
        const char* keys;
        const char* label;
    };
    // At either end a key that would leave the range does nothing: the key
    // after it shows from where it starts again.
    const Step steps[] = {
        {"Right", "550 ms"}, {"Left", "500 ms"},       {"Next", "600 ms"},
        {"Prior", "500 ms"}, {"Down", "550 ms"},       {"Up", "500 ms"},
        {"End", "1000 ms"},  {"Right Left", "950 ms"}, {"End Next Prior", "900 ms"},
        {"Home", "100 ms"},  {"Left Right", "150 ms"}, {"Home Prior Next", "200 ms"},
    };
    std::vector<std::string> seen;
    std::vector<LRESULT> positions;
    DialogDriver driver(kMonitorTime, [&](HWND dialog) {
        for (const Step& step : steps) {
            if (!PressKey(dialog, step.keys) || !WaitForLabel(dialog, step.label)) {
                seen.push_back(Label(dialog));
                break;
            }
            seen.push_back(Label(dialog));
            positions.push_back(SliderValue(dialog, TBM_GETPOS));
        }
        harness::ClickButton(dialog, IDOK);
    });
    RunDialog(app.window(), IDM_MONITOR_TIME, driver);

    ASSERT_EQ(std::size(steps), seen.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(steps[i].keys);
        EXPECT_EQ(steps[i].label, seen[i]);
        EXPECT_EQ(steps[i].label, std::to_string(positions[i]) + " ms");
    }
    EXPECT_EQ(200u, MonitorDelay);
}

// ---- About

TEST_F(DialogTest, AboutBoxNamesProductYearMakerAndRights) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    Prepare(app);
    std::string text;
    HWND owner = nullptr;
    bool hasIcon = false, ownerDisabled = false;
    DialogDriver driver(kAbout, [&](HWND dialog) {
        // The one static without an id of its own that has text.
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgCtrlID(child) == IDC_STATIC && !harness::WindowText(child).empty())
                text = harness::WindowText(child);
        hasIcon = SendMessageA(GetDlgItem(dialog, IDC_ABOUT_ICON), STM_GETICON, 0, 0) != 0;
        owner = GetWindow(dialog, GW_OWNER);
        ownerDisabled = !IsWindowEnabled(app.window());
        harness::ClickButton(dialog, IDOK);
    });
    RunDialog(app.window(), IDM_ABOUT, driver);

    EXPECT_EQ(0u, text.find("Hoverlane " HL_PROJECT_VERSION ", 2026\n")) << text;
    EXPECT_NE(std::string::npos, text.find("Vendrabyte")) << text;
    EXPECT_NE(std::string::npos, text.find("All rights reserved.")) << text;
    EXPECT_EQ(3, std::count(text.begin(), text.end(), '\n') + 1) << text;
    EXPECT_TRUE(hasIcon);
    EXPECT_EQ(app.window(), owner);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(app.window()));
}

TEST_F(DialogTest, AboutBoxClosesWithOkEscapeAndTheCloseBox) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    Prepare(app);
    const std::vector<std::pair<const char*, std::function<void(HWND)>>> ways = {
        {"OK", [](HWND dialog) { harness::ClickButton(dialog, IDOK); }},
        {"Escape", [](HWND dialog) { PressKey(dialog, "Escape"); }},
        {"close box",
         [](HWND dialog) {
             POINT at;
             if (!CloseBoxPoint(dialog, &at)) return;
             harness::StartUnixProgram("/usr/bin/xdotool", "mousemove " + std::to_string(at.x) +
                                                               " " + std::to_string(at.y) +
                                                               " click 1");
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.first);
        DialogDriver driver(kAbout, way.second);
        RunDialog(app.window(), IDM_ABOUT, driver);
        EXPECT_EQ(nullptr, harness::FindTopWindow("#32770", kAbout, GetCurrentProcessId()));
    }
}

// ---- Pause Key

// Whether a hotkey could be had now: only when nobody has it.
bool KeyIsFree(DWORD key) {
    if (!RegisterHotKey(nullptr, 7, HIWORD(key), LOWORD(key))) return false;
    UnregisterHotKey(nullptr, 7);
    return true;
}

// The control shows Pause. A key that types and a key another program has
// are refused with a box, and the dialog stays; Ctrl+Alt+P pressed in the
// control and OK: that key stops monitoring now, Pause is free again, and
// the menu names the key.
TEST_F(DialogTest, PauseKeyTakesAKeyPressedInItAndRefusesOneThatTypesOrIsTaken) {
    const DWORD taken = 'K' | (MOD_CONTROL | MOD_ALT) << 16;
    const DWORD chosen = 'P' | (MOD_CONTROL | MOD_ALT) << 16;
    ASSERT_TRUE(RegisterHotKey(nullptr, 8, HIWORD(taken), LOWORD(taken)));
    InProcessApp app(SW_SHOWNORMAL, "\\", true);
    ASSERT_TRUE(app.created());
    Prepare(app);
    app.boxes.LeaveAlone("Pause Key");
    ASSERT_FALSE(KeyIsFree(VK_PAUSE));

    LRESULT shown = 0;
    bool stayedOpen = true, pauseInControl = false;
    DialogDriver driver("Pause Key", [&](HWND dialog) {
        HWND control = GetDlgItem(dialog, IDC_PAUSE_KEY);
        shown = SendMessageA(control, HKM_GETHOTKEY, 0, 0);
        // Pause itself goes to the control now, not to the hotkey.
        SendMessageA(control, HKM_SETHOTKEY, 0, 0);
        pauseInControl = PressKeyUntil(
            control, "Pause", [&] { return SendMessageA(control, HKM_GETHOTKEY, 0, 0) == MAKEWORD(VK_PAUSE, 0); });
        for (WORD refused : {MAKEWORD('X', 0), MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT)}) {
            const size_t boxes = app.boxes.seen().size();
            SendMessageA(control, HKM_SETHOTKEY, refused, 0);
            harness::ClickButton(dialog, IDOK);
            harness::WaitUntil([&] { return app.boxes.seen().size() > boxes; });
            stayedOpen = stayedOpen && IsWindow(dialog);
        }
        // The OK button took the focus: back to the control, as Tab would.
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        PressKeyUntil(control, "ctrl+alt+p", [&] {
            return SendMessageA(control, HKM_GETHOTKEY, 0, 0) == MAKEWORD('P', HOTKEYF_CONTROL | HOTKEYF_ALT);
        });
        harness::ClickButton(dialog, IDOK);
    });
    RunDialog(app.window(), IDM_PAUSE_KEY, driver);
    UnregisterHotKey(nullptr, 8);

    EXPECT_EQ(MAKEWORD(VK_PAUSE, 0), shown);
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(pauseInControl);
    const auto boxes = app.boxes.seen();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("while you type"));
    EXPECT_NE(std::string::npos, boxes[1].text.find("Another program uses this key"));
    EXPECT_EQ(chosen, PauseKey);
    EXPECT_TRUE(KeyIsFree(VK_PAUSE));
    EXPECT_EQ("&Stop Monitoring\tCtrl+Alt+P", MenuItemText(app.options(), IDM_TOGGLE_MONITORING));
    EXPECT_FALSE(MonitoringPaused);
    PressKey(app.window(), "ctrl+alt+p");
    EXPECT_TRUE(harness::WaitUntil([] { return MonitoringPaused; }));
}

// While the dialog is open the key is the control's; Cancel after a new key
// was put in gives it back to the hotkey, unchanged.
TEST_F(DialogTest, PauseKeyCancelGivesPauseBack) {
    InProcessApp app(SW_SHOWNORMAL, "\\", true);
    ASSERT_TRUE(app.created());
    Prepare(app);
    app.boxes.LeaveAlone("Pause Key");
    bool freeWhileOpen = false;
    DialogDriver driver("Pause Key", [&](HWND dialog) {
        freeWhileOpen = KeyIsFree(VK_PAUSE);
        SendMessageA(GetDlgItem(dialog, IDC_PAUSE_KEY), HKM_SETHOTKEY, MAKEWORD('P', HOTKEYF_CONTROL), 0);
        harness::ClickButton(dialog, IDCANCEL);
    });
    RunDialog(app.window(), IDM_PAUSE_KEY, driver);
    EXPECT_TRUE(freeWhileOpen);
    EXPECT_EQ(static_cast<DWORD>(VK_PAUSE), PauseKey);
    EXPECT_TRUE(KeyIsFree('P' | MOD_CONTROL << 16));
    PressKey(app.window(), "Pause");
    EXPECT_TRUE(harness::WaitUntil([] { return MonitoringPaused; }));
}

}  // namespace
