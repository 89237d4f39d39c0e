// hoverlane /Uninstall: the embedded uninstaller written to the temporary
// folder, started with the installation folder, and its copy marked for
// deletion at the next restart; and the launcher's failures.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>
#include <shellapi.h>

#include <string>
#include <utility>

#include "exit_codes.h"
#include "harness.h"
#include "installation.h"
#include "uninstall_fixture.h"
#include "uninstall_launcher.h"
#include "uninstaller.h"

using harness::Process;
using namespace uninstall_test;

namespace {

const std::string kHoverlane = harness::WinPath(HL_HOVERLANE);
const char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingValue[] = "PendingFileRenameOperations";

const char kCannotCreate[] =
    "Alert: File I/O problem: Cannot create temporal file, check if you have suficient hard disk "
    "space";
const char kCritical[] = "Error: A Critical Error Has ocurred, the program will quit now";

std::string TempFolder() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

// Where the uninstaller's copy once was, under a fixed name.
std::string FixedTempCopy() {
    return TempFolder() + kUninstallerFileName;
}

std::string ProcessImage(DWORD pid) {
    char path[MAX_PATH] = {};
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return std::string();
    DWORD size = MAX_PATH;
    QueryFullProcessImageNameA(process, 0, path, &size);
    CloseHandle(process);
    return path;
}

// The uninstaller that hoverlane started, found by its question box.
Process StartedUninstaller() {
    HWND box = harness::WaitForDialog("Alert");
    return box ? Process::Open(harness::WindowProcessId(box)) : Process();
}

// The program and its arguments from the stored uninstall command.
std::pair<std::string, std::string> StoredUninstallCommand() {
    const std::string command =
        harness::ReadValue(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kUninstallStringValue).data.c_str();
    const size_t close = command.find('"', 1);
    if (command.empty() || command[0] != '"' || close == std::string::npos) return {};
    return {command.substr(1, close - 1), command.substr(close + 2)};
}

// Sets an environment variable of this process (so of the programs it
// starts) for the object's lifetime.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        char old[32768];
        const DWORD length = GetEnvironmentVariableA(name, old, sizeof(old));
        had_ = length > 0 && length < sizeof(old);
        if (had_) old_ = old;
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedVariable() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

// The copy a started uninstaller runs from: in a folder of its own, new
// under the temporary folder, holding nothing else.
::testing::AssertionResult IsCopyInAFolderOfItsOwn(const std::string& image) {
    const std::string prefix = TempFolder() + kUninstallerFolderPrefix;
    const size_t slash = image.rfind('\\');
    if (slash == std::string::npos || lstrcmpiA(image.substr(slash + 1).c_str(), kUninstallerFileName) != 0 ||
        image.size() < prefix.size() ||
        lstrcmpiA(image.substr(0, prefix.size()).c_str(), prefix.c_str()) != 0 ||
        image.find('\\', prefix.size()) != slash)
        return ::testing::AssertionFailure() << image;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((image.substr(0, slash) + "\\*").c_str(), &found);
    int entries = 0;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (found.cFileName[0] != '.') ++entries;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    if (entries != 1) return ::testing::AssertionFailure() << entries << " entries beside " << image;
    return ::testing::AssertionSuccess();
}

using UninstallLauncherTest = UninstallTest;

TEST_F(UninstallLauncherTest, UninstallEntryRemovesARunningInstallation) {
    install::Install();
    const auto [program, args] = StoredUninstallCommand();
    ASSERT_EQ("/Uninstall", args);
    Process app = Process::Start(program);
    ASSERT_NE(nullptr, harness::WaitForTopWindow("HOVERLANE", "Hoverlane", app.id()));

    Process launcher = Process::Start(program, args);
    ASSERT_TRUE(launcher.WaitExit());
    EXPECT_EQ(0u, launcher.ExitCode());
    Process uninstaller = StartedUninstaller();
    ASSERT_TRUE(uninstaller.valid());
    EXPECT_TRUE(IsCopyInAFolderOfItsOwn(ProcessImage(uninstaller.id())));
    // The running instance was closed before the question.
    ASSERT_TRUE(app.WaitExit());
    EXPECT_EQ(0u, app.ExitCode());

    EXPECT_EQ(Boxes({kQuestion, kCompleted}), RunThroughBoxes(uninstaller, IDYES));
    ASSERT_TRUE(uninstaller.WaitExit());
    EXPECT_EQ(0u, uninstaller.ExitCode());
    ExpectNothingLeft();
}

// Whether a visible box or dialog of any program came up while the process
// ran; waits for it to end.
bool BoxShownUntilItEnds(Process& process) {
    bool shown = false;
    harness::WaitUntil([&] {
        for (HWND box : harness::TopWindows("#32770")) shown |= IsWindowVisible(box) != 0;
        return !process.Running();
    });
    return shown;
}

// What a deployment tool runs, written as scripts write it: no question and
// no box, and the exit code tells what happened.
TEST_F(UninstallLauncherTest, SilentUninstallEndsWithTheTruthAndShowsNothing) {
    static const std::string license = install::FilePath(install::kFolder, "license.txt");
    static const std::string page = install::FilePath(install::kFolder, "Help\\Monitoring Time.htm");
    struct Case {
        const char* args;
        void (*prepare)();
        DWORD code;
        size_t filesLeft;
    };
    const Case cases[] = {
        {"/Uninstall /S", [] {}, 0, 0},
        // Already missing is not left behind.
        {"  /uninstall   /s ", [] { DeleteFileA(page.c_str()); }, 0, 0},
        {"/S /UNINSTALL", [] { SetFileAttributesA(license.c_str(), FILE_ATTRIBUTE_READONLY); }, kExitFiles, 1},
        // Never the tray application, and nothing touched.
        {"/Uninstall /S /Quiet", [] {}, kExitBadSwitch, 13},
        {"/Uninstall /S /LOG=C:\\No\\Such\\Folder\\log.txt", [] {}, kExitLogUnwritable, 13},
        // A drive's root was never an installation of ours.
        {"/Uninstall /S",
         [] { harness::WriteText(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue, "C:\\"); },
         kExitFolderIsRoot, 13},
    };
    const std::string program = install::FilePath(install::kFolder, "hoverlane.exe");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        install::Install();
        c.prepare();
        Process quiet = Process::Start(program, c.args);
        EXPECT_FALSE(BoxShownUntilItEnds(quiet));
        ASSERT_TRUE(quiet.WaitExit());
        // The 95 family: the launcher's own file waits for the restart.
        const bool filesDeleted = c.filesLeft < std::size(install::kInstalledNames);
        const bool launcherWaits = filesDeleted && harness::Family95();
        EXPECT_EQ(c.code == 0 ? harness::SilentUninstallSuccess() : c.code, quiet.ExitCode());
        EXPECT_EQ(c.filesLeft + launcherWaits, install::PresentFiles().size());
        EXPECT_EQ(nullptr, harness::FindTopWindow("HOVERLANE"));
        SetFileAttributesA(license.c_str(), FILE_ATTRIBUTE_NORMAL);
        install::RemoveLeftovers();
    }
    // No installation recorded: only shortcuts and keys to remove.
    Process none = Process::Start(kHoverlane, "/Uninstall /S");
    ASSERT_TRUE(none.WaitExit());
    EXPECT_EQ(0u, none.ExitCode());
}

TEST_F(UninstallLauncherTest, TheCopyRunsFromANewFolderOfItsOwn) {
    harness::WriteFileBytes(FixedTempCopy(), std::string(1 << 20, 'S'));
    Process launcher = Process::Start(kHoverlane, "/Uninstall");
    ASSERT_TRUE(launcher.WaitExit());
    EXPECT_EQ(0u, launcher.ExitCode());
    Process uninstaller = StartedUninstaller();
    ASSERT_TRUE(uninstaller.valid());

    const std::string copy = ProcessImage(uninstaller.id());
    EXPECT_TRUE(IsCopyInAFolderOfItsOwn(copy));
    const std::string built = harness::ReadFileBytes(harness::WinPath(HL_UNINSTALLER)).bytes;
    ASSERT_FALSE(built.empty());
    EXPECT_TRUE(built == harness::ReadFileBytes(copy).bytes);
    EXPECT_EQ(std::string(1 << 20, 'S'), harness::ReadFileBytes(FixedTempCopy()).bytes);
    EXPECT_EQ(Boxes({kQuestion}), RunThroughBoxes(uninstaller, IDNO));
    DeleteFileA(FixedTempCopy().c_str());
}

// The uninstaller runs with the rights to ask for it, hoverlane may not.
TEST_F(UninstallLauncherTest, TheUninstallerHasItsCopyAndFolderDeletedAtTheNextRestart) {
    HL_SKIP_FOR_95_FAMILY("its wininit.ini deletes files, never folders (On98TheCopyGoesThroughWininit)");
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, kPendingValue);
        RegCloseKey(key);
    }
    Process launcher = Process::Start(kHoverlane, "/Uninstall");
    ASSERT_TRUE(launcher.WaitExit());
    Process uninstaller = StartedUninstaller();
    ASSERT_TRUE(uninstaller.valid());
    std::string copy = ProcessImage(uninstaller.id());
    std::string folder = copy.substr(0, copy.rfind('\\'));

    // Pairs of names, source then target; an empty target deletes. The copy
    // goes first: a folder goes only once it is empty.
    harness::RegValue pending = harness::ReadValue(HKEY_LOCAL_MACHINE, kSessionManagerKey, kPendingValue);
    ASSERT_TRUE(pending.found);
    std::string data = pending.data;
    for (std::string* text : {&data, &copy, &folder}) CharUpperBuffA(&(*text)[0], static_cast<DWORD>(text->size()));
    const size_t copyAt = data.find(copy + std::string(2, '\0'));
    const size_t folderAt = data.find(folder + std::string(2, '\0'));
    ASSERT_NE(std::string::npos, copyAt);
    ASSERT_NE(std::string::npos, folderAt);
    EXPECT_LT(copyAt, folderAt);

    EXPECT_EQ(Boxes({kQuestion}), RunThroughBoxes(uninstaller, IDNO));
}

TEST_F(UninstallLauncherTest, MissingInstallDestinationLeavesTheDriveRootAlone) {
    DriveRootFiles root;
    ASSERT_TRUE(root.Intact());
    // No value: no installation folder, and never the root of the current
    // drive, which the uninstaller inherits from hoverlane.
    Process launcher = Process::Start(kHoverlane, "/Uninstall", false, "C:\\");
    ASSERT_TRUE(launcher.WaitExit());
    Process uninstaller = StartedUninstaller();
    ASSERT_TRUE(uninstaller.valid());

    EXPECT_EQ(Boxes({kQuestion, kUninstalledBefore, kCompleted}), RunThroughBoxes(uninstaller, IDYES));
    EXPECT_TRUE(root.Intact());
}

// This test's user, as the system names it.
std::string OwnUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::string();
    alignas(TOKEN_USER) BYTE buffer[128] = {};
    DWORD size = 0;
    char* text = nullptr;
    std::string sid;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &size) &&
        ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
        sid = text;
        LocalFree(text);
    }
    CloseHandle(token);
    return sid;
}

// The record a script asks for: each step, each file and key; and the
// folder the elevated copy runs from, closed to everyone but SYSTEM and the
// Administrators (Wine keeps no access lists: the log says what was set).
TEST_F(UninstallLauncherTest, TheLogRecordsEveryStepAndTheCopysProtection) {
    install::Install();
    const std::string log = std::string(install::kFolder) + " log.txt";
    const std::string program = install::FilePath(install::kFolder, "hoverlane.exe");
    Process quiet = Process::Start(program, "/Uninstall /S /LOG=\"" + log + "\"");
    ASSERT_TRUE(quiet.WaitExit());
    EXPECT_EQ(harness::SilentUninstallSuccess(), quiet.ExitCode());
    const std::string text = harness::ReadFileBytes(log).bytes;
    DeleteFileA(log.c_str());
    const std::string sid = OwnUserSid();
    ASSERT_FALSE(sid.empty());
    const std::string lines[] = {
        std::string("Deleted ") + install::kFolder + "\\license.txt\r\n",
        std::string("Deleted the key HKEY_LOCAL_MACHINE\\") + kUninstallEntryKey + "\r\n",
        std::string("hoverlane_uninst /S /LOG=\"") + log + "\" /D=" + install::kFolder + "\\\r\n"};
    for (const std::string& line : lines) EXPECT_NE(std::string::npos, text.find(line)) << line << "\nin\n" << text;
    // The 95 family keeps no access lists.
    const size_t protection = text.find("Protected " + TempFolder() + kUninstallerFolderPrefix);
    EXPECT_EQ(!harness::Family95(), protection != std::string::npos) << text;
    if (protection != std::string::npos) {
        EXPECT_NE(std::string::npos, text.find(" with D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFXSD;;;" + sid +
                                                   ")(A;OICI;FRFX;;;S-1-3-4)\r\n", protection))
            << text;
    }
    // The uninstaller's end, then hoverlane's, which hands its code on.
    const std::string end = "exit code " + std::to_string(harness::SilentUninstallSuccess()) + "\r\n";
    EXPECT_NE(std::string::npos, text.find(end, text.find(end) + 1)) << text;
}

// The 95 family has no MoveFileExA that deletes: the copy is named, by its
// short name, in wininit.ini, which Windows reads at its next start.
TEST_F(UninstallLauncherTest, On98TheCopyGoesThroughWininit) {
    harness::WineVersionFor launcher(kInstalledProgramFile, "win98");
    harness::WineVersionFor copy(kUninstallerFileName, "win98");
    // Another program's deletions, more than a first reading of the section
    // holds, stay beside the copy's.
    std::string others;
    for (int i = 0; i < 300; ++i) others += "NUL=C:\\OTHER\\FILE" + std::to_string(i) + ".TMP" + '\0';
    ASSERT_TRUE(WritePrivateProfileSectionA("rename", (others + '\0').c_str(), "wininit.ini"));
    Process started = Process::Start(harness::WinPath(HL_HOVERLANE_95), "/Uninstall");
    ASSERT_TRUE(started.WaitExit()) << harness::DescribeProcess(started);
    Process uninstaller = StartedUninstaller();
    ASSERT_TRUE(uninstaller.valid());
    const std::string image = ProcessImage(uninstaller.id());
    EXPECT_EQ(Boxes({kQuestion}), RunThroughBoxes(uninstaller, IDNO));
    ASSERT_TRUE(uninstaller.WaitExit());

    EXPECT_TRUE(PendingDeletion(image, true));
    std::vector<char> section(32768);
    EXPECT_NE(std::string::npos, std::string(section.data(), GetPrivateProfileSectionA("rename", section.data(), 32768,
                                                                                        "wininit.ini"))
                                     .find(std::string("NUL=C:\\OTHER\\FILE299.TMP") + '\0'));

    Process boot = Process::Start("C:\\windows\\system32\\wineboot.exe", "-r");
    ASSERT_TRUE(boot.WaitExit());
    EXPECT_FALSE(harness::FileExists(image));
    DeleteFileA("C:\\windows\\wininit.bak");
}

// Runs the launcher in a module that does not carry the uninstaller.
HL_SCENARIO(LaunchWithoutTheResource) {
    LaunchUninstaller(GetModuleHandleA("kernel32.dll"), "\\", false);
    return 77;  // never reached
}

TEST_F(UninstallLauncherTest, MissingResourceIsFatal) {
    Process child = harness::StartScenario("LaunchWithoutTheResource");
    EXPECT_EQ("Alert: There is no free memory on your computer: cannot load resource into memory",
              Describe(harness::AnswerNextBox(child.id(), IDOK)));
    EXPECT_EQ(kCritical, Describe(harness::AnswerNextBox(child.id(), IDOK)));
    ASSERT_TRUE(child.WaitExit());
    EXPECT_EQ(0u, child.ExitCode());
}

// Silent, the same failure shows nothing, says why in the log and ends
// with its code.
TEST_F(UninstallLauncherTest, UncreatableCopyIsFatalAndStartsNothing) {
    const std::string log = std::string(install::kFolder) + " log.txt";
    for (const bool silent : {false, true}) {
        Process launcher;
        {
            // A temporary folder that does not exist.
            ScopedVariable tmp("TMP", "C:\\No\\Such\\Folder");
            ScopedVariable temp("TEMP", "C:\\No\\Such\\Folder");
            launcher = Process::Start(kHoverlane, silent ? "/Uninstall /S /LOG=\"" + log + "\"" : "/Uninstall");
        }
        if (silent) {
            EXPECT_FALSE(BoxShownUntilItEnds(launcher));
            EXPECT_NE(std::string::npos, harness::ReadFileBytes(log).bytes.find("suficient hard disk space\r\n"));
            DeleteFileA(log.c_str());
        } else {
            EXPECT_EQ(kCannotCreate, Describe(harness::AnswerNextBox(launcher.id(), IDOK)));
            EXPECT_EQ(kCritical, Describe(harness::AnswerNextBox(launcher.id(), IDOK)));
        }
        ASSERT_TRUE(launcher.WaitExit());
        EXPECT_EQ(silent ? static_cast<DWORD>(kExitUninstallerNotStarted) : 0u, launcher.ExitCode());
        EXPECT_EQ(0, harness::TerminateProcessesNamed(kUninstallerFileName));
    }
}

// Under Wine every program runs as administrator, so a refused elevation
// cannot happen here: the text it would show is checked on its own.
TEST(UninstallLaunchFailure, StartedSaysNothingRefusedNamesTheSystemsReason) {
    EXPECT_EQ("", LaunchFailureText(42, ERROR_CANCELLED));
    const std::string prefix = "Cannot start the uninstaller: ";
    for (const auto& [result, error] : {std::pair<UINT_PTR, DWORD>{SE_ERR_ACCESSDENIED, ERROR_CANCELLED},
                                        {SE_ERR_ACCESSDENIED, ERROR_SUCCESS},
                                        {SE_ERR_FNF, ERROR_SUCCESS},
                                        // A silent start without administrator rights.
                                        {0, 740}}) {  // ERROR_ELEVATION_REQUIRED
        const std::string text = LaunchFailureText(result, error);
        EXPECT_EQ(prefix, text.substr(0, prefix.size())) << result << " " << error;
        EXPECT_GT(text.size(), prefix.size() + 2) << text;
        EXPECT_TRUE(text.back() != '\n' && text.back() != '\r') << text;
    }
}

TEST_F(UninstallLauncherTest, TemporaryFolderTooLongForItsBufferIsFatal) {
    // The copy must not land in the current folder instead.
    const std::string current = install::kFolder;
    ASSERT_TRUE(CreateDirectoryA(current.c_str(), nullptr));
    Process launcher;
    {
        const std::string longFolder = "C:\\" + std::string(300, 't');
        ScopedVariable tmp("TMP", longFolder);
        ScopedVariable temp("TEMP", longFolder);
        launcher = Process::Start(kHoverlane, "/Uninstall", false, current);
    }
    EXPECT_EQ(kCannotCreate, Describe(harness::AnswerNextBox(launcher.id(), IDOK)));
    EXPECT_EQ(kCritical, Describe(harness::AnswerNextBox(launcher.id(), IDOK)));
    ASSERT_TRUE(launcher.WaitExit());
    EXPECT_EQ(0u, launcher.ExitCode());
    EXPECT_FALSE(harness::FileExists(current + "\\" + kUninstallerFileName));
    EXPECT_EQ(0, harness::TerminateProcessesNamed(kUninstallerFileName));
}

}  // namespace
