// A program file that runs cannot be deleted: it goes when Windows next
// starts, here `wineboot -r`, and the uninstallation says so (3010, or the
// box's last line).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "exit_codes.h"
#include "install_layout.h"
#include "harness.h"
#include "installation.h"
#include "restart_delete.h"
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

// After the restart: everything gone, but wininit.ini deletes no folders,
// so on the 95 family the emptied installation folder stays.
void ExpectNothingLeftAfterRestart() {
    if (!harness::Family95()) return ExpectNothingLeft();
    EXPECT_TRUE(install::PresentFiles().empty());
    EXPECT_TRUE(install::PresentShortcuts().empty());
    EXPECT_EQ(0, install::PresentRegistryParts());
}

using RestartTest = UninstallTest;

TEST_F(RestartTest, AProgramFileInUseGoesWhenWindowsRestarts) {
    install::Install();
    const std::string program = install::FilePath(install::kFolder, "hoverlane.exe");
    // Held as a running copy that could not be closed holds it.
    harness::HeldFile held(program);
    ASSERT_TRUE(held.held());
    Process uninstaller = StartUninstaller(std::string(install::kFolder) + "\\");
    EXPECT_EQ(Boxes({kQuestion, kRestart}), RunThroughBoxes(uninstaller, IDYES));
    ASSERT_TRUE(uninstaller.WaitExit());
    held.Release();
    EXPECT_EQ(std::vector<std::string>{"Hoverlane.exe"}, install::PresentFiles());
    EXPECT_TRUE(PendingDeletion(program));

    RestartWindows();
    ExpectNothingLeftAfterRestart();
}

// What an earlier removal left to be deleted at the restart under the names
// setup writes anew is taken back; another program's deletion stays.
TEST_F(RestartTest, SetupTakesBackTheDeletionOfTheFilesItWrites) {
    install::Install();
    const std::string program = install::FilePath(install::kFolder, "hoverlane.exe");
    const std::string licence = install::FilePath(install::kFolder, "license.txt");
    const std::string other = std::string(install::kFolder) + " other.txt";
    ASSERT_TRUE(harness::WriteFileBytes(other, "another program's"));
    for (const std::string& file : {program, licence, other}) ASSERT_TRUE(DeleteAtRestart(file)) << file;
    // As another tool may write the list: without its closing empty text.
    const char kSession[] = "System\\CurrentControlSet\\Control\\Session Manager";
    std::string list = harness::ReadValue(HKEY_LOCAL_MACHINE, kSession, "PendingFileRenameOperations").data;
    if (!harness::Family95() && list.size() > 3) {
        list.pop_back();
        harness::WriteValue(HKEY_LOCAL_MACHINE, kSession, "PendingFileRenameOperations", REG_MULTI_SZ, list.data(),
                            static_cast<DWORD>(list.size()));
    }
    Process setup = Process::Start(HL_SETUP, std::string("/S /D=") + install::kFolder);
    ASSERT_TRUE(setup.WaitExit());
    EXPECT_EQ(0u, setup.ExitCode());
    EXPECT_FALSE(PendingDeletion(program));
    EXPECT_FALSE(PendingDeletion(licence));
    EXPECT_TRUE(PendingDeletion(other));
    CancelDeletionAtRestart({other});
    DeleteFileA(other.c_str());
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
        // Named after the prefix: the variants' suites run side by side.
        const std::string name = std::string(prefix).substr(std::string(prefix).find_last_of('/') + 1);
        target_ = "/dev/shm/hoverlane-tests-" + name;
        const std::string seen = "Z:\\dev\\shm\\hoverlane-tests-" + name;
        link_ = std::string(prefix) + "/dosdevices/r:";
        harness::StartUnixProgram("/bin/mkdir", "-p " + target_);
        harness::WaitUntil([&] { return GetFileAttributesA(seen.c_str()) != INVALID_FILE_ATTRIBUTES; });
        harness::StartUnixProgram("/bin/ln", "-sfn " + target_ + " \"" + link_ + "\"");
        ready_ = harness::WaitUntil([] { return GetFileAttributesA("R:\\") != INVALID_FILE_ATTRIBUTES; });
    }
    ~OtherVolume() {
        if (link_.empty()) return;
        harness::StartUnixProgram("/bin/rm", "-rf \"" + link_ + "\" " + target_);
        harness::WaitUntil([] { return GetFileAttributesA("R:\\") == INVALID_FILE_ATTRIBUTES; });
    }
    bool ready() const { return ready_; }

private:
    std::string target_;
    std::string link_;
    bool ready_ = false;
};

// The running program goes at the restart under a name of its own: an
// administrator who installs again before it keeps the new program.
TEST_F(RestartTest, SilentUninstallFromAnotherVolumeEndsWithRestartNeededAndAReinstallOutlivesIt) {
    OtherVolume volume;
    if (!volume.ready()) GTEST_SKIP() << "no tmpfs folder (/dev/shm) to make a drive of";
    const std::string folder = "R:\\Hoverlane";
    install::Install(folder);
    const std::string program = install::FilePath(folder, "hoverlane.exe");
    const std::string log = "C:\\restart test log.txt";
    Process quiet = Process::Start(program, "/Uninstall /S /LOG=\"" + log + "\"");
    ASSERT_TRUE(quiet.WaitExit());
    EXPECT_EQ(static_cast<DWORD>(kExitRestartNeeded), quiet.ExitCode()) << harness::ReadFileBytes(log).bytes;
    DeleteFileA(log.c_str());
    // Renamed; the 95 family cannot rename a running program: setup takes
    // back the deletion of its name instead.
    EXPECT_EQ(harness::Family95() ? 1u : 0u, install::PresentFiles(folder).size());
    EXPECT_TRUE(install::PresentShortcuts().empty());
    EXPECT_EQ(0, install::PresentRegistryParts());

    Process setup = Process::Start(HL_SETUP, "/S /D=" + folder);
    ASSERT_TRUE(setup.WaitExit());
    EXPECT_EQ(0u, setup.ExitCode());
    RestartWindows();
    EXPECT_EQ(static_cast<size_t>(kInstalledFileCount), install::PresentFiles(folder).size());
    EXPECT_EQ(std::string("MZ"), harness::ReadFileBytes(program).bytes.substr(0, 2));
    WIN32_FIND_DATAA found = {};
    const HANDLE retired = FindFirstFileA((folder + "\\" + kRetiredProgramPrefix + "*").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, retired) << found.cFileName;
    if (retired != INVALID_HANDLE_VALUE) FindClose(retired);
}

}  // namespace
