// The whole life of an installation with the real programs: setup installs,
// the user runs hoverlane from its shortcut, Windows' list of installed
// programs runs the uninstall command, and the uninstaller removes it all.
#include <gtest/gtest.h>

#include <string>

#include "files.h"
#include "harness.h"
#include "install_layout.h"
#include "setup_driver.h"
#include "uninstall_fixture.h"

using harness::Process;
using namespace setup_test;

namespace {

class LifecycleTest : public SetupTest {
protected:
    // Installs with every option on and starts the program from the
    // desktop shortcut, as the user would; returns its main window.
    HWND InstallAndRun() {
        {
            SetupRun setup(kSetup, "");
            setup.InstallWithDefaults();
            EXPECT_TRUE(setup.EndsWithCodeZero());
        }  // closes the program group window setup opened
        const harness::Shortcut link = harness::ReadShortcut(DesktopLink());
        EXPECT_TRUE(link.found);
        app_ = Process::Start(link.target, link.arguments);
        HWND main = harness::WaitForTopWindow("HOVERLANE", "Hoverlane", app_.id());
        EXPECT_NE(nullptr, main) << harness::DescribeProcess(app_);
        return main;
    }

    // Runs the stored uninstall command the way Windows does and returns
    // the uninstaller it started, found by its question.
    Process RunUninstallCommand() {
        const std::string command =
            harness::ReadValue(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kUninstallStringValue)
                .data.c_str();
        const std::string quoted = "\"" + folder + "\\hoverlane.exe\"";
        EXPECT_EQ(quoted + " /Uninstall", command);
        Process launcher = Process::Start(folder + "\\hoverlane.exe", "/Uninstall");
        EXPECT_TRUE(launcher.WaitExit());
        EXPECT_EQ(0u, launcher.ExitCode());
        HWND question = harness::WaitForDialog("Alert");
        return question ? Process::Open(harness::WindowProcessId(question)) : Process();
    }

    Process app_;
};

TEST_F(LifecycleTest, UninstallRemovesEverythingSetupMade) {
    ASSERT_NE(nullptr, InstallAndRun());
    ASSERT_EQ(13u, install::PresentFiles(folder).size());

    Process uninstaller = RunUninstallCommand();
    ASSERT_TRUE(uninstaller.valid());
    // The running instance was closed before the question, in order.
    ASSERT_TRUE(app_.WaitExit());
    EXPECT_EQ(0u, app_.ExitCode());

    EXPECT_EQ(uninstall_test::Boxes({uninstall_test::kQuestion, uninstall_test::kCompleted}),
              uninstall_test::RunThroughBoxes(uninstaller, IDYES));
    ASSERT_TRUE(uninstaller.WaitExit());
    EXPECT_EQ(0u, uninstaller.ExitCode());
    uninstall_test::ExpectNothingLeft(folder);
    // The folder setup made above the installation is not ours to remove.
    EXPECT_TRUE(harness::FolderExists(scratch + "\\My Apps_1"));
}

TEST_F(LifecycleTest, AnsweringNoKeepsTheInstallationWorking) {
    ASSERT_NE(nullptr, InstallAndRun());

    Process uninstaller = RunUninstallCommand();
    ASSERT_TRUE(uninstaller.valid());
    EXPECT_EQ(uninstall_test::Boxes({uninstall_test::kQuestion}),
              uninstall_test::RunThroughBoxes(uninstaller, IDNO));
    ASSERT_TRUE(uninstaller.WaitExit());
    EXPECT_EQ(0u, uninstaller.ExitCode());

    EXPECT_EQ(13u, install::PresentFiles(folder).size());
    for (const std::string& link : {DesktopLink(), StartupLink(), GroupLink(), HelpLink()})
        EXPECT_TRUE(harness::FileExists(link)) << link;
    EXPECT_TRUE(harness::KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey));
    EXPECT_TRUE(harness::KeyExists(HKEY_LOCAL_MACHINE, kAppPathKey));

    // The uninstaller closed the running instance before asking; started
    // again, it still finds its installation.
    ASSERT_TRUE(app_.WaitExit());
    Process again = Process::Start(folder + "\\hoverlane.exe");
    const HWND main = harness::WaitForTopWindow("HOVERLANE", "Hoverlane", again.id());
    EXPECT_NE(nullptr, main) << harness::DescribeProcess(again);
    EXPECT_EQ(nullptr, harness::FindTopWindow("#32770", "Alert", again.id()));
}

}  // namespace
