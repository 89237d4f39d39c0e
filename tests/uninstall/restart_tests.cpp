// A program file that runs cannot be deleted: it goes when Windows next
// starts, here `wineboot -r`, and the uninstallation says so (3010, or the
// box's last line).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "exit_codes.h"
#include "harness.h"
#include "installation.h"
#include "uninstall_fixture.h"

using harness::Process;
using namespace uninstall_test;

namespace {

const char kRestart[] =
    "Uninstall: Uninstall Completed Successfully\n\nThe last files are deleted when Windows restarts.";

// What Windows does at its next start.
void RestartWindows() {
    Process boot = Process::Start("C:\\windows\\system32\\wineboot.exe", "-r");
    ASSERT_TRUE(boot.WaitExit());
}

bool PendingDeletion(const std::string& path) {
    std::string pending = harness::ReadValue(HKEY_LOCAL_MACHINE,
                                             "System\\CurrentControlSet\\Control\\Session Manager",
                                             "PendingFileRenameOperations")
                              .data;
    std::string wanted = path + std::string(2, '\0');
    for (std::string* text : {&pending, &wanted}) CharUpperBuffA(&(*text)[0], static_cast<DWORD>(text->size()));
    return pending.find(wanted) != std::string::npos;
}

using RestartTest = UninstallTest;

TEST_F(RestartTest, AProgramFileInUseGoesWhenWindowsRestarts) {
    install::Install();
    const std::string program = install::FilePath(install::kFolder, "hoverlane.exe");
    // Held as a running copy that could not be closed holds it.
    HANDLE held = CreateFileA(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Process uninstaller = StartUninstaller(std::string(install::kFolder) + "\\");
    EXPECT_EQ(Boxes({kQuestion, kRestart}), RunThroughBoxes(uninstaller, IDYES));
    ASSERT_TRUE(uninstaller.WaitExit());
    CloseHandle(held);
    EXPECT_EQ(std::vector<std::string>{"Hoverlane.exe"}, install::PresentFiles());
    EXPECT_TRUE(PendingDeletion(program));

    RestartWindows();
    ExpectNothingLeft();
}

// A drive letter of a file system of its own (a tmpfs folder), which the
// running program file cannot be moved off.
class OtherVolume {
public:
    OtherVolume() {
        char prefix[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || GetFileAttributesA("Z:\\dev\\shm") == INVALID_FILE_ATTRIBUTES)
            return;
        link_ = std::string(prefix) + "/dosdevices/r:";
        harness::StartUnixProgram("/bin/mkdir", "-p " + kTarget);
        harness::WaitUntil([] { return GetFileAttributesA("Z:\\dev\\shm\\hoverlane-tests-r") != INVALID_FILE_ATTRIBUTES; });
        harness::StartUnixProgram("/bin/ln", "-sfn " + kTarget + " \"" + link_ + "\"");
        ready_ = harness::WaitUntil([] { return GetFileAttributesA("R:\\") != INVALID_FILE_ATTRIBUTES; });
    }
    ~OtherVolume() {
        if (link_.empty()) return;
        harness::StartUnixProgram("/bin/rm", "-rf \"" + link_ + "\" " + kTarget);
        harness::WaitUntil([] { return GetFileAttributesA("R:\\") == INVALID_FILE_ATTRIBUTES; });
    }
    bool ready() const { return ready_; }

private:
    const std::string kTarget = "/dev/shm/hoverlane-tests-r";
    std::string link_;
    bool ready_ = false;
};

TEST_F(RestartTest, SilentUninstallFromAnotherVolumeEndsWithRestartNeeded) {
    OtherVolume volume;
    if (!volume.ready()) GTEST_SKIP() << "no tmpfs folder (/dev/shm) to make a drive of";
    const std::string folder = "R:\\Hoverlane";
    install::Install(folder);
    const std::string program = install::FilePath(folder, "hoverlane.exe");
    Process quiet = Process::Start(program, "/Uninstall /S");
    ASSERT_TRUE(quiet.WaitExit());
    EXPECT_EQ(static_cast<DWORD>(kExitRestartNeeded), quiet.ExitCode());
    EXPECT_EQ(std::vector<std::string>{"Hoverlane.exe"}, install::PresentFiles(folder));
    EXPECT_TRUE(install::PresentShortcuts().empty());
    EXPECT_EQ(0, install::PresentRegistryParts());

    RestartWindows();
    EXPECT_TRUE(install::PresentFiles(folder).empty());
    EXPECT_FALSE(harness::FolderExists(folder));
}

}  // namespace
