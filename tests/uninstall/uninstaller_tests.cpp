// The uninstaller run directly with a command line, over an installation
// made by hand: what it asks, what it removes, what it leaves and what it
// says.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "installation.h"
#include "sync_window.h"
#include "uninstall_fixture.h"
#include "uninstaller.h"

using harness::Process;
using namespace uninstall_test;

namespace {

const std::string kFolderArg = std::string(install::kFolder) + "\\";

class UninstallerTest : public UninstallTest {};

TEST_F(UninstallerTest, AnsweringNoLeavesEverythingInPlace) {
    install::Install();
    Process uninstaller = StartUninstaller(kFolderArg);
    HWND question = harness::WaitForDialog("Alert", uninstaller.id());
    ASSERT_NE(nullptr, question);
    // System modal, with Yes and No.
    EXPECT_TRUE(GetWindowLongA(question, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(nullptr, GetDlgItem(question, IDYES));
    EXPECT_NE(nullptr, GetDlgItem(question, IDNO));

    EXPECT_EQ(Boxes({kQuestion}), RunThroughBoxes(uninstaller, IDNO));
    ASSERT_TRUE(uninstaller.WaitExit());
    EXPECT_EQ(0u, uninstaller.ExitCode());
    EXPECT_EQ(13u, install::PresentFiles().size());
    EXPECT_EQ(4u, install::PresentShortcuts().size());
    EXPECT_EQ(install::kRegistryParts, install::PresentRegistryParts());
    EXPECT_TRUE(harness::KeyExists(HKEY_CURRENT_USER, kProductKey));
}

TEST_F(UninstallerTest, YesRemovesFilesFoldersShortcutsAndKeys) {
    install::Install();
    const std::string desktop = harness::SpecialFolderPath(CSIDL_DESKTOP);
    const std::string startup = harness::SpecialFolderPath(CSIDL_STARTUP);
    Process uninstaller = StartUninstaller(kFolderArg);

    EXPECT_EQ(Boxes({kQuestion, kCompleted}), RunThroughBoxes(uninstaller, IDYES));
    ASSERT_TRUE(uninstaller.WaitExit());
    EXPECT_EQ(0u, uninstaller.ExitCode());

    ExpectNothingLeft();
    // The user's own folders stay, even though nothing is left in them.
    EXPECT_TRUE(harness::FolderExists(desktop));
    EXPECT_TRUE(harness::FolderExists(startup));
    EXPECT_TRUE(harness::FolderExists(harness::SpecialFolderPath(CSIDL_PROGRAMS)));
}

// The maker's key holds other products too: only Hoverlane's goes.
TEST_F(UninstallerTest, TheMakersOtherProductsKeepTheirKeys) {
    install::Install();
    const std::string other = std::string(kMakerKey) + "\\Other Product";
    for (HKEY root : kMakerKeyRoots) harness::WriteText(root, other.c_str(), "Setting", "kept");
    Process uninstaller = StartUninstaller("/S /D=" + kFolderArg);
    ASSERT_TRUE(uninstaller.WaitExit());
    EXPECT_EQ(0u, uninstaller.ExitCode());
    for (HKEY root : kMakerKeyRoots) {
        EXPECT_EQ(std::string("kept", 5), harness::ReadValue(root, other.c_str(), "Setting").data);
        EXPECT_FALSE(harness::KeyExists(root, kProductKey));
    }
}

TEST_F(UninstallerTest, RunningHoverlaneIsClosedBeforeTheQuestion) {
    install::Install();
    Process app = Process::Start(install::FilePath(install::kFolder, "Hoverlane.exe"));
    ASSERT_NE(nullptr, harness::WaitForTopWindow("HOVERLANE", "Hoverlane", app.id()));

    Process uninstaller = StartUninstaller(kFolderArg);
    ASSERT_NE(nullptr, harness::WaitForDialog("Alert", uninstaller.id()));
    // Closed in order, as setup closes it: ended with 0, settings saved.
    EXPECT_FALSE(app.Running());
    EXPECT_EQ(0u, app.ExitCode());
    EXPECT_EQ(nullptr, harness::FindTopWindow(kSyncClassName));
    const harness::RegValue timer = harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kTimerValue);
    ASSERT_EQ(4u, timer.data.size());
    EXPECT_EQ(300u, *reinterpret_cast<const DWORD*>(timer.data.data()));

    EXPECT_EQ(Boxes({kQuestion, kCompleted}), RunThroughBoxes(uninstaller, IDYES));
    EXPECT_TRUE(install::PresentFiles().empty());
    EXPECT_FALSE(harness::FolderExists(install::kFolder));
}

TEST_F(UninstallerTest, SecondRunSaysUninstalledBeforeThenCompletes) {
    install::Install();
    Process first = StartUninstaller(kFolderArg);
    EXPECT_EQ(Boxes({kQuestion, kCompleted}), RunThroughBoxes(first, IDYES));
    ASSERT_FALSE(harness::FolderExists(install::kFolder));

    Process second = StartUninstaller(kFolderArg);
    EXPECT_EQ(Boxes({kQuestion, kUninstalledBefore, kCompleted}), RunThroughBoxes(second, IDYES));
    ASSERT_TRUE(second.WaitExit());
    EXPECT_EQ(0u, second.ExitCode());
}

TEST_F(UninstallerTest, UserFileKeepsTheFolderWithoutAWarning) {
    install::Install();
    const std::string notes = std::string(install::kFolder) + "\\my notes.txt";
    harness::WriteFileBytes(notes, "mine");
    Process uninstaller = StartUninstaller(kFolderArg);

    EXPECT_EQ(Boxes({kQuestion, kCompleted}), RunThroughBoxes(uninstaller, IDYES));
    EXPECT_TRUE(install::PresentFiles().empty());
    EXPECT_EQ("mine", harness::ReadFileBytes(notes).bytes);
    EXPECT_FALSE(harness::FolderExists(std::string(install::kFolder) + "\\help"));
    EXPECT_TRUE(install::PresentShortcuts().empty());
    EXPECT_EQ(0, install::PresentRegistryParts());
}

TEST_F(UninstallerTest, MissingHelpPageGivesTheWarningAfterTwelve) {
    install::Install();
    ASSERT_TRUE(DeleteFileA(install::FilePath(install::kFolder, "Help\\Monitoring Time.htm").c_str()));
    Process uninstaller = StartUninstaller(kFolderArg);

    EXPECT_EQ(Boxes({kQuestion, kFilesLeft}), RunThroughBoxes(uninstaller, IDYES));
    // The twelve others went, and with them every folder.
    EXPECT_TRUE(install::PresentFiles().empty());
    EXPECT_FALSE(harness::FolderExists(install::kFolder));
    EXPECT_TRUE(install::PresentShortcuts().empty());
}

TEST_F(UninstallerTest, ReadOnlyFileStaysWithTheWarning) {
    install::Install();
    const std::string license = install::FilePath(install::kFolder, "license.txt");
    ASSERT_TRUE(SetFileAttributesA(license.c_str(), FILE_ATTRIBUTE_READONLY));
    Process uninstaller = StartUninstaller(kFolderArg);

    EXPECT_EQ(Boxes({kQuestion, kFilesLeft}), RunThroughBoxes(uninstaller, IDYES));
    EXPECT_EQ(std::vector<std::string>{"license.txt"}, install::PresentFiles());
    EXPECT_TRUE(harness::FolderExists(install::kFolder));
    EXPECT_FALSE(harness::FolderExists(std::string(install::kFolder) + "\\help"));
}

// A file in use (here held open by the test without delete sharing) stays:
// the warning says so, and success is not claimed.
TEST_F(UninstallerTest, FileHeldOpenStaysWithTheWarningAndNoSuccess) {
    install::Install();
    const std::string license = install::FilePath(install::kFolder, "license.txt");
    harness::HeldFile held(license);
    ASSERT_TRUE(held.held());
    Process uninstaller = StartUninstaller(kFolderArg);

    EXPECT_EQ(Boxes({kQuestion, kFilesLeft}), RunThroughBoxes(uninstaller, IDYES));
    ASSERT_TRUE(uninstaller.WaitExit());
    held.Release();
    EXPECT_EQ(std::vector<std::string>{"license.txt"}, install::PresentFiles());
    // Everything else went as usual.
    EXPECT_TRUE(install::PresentShortcuts().empty());
    EXPECT_EQ(0, install::PresentRegistryParts());
}

// A shortcut that cannot be deleted is left like a file: the warning, and
// no success.
TEST_F(UninstallerTest, ReadOnlyShortcutStaysWithTheWarning) {
    install::Install();
    const std::string link = harness::SpecialFolderPath(CSIDL_DESKTOP) + "\\Hoverlane.lnk";
    ASSERT_TRUE(SetFileAttributesA(link.c_str(), FILE_ATTRIBUTE_READONLY));
    Process uninstaller = StartUninstaller(kFolderArg);

    EXPECT_EQ(Boxes({kQuestion, kFilesLeft}), RunThroughBoxes(uninstaller, IDYES));
    EXPECT_TRUE(install::PresentFiles().empty());
    EXPECT_EQ(1u, install::PresentShortcuts().size());
    SetFileAttributesA(link.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A key that cannot be deleted counts like a file; one that is not there
// is not a failure (a second run finds none).
TEST(UninstallerKeys, OnlyAKeyThatStaysIsAFailure) {
    EXPECT_TRUE(KeyIsGone(ERROR_SUCCESS));
    EXPECT_TRUE(KeyIsGone(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(KeyIsGone(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(KeyIsGone(ERROR_SHARING_VIOLATION));
}

TEST_F(UninstallerTest, FolderWithoutTrailingBackslashDeletesNothingAndWarns) {
    install::Install();
    // The names joined straight to the folder's own name: files beside the
    // folder that are not ours.
    const std::string beside[] = {std::string(install::kFolder) + "license.txt",
                                  std::string(install::kFolder) + "Hoverlane.exe"};
    for (const std::string& path : beside) harness::WriteFileBytes(path, "not ours");
    Process uninstaller = StartUninstaller(install::kFolder);

    EXPECT_EQ(Boxes({kQuestion, kFilesLeft}), RunThroughBoxes(uninstaller, IDYES));
    EXPECT_EQ(13u, install::PresentFiles().size());
    for (const std::string& path : beside) {
        EXPECT_EQ("not ours", harness::ReadFileBytes(path).bytes) << path;
        DeleteFileA(path.c_str());
    }
    // Shortcuts and keys go whatever the folder.
    EXPECT_TRUE(install::PresentShortcuts().empty());
    EXPECT_EQ(0, install::PresentRegistryParts());
}

TEST_F(UninstallerTest, QuotedFolderSaysUninstalledBefore) {
    install::Install();
    Process uninstaller = StartUninstaller("\"" + kFolderArg + "\"");

    EXPECT_EQ(Boxes({kQuestion, kUninstalledBefore, kCompleted}), RunThroughBoxes(uninstaller, IDYES));
    EXPECT_EQ(13u, install::PresentFiles().size());
    EXPECT_TRUE(install::PresentShortcuts().empty());
    EXPECT_EQ(0, install::PresentRegistryParts());
}

TEST_F(UninstallerTest, DriveRootIsNoInstallation) {
    DriveRootFiles root;
    ASSERT_TRUE(root.Intact());
    // A lone backslash is the root of the current drive, here C:.
    for (const char* args : {"\\", "C:\\", "c:/", "C:\\Program Files\\..\\", "C:\\windows\\.."}) {
        SCOPED_TRACE(args);
        Process uninstaller = StartUninstaller(args, "C:\\");
        EXPECT_EQ(Boxes({kQuestion, kUninstalledBefore, kCompleted}),
                  RunThroughBoxes(uninstaller, IDYES));
        ASSERT_TRUE(uninstaller.WaitExit());
        EXPECT_EQ(0u, uninstaller.ExitCode());
        EXPECT_TRUE(root.Intact());
    }
}

TEST_F(UninstallerTest, GarbageCommandLinesNameNoInstallation) {
    install::Install();
    // An existing folder whose name is too long for a path buffer.
    const std::string deep = std::string(install::kFolder) + "\\" + std::string(120, 'd') + "\\" +
                             std::string(120, 'e');
    CreateDirectoryA((std::string(install::kFolder) + "\\" + std::string(120, 'd')).c_str(), nullptr);
    CreateDirectoryA(deep.c_str(), nullptr);
    const bool deepMade = harness::FolderExists(deep);
    if (deepMade) harness::WriteFileBytes(deep + "\\license.txt", "deep");

    const std::string lines[] = {
        "",
        std::string(5000, 'A'),
        kFolderArg + std::string(300, 'x') + "\\",
        deep + "\\",
        "%s%s%n \\\\ \" \"",
        "Hoverlane\\",
        "\\\\?\\C:\\",
        "\\\\.\\C:\\",
    };
    for (const std::string& args : lines) {
        SCOPED_TRACE(args.substr(0, 60));
        Process uninstaller = StartUninstaller(args, install::kFolder);
        EXPECT_EQ(Boxes({kQuestion, kUninstalledBefore, kCompleted}),
                  RunThroughBoxes(uninstaller, IDYES));
        ASSERT_TRUE(uninstaller.WaitExit());
        EXPECT_EQ(0u, uninstaller.ExitCode());
        // The installation is not touched; only the fixed shortcuts and keys go.
        EXPECT_EQ(13u, install::PresentFiles().size());
        if (deepMade) {
            EXPECT_EQ("deep", harness::ReadFileBytes(deep + "\\license.txt").bytes);
        }
    }
}

// A "SYNCCLASS" window of this process with that window procedure.
void CreateSyncWindow(WNDPROC procedure) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kSyncClassName;
    RegisterClassExA(&windowClass);
    CreateWindowExA(0, kSyncClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, windowClass.hInstance, nullptr);
}

LRESULT CALLBACK StubbornProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

// A kSyncClassName window that ignores WM_DESTROY; with "hang" its process
// never looks at its messages either.
HL_SCENARIO(StubbornSyncWindow) {
    CreateSyncWindow(StubbornProc);
    if (args == "hang") Sleep(INFINITE);
    for (MSG message; GetMessageA(&message, nullptr, 0, 0) > 0;) DispatchMessageA(&message);
    return 0;
}

// As hoverlane's: a sent WM_DESTROY destroys the window for real.
LRESULT CALLBACK SlowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static bool destroying = false;
    if (message == WM_DESTROY && !destroying) {
        destroying = true;
        DestroyWindow(window);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A kSyncClassName window that goes at once, in a process that takes its time
// to end afterwards, as a busy machine's hoverlane may.
HL_SCENARIO(SlowToEnd) {
    CreateSyncWindow(SlowProc);
    for (MSG message; GetMessageA(&message, nullptr, 0, 0) > 0;) DispatchMessageA(&message);
    Sleep(2000);
    return 0;
}

// Closing waits, bounded, for the closed instance's process to end (and so
// to let go of its program file), not only for its window to go.
TEST_F(UninstallerTest, ClosingWaitsForTheClosedProcessToEnd) {
    Process slow = harness::StartScenario("SlowToEnd");
    ASSERT_NE(nullptr, harness::WaitForTopWindow(kSyncClassName, nullptr, slow.id()));
    EXPECT_EQ(1, CloseRunningInstances());
    EXPECT_TRUE(slow.WaitExit(0));
}

TEST_F(UninstallerTest, SyncWindowThatNeverGoesAwayDoesNotHangIt) {
    for (const char* mode : {"answer", "hang"}) {
        SCOPED_TRACE(mode);
        Process stubborn = harness::StartScenario("StubbornSyncWindow", mode);
        // By class only: asking a hung window for its title would hang the test.
        ASSERT_NE(nullptr, harness::WaitForTopWindow(kSyncClassName, nullptr, stubborn.id()));

        Process uninstaller = StartUninstaller(kFolderArg);
        EXPECT_EQ(Boxes({kQuestion}), RunThroughBoxes(uninstaller, IDNO));
        ASSERT_TRUE(uninstaller.WaitExit());
        EXPECT_EQ(0u, uninstaller.ExitCode());
        EXPECT_NE(nullptr, harness::FindTopWindow(kSyncClassName, nullptr, stubborn.id()));
        stubborn.Terminate();
    }
}

}  // namespace
