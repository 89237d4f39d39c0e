// setup as deployment tools run it: an exit code that tells the truth, no
// window whatever happens, a log, shortcuts for every user, folders only
// administrators may change, and copies that still run.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

#include "dll_search.h"
#include "exit_codes.h"
#include "files.h"
#include "harness.h"
#include "install_layout.h"
#include "setup_driver.h"
#include "ui_text.h"

using namespace setup_test;

namespace {

struct SilentRun {
    DWORD code = 0xFFFFFFFF;
    bool windowShown = false;
};

// Runs setup with these switches and waits for it; notes whether any of its
// windows was ever visible.
SilentRun RunSetup(const std::string& args) {
    harness::Process setup = harness::Process::Start(kSetup, args, true);
    SilentRun run;
    harness::WaitUntil([&] {
        for (HWND window : harness::TopWindows(nullptr, setup.id()))
            run.windowShown |= IsWindowVisible(window) != 0;
        return !setup.Running();
    });
    if (setup.WaitExit(0)) run.code = setup.ExitCode();
    return run;
}

// A copy of setup that carries none of the files it should install (nor
// any other resource: silent, it needs none).
std::string SetupWithoutPayload(const std::string& scratch) {
    const std::string copy = scratch + "\\setup.exe";
    CopyFileA(kSetup.c_str(), copy.c_str(), FALSE);
    EndUpdateResourceA(BeginUpdateResourceA(copy.c_str(), TRUE), FALSE);
    return copy;
}

TEST_F(SetupTest, SilentSetupEndsWithTheCodeOfWhatStoppedItAndShowsNothing) {
    const struct {
        std::string args;
        DWORD code;
    } refused[] = {
        {"/S /D=C:\\", kExitFolderIsRoot},
        {"/S /D=Tools\\Hoverlane", kExitFolderNotFullPath},
        {"/S /D=C:\\windows\\system32\\Hoverlane", kExitFolderInWindows},
        {"/S /Quiet /D=" + folder, kExitBadSwitch},
        {"/S /LOG=C:\\No\\Such\\Folder\\setup.log", kExitLogUnwritable},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.args);
        const SilentRun run = RunSetup(c.args);
        EXPECT_EQ(c.code, run.code);
        EXPECT_FALSE(run.windowShown);
        EXPECT_FALSE(harness::FolderExists(folder));
        EXPECT_FALSE(harness::KeyExists(HKEY_LOCAL_MACHINE, kProductKey));
    }

    // A folder whose name the ANSI code page lacks: "Łódź" on a Western
    // system would come through as another folder, "Lodz". (The 95 family
    // has only the system's ANSI command line.)
    const std::wstring polish = L"C:\\\x0141\x00F3" L"d\x017A";
    BOOL lacks = FALSE;
    char narrow[MAX_PATH];
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, polish.c_str(), -1, narrow, MAX_PATH, "?", &lacks);
    if (lacks && !harness::Family95()) {
        harness::Process wide = harness::Process::Start(UiFromAnsi(kSetup), L"/S /D=" + polish + L"\\Hoverlane");
        ASSERT_TRUE(wide.WaitExit());
        EXPECT_EQ(static_cast<DWORD>(kExitFolderNotFullPath), wide.ExitCode());
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\Lodz"));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(polish.c_str()));
    }

    // A step that fails.
    {
        // The other family's Windows.
        harness::WineVersionFor other("setup.exe", harness::Family95() ? "winxp" : "win98");
        EXPECT_EQ(static_cast<DWORD>(kExitWrongFamily), RunSetup("/s").code);
    }
    harness::HeldFile held(PlaceOldHelpPage(folder));
    SilentRun run = RunSetup("/S");
    held.Release();
    EXPECT_EQ(static_cast<DWORD>(kExitFiles), run.code);
    EXPECT_FALSE(run.windowShown);

    // The registry: a volatile key holds no lasting one below it.
    HKEY maker = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMakerKey, 0, nullptr, REG_OPTION_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &maker, nullptr));
    RegCloseKey(maker);
    run = RunSetup("/S");
    harness::DeleteKeyTree(HKEY_LOCAL_MACHINE, kMakerKey);
    EXPECT_EQ(static_cast<DWORD>(kExitRegistry), run.code);
    EXPECT_FALSE(run.windowShown);

    // A shortcut: a folder where the desktop link must go.
    ASSERT_TRUE(CreateDirectoryA(DesktopLink().c_str(), nullptr));
    run = RunSetup("/S");
    RemoveDirectoryA(DesktopLink().c_str());
    EXPECT_EQ(static_cast<DWORD>(kExitShortcuts), run.code);
    EXPECT_FALSE(run.windowShown);
    EXPECT_TRUE(harness::FileExists(StartupLink()));  // the other links are made

    // No files to install at all.
    harness::DeleteTree(folder);
    harness::Process empty = harness::Process::Start(SetupWithoutPayload(scratch), "/S", true);
    ASSERT_TRUE(empty.WaitExit());
    EXPECT_EQ(static_cast<DWORD>(kExitFiles), empty.ExitCode());
    EXPECT_FALSE(harness::FolderExists(folder));
}

// The record a script asks for, appended run after run; and a folder outside
// Program Files gets an access list that only administrators may change
// (Wine keeps no access lists: the log says what was set, and where).
TEST_F(SetupTest, TheLogRecordsEachFileKeyAndLinkAndProtectsFoldersOutsideProgramFiles) {
    const std::string log = scratch + "\\setup log.txt";
    const std::string outside = scratch + "\\Elsewhere\\Hoverlane";
    ASSERT_EQ(0u, RunSetup("/S /LOG=\"" + log + "\" /D=" + outside).code);
    // Run again, setup installs where it did, and the held page stops it.
    const std::string help = outside + "\\help\\help.htm";
    harness::HeldFile held(help);
    EXPECT_EQ(static_cast<DWORD>(kExitFiles), RunSetup("/LOG=\"" + log + "\" /S").code);
    held.Release();
    // Program Files keeps its own rights.
    harness::ResetProductRegistry();
    ASSERT_EQ(0u, RunSetup("/S /LOG=\"" + log + "\" /D=" + folder).code);

    const std::string text = harness::ReadFileBytes(log).bytes;
    // Made with it, the folder above first; given it again, as it exists.
    const std::string sddl = " with D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)(A;OICI;FRFX;;;S-1-3-4)\r\n";
    for (const std::string& protection : {"Made " + scratch + "\\Elsewhere" + sddl + "Made " + outside + sddl,
                                          "Protected " + outside + sddl})
        // The 95 family keeps no access lists.
        EXPECT_EQ(!harness::Family95(), text.find(protection) != std::string::npos) << protection << text;
    for (const std::string& line : {
             "Wrote " + outside + "\\help\\help.htm\r\n",
             std::string("Wrote HKEY_LOCAL_MACHINE\\") + kProductKey + "\\Install Destination = " + outside + "\r\n",
             "Saved " + DesktopLink() + "\r\n",
             std::string(" exit code 0\r\n"),
             // The second run, with the system's words for what stopped it.
             "Cannot create " + help + ": ",
             std::string(" (error 32)\r\n"),
             std::string(" exit code 1\r\n"),
         })
        EXPECT_NE(std::string::npos, text.find(line)) << line << "\nin\n" << text;
    // The system's words stand on the failure's own line.
    const size_t words = text.find("Cannot create " + help + ": ");
    EXPECT_EQ(text.find(" (error 32)\r\n", words), text.find('\r', words) - 11) << text;
    EXPECT_EQ(std::string::npos, text.find(" " + folder + " with")) << text;
}

// What a deployment tool running as SYSTEM gets, with the Startup shortcut
// left out as a person may leave it out; the uninstaller removes it.
TEST_F(SetupTest, AllUsersShortcutsAreMadeForEveryUserAndRemovedWithTheRest) {
    const std::string links[] = {
        harness::SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\" + kAppShortcut,
        harness::SpecialFolderPath(CSIDL_COMMON_PROGRAMS) + "\\" + kProgramGroup + "\\" + kHelpShortcut,
    };
    const std::string startup = harness::SpecialFolderPath(CSIDL_COMMON_STARTUP) + "\\" + kAppShortcut;
    ASSERT_EQ(0u, RunSetup("/AllUsers /S /nostartupshortcut /NoStartMinimized").code);
    for (const std::string& link : links) EXPECT_TRUE(harness::FileExists(link)) << link;
    EXPECT_FALSE(harness::FileExists(startup));
    EXPECT_EQ("", harness::ReadShortcut(links[0]).arguments);
    EXPECT_FALSE(harness::FileExists(DesktopLink()));

    harness::Process quiet = harness::Process::Start(folder + "\\hoverlane.exe", "/Uninstall /S");
    ASSERT_TRUE(quiet.WaitExit());
    EXPECT_EQ(harness::SilentUninstallSuccess(), quiet.ExitCode());
    for (const std::string& link : links) EXPECT_FALSE(harness::FileExists(link)) << link;
    EXPECT_EQ(harness::Family95(), harness::FolderExists(folder));
}

// An existing folder is taken only when it holds nothing but an
// installation's own files (its rights are replaced, and files of others
// keep theirs); and exactly one installation exists.
TEST_F(SetupTest, AnExistingFolderIsTakenOnlyWhenItHoldsNothingButAnInstallation) {
    const struct {
        const char* name;
        std::vector<std::string> holds;  // "" makes the folder alone
        DWORD code;
    } folders[] = {
        {"New", {}, 0},
        {"Empty", {""}, 0},
        {"Ours", {"LICENSE.TXT", "help\\images\\tree view.jpg", "hoverlane.exe.retired-0000ABCD"}, 0},
        {"Foreign", {"license.txt", "notes.txt"}, kExitFolderNotOurs},
        {"Deeper", {"help\\mine\\notes.txt"}, kExitFolderNotOurs},
    };
    for (const auto& f : folders) {
        SCOPED_TRACE(f.name);
        const std::string target = scratch + "\\" + f.name;
        for (const std::string& file : f.holds) {
            const std::string path = target + "\\" + file;
            SHCreateDirectoryExA(nullptr, path.substr(0, path.rfind('\\')).c_str(), nullptr);
            ASSERT_TRUE(file.empty() || harness::WriteFileBytes(path, "theirs"));
        }
        const SilentRun run = RunSetup("/S /D=" + target);
        EXPECT_EQ(f.code, run.code);
        EXPECT_FALSE(run.windowShown);
        EXPECT_EQ(f.code == 0, harness::FileExists(target + "\\hoverlane.exe"));
        if (f.code == 0) {
            // The next folder is not one installed elsewhere.
            harness::ResetProductRegistry();
            continue;
        }
        for (const std::string& file : f.holds)
            EXPECT_EQ("theirs", harness::ReadFileBytes(target + "\\" + file).bytes) << file;
        EXPECT_FALSE(harness::KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey));
    }
    // Installed elsewhere: again there, or nowhere else.
    ASSERT_EQ(0u, RunSetup("/S /D=" + scratch + "\\New").code);
    EXPECT_EQ(static_cast<DWORD>(kExitInstalledElsewhere), RunSetup("/S /D=" + scratch + "\\Empty").code);
    EXPECT_EQ(0u, RunSetup("/S").code);
    EXPECT_TRUE(harness::FileExists(scratch + "\\New\\help\\help.htm"));
}

// A copy of the installed program that goes on running, as another session's
// copy may when nothing can close it.
HL_SCENARIO(KeepsRunning) {
    Sleep(INFINITE);
    return 0;
}

TEST_F(SetupTest, ACopyThatCannotBeClosedStopsSetupAndTheUninstallerBeforeAnythingChanges) {
    ASSERT_EQ(ERROR_SUCCESS, SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr));
    const std::string program = folder + "\\hoverlane.exe";
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, program.c_str(), FALSE));
    harness::Process running = harness::Process::Start(program, "--scenario=KeepsRunning");
    ASSERT_TRUE(harness::WaitUntil([&] { return running.Running(); }));

    // Both wait for the copy at the same time; the script names the folder
    // in capitals.
    ASSERT_TRUE(harness::WriteFileBytes(folder + "\\license.txt", "installed"));
    std::string shouted = folder;
    CharUpperBuffA(&shouted[0], static_cast<DWORD>(shouted.size()));
    harness::Process uninstaller =
        harness::Process::Start(harness::WinPath(HL_UNINSTALLER), "/S /D=" + shouted + "\\");
    const SilentRun run = RunSetup("/S");
    EXPECT_EQ(static_cast<DWORD>(kExitStillRunning), run.code);
    ASSERT_TRUE(uninstaller.WaitExit());
    EXPECT_EQ(static_cast<DWORD>(kExitStillRunning), uninstaller.ExitCode());
    EXPECT_EQ("installed", harness::ReadFileBytes(folder + "\\license.txt").bytes);
    EXPECT_TRUE(running.Running());
}

// A DLL beside an elevated program (in the Downloads folder, say) is not
// loaded once the search is restricted; this test's own folder holds one.
// Where Windows lacks SetDefaultDllDirectories (XP to 7 without its
// update), a DLL of the system's that Windows loads by name later is taken
// from the system folder all the same: a copy of this test with one
// planted beside it.
HL_SCENARIO(LoadsTheDllBesideIt) {
    if (args == "restricted") RestrictDllSearch();
    if (args == "without-default-directories") {
        RestrictDllSearchWith(nullptr, SetDllDirectoryA);
        char path[MAX_PATH] = {}, system[MAX_PATH] = {};
        GetModuleFileNameA(LoadLibraryA("rstrtmgr.dll"), path, MAX_PATH);
        GetSystemDirectoryA(system, MAX_PATH);
        return CharUpperA(path) == std::string(CharUpperA(system)) + "\\RSTRTMGR.DLL" ? 0 : 1;
    }
    return LoadLibraryA("progress_probe.dll") != nullptr ? 1 : 0;
}

TEST_F(SetupTest, ADllBesideTheProgramIsNotLoadedOnceRestricted) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string copy = scratch + "\\tests.exe";
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(harness::WinPath(HL_PROGRESS_PROBE).c_str(), (scratch + "\\rstrtmgr.dll").c_str(), FALSE));
    // The 95 family keeps no rights a planted DLL could take: nothing is
    // loaded ahead there.
    for (const auto& [args, loaded] : {std::pair<const char*, DWORD>{"plain", 1}, {"restricted", 0},
                                       {"without-default-directories", harness::Family95() ? 1u : 0u}}) {
        harness::Process child = harness::Process::Start(copy, std::string("--scenario=LoadsTheDllBesideIt ") + args);
        ASSERT_TRUE(child.WaitExit());
        EXPECT_EQ(loaded, child.ExitCode()) << args;
    }
}

}  // namespace
