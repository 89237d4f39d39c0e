// Start-up of the real program as a separate process: platform check,
// command line, single instance, installation folder.
#include <gtest/gtest.h>

#include <string>

#include "files.h"
#include "fixture.h"
#include "harness.h"
#include "sync_window.h"
#include "install_layout.h"
#include "platform.h"
#include "resource.h"

using harness::Process;

namespace {

const std::string kHoverlane = harness::WinPath(HL_HOVERLANE);

struct Started {
    Process process;
    HWND main = nullptr;
};

Started StartHoverlane(const std::string& args = "") {
    Started started;
    started.process = Process::Start(kHoverlane, args);
    started.main = harness::WaitForTopWindow("HOVERLANE", "Hoverlane", started.process.id());
    if (!started.main) ADD_FAILURE() << "no main window: " << harness::DescribeProcess(started.process);
    return started;
}

bool Visible(HWND window) {
    return IsWindowVisible(window) && !IsIconic(window);
}

class StartupTest : public ProductTest {};

TEST_F(StartupTest, SecondStartShowsTheHiddenFirstInstanceAndEnds) {
    Process sample = Process::Start(harness::WinPath(HL_SAMPLE_MDI), "/at:300,300,500,400 One");
    HWND sampleFrame = harness::WaitForTopWindow(SAMPLE_FRAME_CLASS, nullptr, sample.id());
    ASSERT_NE(nullptr, sampleFrame);

    Started first = StartHoverlane("/Minimized");
    ASSERT_NE(nullptr, first.main);
    ASSERT_TRUE(harness::WaitUntil([&] { return !IsWindowVisible(first.main); }));

    Process second = Process::Start(kHoverlane);
    ASSERT_TRUE(second.WaitExit());
    EXPECT_EQ(0u, second.ExitCode());

    EXPECT_TRUE(harness::WaitUntil([&] { return Visible(first.main); }));
    EXPECT_EQ(1u, harness::TopWindows("HOVERLANE").size());
    EXPECT_EQ(1u, harness::TopWindows(kSyncClassName).size());
    EXPECT_TRUE(first.process.Running());

    // Brought to the top: the sample's frame now lies below the main window.
    bool below = false;
    for (HWND w = GetWindow(first.main, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == sampleFrame) below = true;
    EXPECT_TRUE(below);
}

class MinimizedWordTest : public StartupTest, public ::testing::WithParamInterface<const char*> {};

// Judged once the start is over (the program waits for input) and for a
// few looks after: during every start the window is hidden for a while.
TEST_P(MinimizedWordTest, StartsHiddenInTheTray) {
    Started app = StartHoverlane(GetParam());
    ASSERT_NE(nullptr, app.main);
    ASSERT_EQ(0u, WaitForInputIdle(app.process.handle(), harness::kWait));
    for (int look = 0; look < 5; ++look) {
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutA(app.main, WM_NULL, 0, 0, SMTO_NORMAL, harness::kWait, &ignored));
        EXPECT_TRUE(harness::TrayIconExists(app.main, 1));
        EXPECT_FALSE(IsWindowVisible(app.main));
        harness::PumpFor(100);
    }
}

INSTANTIATE_TEST_SUITE_P(AnyLetterCase, MinimizedWordTest,
                         ::testing::Values("/Minimized", "/MINIMIZED", "/minimized"));

TEST_F(StartupTest, MinimizedFollowedByMoreTextIsAnOrdinaryStart) {
    for (const char* args : {"/Minimized x", "/Minimized ", "/Minimize", "x /Minimized"}) {
        SCOPED_TRACE(args);
        Started app = StartHoverlane(args);
        ASSERT_NE(nullptr, app.main);
        EXPECT_TRUE(harness::WaitUntil([&] { return Visible(app.main); }));
        harness::CloseAllHoverlanes();
        EXPECT_TRUE(app.process.WaitExit());
    }
}

TEST_F(StartupTest, DestroyingTheSyncWindowEndsTheInstanceInOrder) {
    Started app = StartHoverlane();
    ASSERT_NE(nullptr, app.main);
    ASSERT_TRUE(harness::WaitUntil([&] { return harness::TrayIconExists(app.main, 1); }));
    HWND sync = harness::FindTopWindow(kSyncClassName, "", app.process.id());
    ASSERT_NE(nullptr, sync);

    SendMessageA(sync, WM_DESTROY, 0, 0);

    ASSERT_TRUE(app.process.WaitExit());
    EXPECT_EQ(0u, app.process.ExitCode());
    EXPECT_EQ(nullptr, harness::FindTopWindow(kSyncClassName));

    const harness::RegValue timer = harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kTimerValue);
    ASSERT_TRUE(timer.found);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), timer.type);
    ASSERT_EQ(4u, timer.data.size());
    EXPECT_EQ(100u, *reinterpret_cast<const DWORD*>(timer.data.data()));
    const harness::RegValue inSight =
        harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kAlwaysInSightValue);
    ASSERT_TRUE(inSight.found);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), inSight.type);
    EXPECT_EQ(std::string(1, '\0'), inSight.data);
}

TEST_F(StartupTest, MissingInstallationFolderStopsWithTheRegistryMessage) {
    harness::WriteText(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue, "C:\\No\\Such\\Folder");
    Process app = Process::Start(kHoverlane);
    HWND box = harness::WaitForDialog("Alert", app.id());
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(
        "An error ocurred while reading the registry: The registry may be corrupted\n"
        "You have to uninstall and reinstall Hoverlane",
        harness::BoxText(box));
    EXPECT_EQ(nullptr, harness::FindTopWindow("HOVERLANE", nullptr, app.id()));
    harness::ClickButton(box, IDOK);
    ASSERT_TRUE(app.WaitExit());
    EXPECT_EQ(0u, app.ExitCode());
    EXPECT_EQ(nullptr, harness::FindTopWindow(kSyncClassName));
}

// No installation: the start goes on, and Help never takes the current
// drive's root for the installation folder.
TEST_F(StartupTest, AnEmptyInstallationValueNamesNoFolder) {
    harness::WriteText(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue, "");
    const bool madeFolder = CreateDirectoryA("C:\\help", nullptr) != FALSE;
    harness::WriteFileBytes("C:\\help\\help.htm", "not ours");
    Process app = Process::Start(kHoverlane, "", false, "C:\\");
    HWND main = harness::WaitForTopWindow("HOVERLANE", "Hoverlane", app.id());
    EXPECT_NE(nullptr, main);
    PostMessageA(main, WM_COMMAND, IDM_HELP, 0);
    EXPECT_EQ("Help file not founded, reinstall Hoverlane", harness::AnswerBox("Error", IDOK, app.id()));
    DeleteFileA("C:\\help\\help.htm");
    if (madeFolder) RemoveDirectoryA("C:\\help");
}

// At logoff or shutdown Windows asks, then ends the process without a
// WM_DESTROY: what the user changed is saved when the session ends.
TEST_F(StartupTest, TheSessionsEndSavesTheSettings) {
    Started app = StartHoverlane();
    ASSERT_NE(nullptr, app.main);
    DWORD_PTR answer = 0;
    auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessageTimeoutA(app.main, message, wParam, lParam, SMTO_NORMAL, harness::kWait,
                                   &answer) != 0;
    };
    ASSERT_TRUE(send(WM_COMMAND, IDM_ALWAYS_IN_SIGHT, 0));
    ASSERT_TRUE(send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), answer);
    ASSERT_TRUE(send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF));
    app.process.Terminate();

    EXPECT_EQ(std::string(1, '\1'),
              harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kAlwaysInSightValue).data);
    EXPECT_EQ(4u, harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kTimerValue).data.size());
}

// The Restart Manager (setup, the uninstaller) asks a copy to close so that
// its file is free: it shuts down in order and ends.
TEST_F(StartupTest, AskedToCloseByTheRestartManagerItEndsInOrder) {
    Started app = StartHoverlane();
    ASSERT_NE(nullptr, app.main);
    DWORD_PTR answer = 0;
    ASSERT_NE(0, SendMessageTimeoutA(app.main, WM_COMMAND, IDM_ALWAYS_IN_SIGHT, 0, SMTO_NORMAL,
                                     harness::kWait, &answer));
    PostMessageA(app.main, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    ASSERT_TRUE(app.process.WaitExit());
    EXPECT_EQ(0u, app.process.ExitCode());
    EXPECT_EQ(std::string(1, '\1'),
              harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kAlwaysInSightValue).data);
}

TEST_F(StartupTest, ExistingInstallationFolderStarts) {
    harness::WriteText(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue, "C:\\windows");
    EXPECT_NE(nullptr, StartHoverlane().main);
}

TEST_F(StartupTest, InstallationFolderWithEnvironmentReferenceIsExpanded) {
    const std::string folder = "%SystemRoot%";
    harness::WriteValue(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue, REG_EXPAND_SZ,
                        folder.c_str(), static_cast<DWORD>(folder.size() + 1));
    EXPECT_NE(nullptr, StartHoverlane().main);
}

TEST_F(StartupTest, UnreadableInstallationValuesNeverCrash) {
    // Too long for the path buffer: cannot be read, so no folder, so a start.
    harness::WriteText(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue,
                       "C:\\" + std::string(2000, 'x'));
    Started app = StartHoverlane();
    EXPECT_NE(nullptr, app.main);
    harness::CloseAllHoverlanes();
    ASSERT_TRUE(app.process.WaitExit());
    EXPECT_EQ(0u, app.process.ExitCode());

    // A number where a path belongs names no folder.
    harness::WriteDword(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue, 0x41414141);
    Process second = Process::Start(kHoverlane);
    EXPECT_NE(std::string::npos,
              harness::AnswerBox("Alert", IDOK, second.id()).find("The registry may be corrupted"));
    ASSERT_TRUE(second.WaitExit());
    EXPECT_EQ(0u, second.ExitCode());
}

TEST_F(StartupTest, CommandLinesOfAnyLengthAndContentStartNormally) {
    const std::string lines[] = {
        std::string(30000, 'A'),
        "\"/Minimized\"",
        "/Uninstall/Minimized \"\" \" %s %n \\\\ \t",
        std::string(5000, '"') + "/Minimized",
    };
    for (const std::string& args : lines) {
        SCOPED_TRACE(args.substr(0, 40));
        Started app = StartHoverlane(args);
        ASSERT_NE(nullptr, app.main);
        EXPECT_TRUE(harness::WaitUntil([&] { return Visible(app.main); }));
        harness::CloseAllHoverlanes();
        ASSERT_TRUE(app.process.WaitExit());
        EXPECT_EQ(0u, app.process.ExitCode());
    }
}

// Each family's hoverlane starts where Wine reports a Windows of its family
// (platform id 2 for NT, 1 for the 95 family) and refuses the other with the
// system-modal box.
TEST_F(StartupTest, EachFamilyStartsOnlyOnItsOwnPlatform) {
    struct Case {
        const char* program;
        const char* version;
        bool accepted;
    };
    for (const Case& c : {Case{HL_HOVERLANE_NT, "winxp", true}, Case{HL_HOVERLANE_NT, "win98", false},
                          Case{HL_HOVERLANE_95, "win98", true}, Case{HL_HOVERLANE_95, "winxp", false}}) {
        SCOPED_TRACE(std::string(c.program) + " on " + c.version);
        harness::WineVersionFor sees("hoverlane.exe", c.version);
        Process app = Process::Start(harness::WinPath(c.program));
        if (c.accepted) {
            EXPECT_NE(nullptr, harness::WaitForTopWindow("HOVERLANE", "Hoverlane", app.id()));
            harness::CloseAllHoverlanes();
        } else {
            HWND box = harness::WaitForDialog("Error", app.id());
            ASSERT_NE(nullptr, box);
            EXPECT_EQ(kIncompatibleText, harness::BoxText(box));
            EXPECT_TRUE(GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
            harness::ClickButton(box, IDOK);
        }
        ASSERT_TRUE(app.WaitExit());
        EXPECT_EQ(0u, app.ExitCode());
        EXPECT_EQ(nullptr, harness::FindTopWindow(kSyncClassName));
    }
}

// /Uninstall starts the uninstaller, which asks first; these tests answer No.
Process AnswerTheUninstallerNo() {
    HWND question = harness::WaitForDialog("Alert");
    if (!question) return Process();
    Process uninstaller = Process::Open(harness::WindowProcessId(question));
    EXPECT_EQ("Are you sure you want to Uninstall Hoverlane?", harness::BoxText(question));
    harness::ClickButton(question, IDNO);
    return uninstaller;
}

TEST_F(StartupTest, UninstallWordKeepsTheStoredSettings) {
    harness::WriteDword(HKEY_CURRENT_USER, kProductKey, kTimerValue, 300);
    const BYTE on = 1;
    harness::WriteValue(HKEY_CURRENT_USER, kProductKey, kAlwaysInSightValue, REG_BINARY, &on, 1);
    Process app = Process::Start(kHoverlane, "/UNINSTALL");
    ASSERT_TRUE(app.WaitExit());
    EXPECT_EQ(0u, app.ExitCode());
    Process uninstaller = AnswerTheUninstallerNo();
    ASSERT_TRUE(uninstaller.valid());
    ASSERT_TRUE(uninstaller.WaitExit());
    EXPECT_EQ(0u, uninstaller.ExitCode());

    const harness::RegValue timer = harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kTimerValue);
    ASSERT_EQ(4u, timer.data.size());
    EXPECT_EQ(300u, *reinterpret_cast<const DWORD*>(timer.data.data()));
    EXPECT_EQ(std::string(1, '\1'),
              harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kAlwaysInSightValue).data);
}

TEST_F(StartupTest, UninstallWordWorksWhileAnInstanceRuns) {
    Started app = StartHoverlane();
    ASSERT_NE(nullptr, app.main);
    Process uninstall = Process::Start(kHoverlane, "/Uninstall");
    ASSERT_TRUE(uninstall.WaitExit());
    EXPECT_EQ(0u, uninstall.ExitCode());
    // The uninstaller closed the running instance, in order, before asking.
    Process uninstaller = AnswerTheUninstallerNo();
    ASSERT_TRUE(uninstaller.valid());
    ASSERT_TRUE(app.process.WaitExit());
    EXPECT_EQ(0u, app.process.ExitCode());
    EXPECT_EQ(nullptr, harness::FindTopWindow(kSyncClassName));
    ASSERT_TRUE(uninstaller.WaitExit());
    EXPECT_EQ(0u, uninstaller.ExitCode());
}

}  // namespace
