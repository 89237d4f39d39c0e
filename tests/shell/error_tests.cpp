// The error reporter: every code's prefix and box, and what each severity
// does afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "errors.h"
#include "fixture.h"
#include "in_process_app.h"
#include "resource.h"

// The next allocation of this test program fails once a scenario asks for
// it (the library's own delete frees with free).
bool NextAllocationFails = false;

void* operator new(std::size_t size) {
    if (NextAllocationFails) {
        NextAllocationFails = false;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}

namespace {

class ErrorTest : public ProductTest {};

const char kQuestion[] =
    "Program can keep operating\nBut it's recommended to shut it down\nWould you like to quit?";
const char kCritical[] = "A Critical Error Has ocurred, the program will quit now";

// Every code's prefix and severity as the user meets them; unknown codes
// have neither.
TEST(ErrorTable, PrefixesAndSeverities) {
    const struct {
        int code;
        const char* prefix;
        Severity severity;
    } expected[] = {
        {1, "There is no free memory on your computer: ", Severity::Fatal},
        {2, "", Severity::None},
        {3, "An error ocurred while writing the registry: ", Severity::AskToQuit},
        {4, "Cannot retrieve a window icon: ", Severity::AskToQuit},
        {5, "An error ocurred while reading the registry: ", Severity::None},
        {6, "File I/O problem: ", Severity::Fatal},
        {7, "", Severity::None},
    };
    for (const auto& row : expected) {
        EXPECT_STREQ(row.prefix, ErrorPrefix(row.code)) << row.code;
        EXPECT_EQ(row.severity, ErrorSeverity(row.code)) << row.code;
    }
}

TEST_F(ErrorTest, ReadErrorShowsOneBoxAndReturns) {
    InProcessApp app(SW_SHOWNORMAL, "\\", true);
    ASSERT_TRUE(app.created());
    ReportError(5, "line one\nline two");
    const auto seen = app.boxes.seen();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Alert", seen[0].caption);
    EXPECT_EQ("An error ocurred while reading the registry: line one\nline two", seen[0].text);
    EXPECT_EQ(app.window(), seen[0].owner);
    EXPECT_FALSE(QuitPosted());
}

TEST_F(ErrorTest, AskToQuitAnsweredNoGoesOn) {
    InProcessApp app(SW_SHOWNORMAL, "\\", true, {{"Error", IDNO}});
    ASSERT_TRUE(app.created());
    size_t before = 0;
    for (int code : {3, 4}) {
        SCOPED_TRACE(code);
        ReportError(code, "detail");
        const auto seen = app.boxes.seen();
        ASSERT_EQ(before + 2, seen.size());
        EXPECT_EQ("Alert", seen[before].caption);
        EXPECT_EQ(std::string(ErrorPrefix(code)) + "detail", seen[before].text);
        EXPECT_EQ("Error", seen[before + 1].caption);
        EXPECT_EQ(kQuestion, seen[before + 1].text);
        EXPECT_EQ(app.window(), seen[before + 1].owner);
        EXPECT_FALSE(QuitPosted());
        before = seen.size();
    }
}

TEST_F(ErrorTest, AskToQuitAnsweredYesEndsTheMessageLoop) {
    InProcessApp app(SW_SHOWNORMAL, "\\", true, {{"Error", IDYES}});
    ASSERT_TRUE(app.created());
    ReportError(3, "Cannot write the settings");
    EXPECT_EQ(2u, app.boxes.seen().size());
    EXPECT_TRUE(QuitPosted());
}

// Yes ends hoverlane as Exit does, settings saved on the way out. Here the
// Registered Programs dialog asks, for a registration whose file is gone.
TEST_F(ErrorTest, AskToQuitAnsweredYesShutsDownInOrder) {
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, "C:\\Gone\\editor.exe", "Editor 1.0");
    harness::Process app = harness::Process::Start(harness::WinPath(HL_HOVERLANE));
    HWND main = harness::WaitForTopWindow("HOVERLANE", "Hoverlane", app.id());
    ASSERT_NE(nullptr, main);
    PostMessageA(main, WM_COMMAND, IDM_REGISTERED_PROGRAMS, 0);
    EXPECT_EQ("Alert", harness::AnswerNextBox(app.id(), IDOK).caption);
    EXPECT_EQ(kQuestion, harness::AnswerNextBox(app.id(), IDYES).text);
    ASSERT_TRUE(app.WaitExit());
    EXPECT_EQ(0u, app.ExitCode());
    EXPECT_TRUE(harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kTimerValue).found);
}

// Child process: a fatal error ends the process from inside the reporter.
HL_SCENARIO(FatalError) {
    ReportError(std::atoi(args.c_str()), "Fatal error!");
    return 77;  // never reached
}

TEST_F(ErrorTest, FatalCodesShowBothBoxesWithoutOwnerAndEndWithZero) {
    for (int code : {1, 6}) {
        SCOPED_TRACE(code);
        harness::Process child = harness::StartScenario("FatalError", std::to_string(code));
        HWND alert = harness::WaitForDialog("Alert", child.id());
        ASSERT_NE(nullptr, alert);
        EXPECT_EQ(std::string(ErrorPrefix(code)) + "Fatal error!", harness::BoxText(alert));
        EXPECT_EQ(nullptr, GetWindow(alert, GW_OWNER));
        harness::ClickButton(alert, IDOK);
        HWND critical = harness::WaitForDialog("Error", child.id());
        ASSERT_NE(nullptr, critical);
        EXPECT_EQ(kCritical, harness::BoxText(critical));
        harness::ClickButton(critical, IDOK);
        ASSERT_TRUE(child.WaitExit());
        EXPECT_EQ(0u, child.ExitCode());
    }
}

// Child process: the main window with its tray icon, then a fatal error.
// The tray is asked once the program is on its way out (a dead window's
// icon vanishes under Wine by itself, unlike on Windows): exit code 3 says
// the icon was still there.
HL_SCENARIO(FatalErrorWithTrayIcon) {
    Instance = GetModuleHandleA(nullptr);
    InstallDirectory = "\\";
    if (!CreateMainWindow(Instance, SW_SHOWNORMAL)) return 1;
    std::atexit([] {
        if (harness::TrayIconExists(MainWindow, kTrayIconId)) ExitProcess(3);
    });
    ReportError(ErrorFileIo, "Fatal error!");
    return 77;  // never reached
}

TEST_F(ErrorTest, AFatalErrorTakesTheTrayIconAlong) {
    harness::Process child = harness::StartScenario("FatalErrorWithTrayIcon");
    ASSERT_NE(nullptr, harness::WaitForDialog("Alert", child.id()));
    HWND main = harness::FindTopWindow("HOVERLANE", "Hoverlane", child.id());
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(harness::TrayIconExists(main, kTrayIconId));
    EXPECT_EQ("Alert", harness::AnswerNextBox(child.id(), IDOK).caption);
    EXPECT_EQ(kCritical, harness::AnswerNextBox(child.id(), IDOK).text);
    ASSERT_TRUE(child.WaitExit());
    EXPECT_EQ(0u, child.ExitCode());
}

// Child process: the main window, whose next message needs memory that
// is not there (the Help command's path outgrows a short string).
HL_SCENARIO(AllocationFailsInTheMainWindow) {
    Instance = GetModuleHandleA(nullptr);
    InstallDirectory = "C:\\Program Files\\Hoverlane\\";
    if (!CreateMainWindow(Instance, SW_SHOWNORMAL)) return 1;
    NextAllocationFails = true;
    SendMessageA(MainWindow, WM_COMMAND, IDM_HELP, 0);
    return 77;  // never reached
}

// An exception from below a window procedure never reaches Windows' own
// code (which the i686 unwinder cannot pass): the out-of-memory error.
TEST_F(ErrorTest, MemoryThatRunsOutInAWindowProcedureIsTheOutOfMemoryError) {
    harness::Process child = harness::StartScenario("AllocationFailsInTheMainWindow");
    EXPECT_EQ("There is no free memory on your computer: Cannot allocate a string buffer",
              harness::AnswerNextBox(child.id(), IDOK).text);
    EXPECT_EQ(kCritical, harness::AnswerNextBox(child.id(), IDOK).text);
    ASSERT_TRUE(child.WaitExit());
    EXPECT_EQ(0u, child.ExitCode());
}

}  // namespace
