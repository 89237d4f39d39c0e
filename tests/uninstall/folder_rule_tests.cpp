// The rules that keep an untrusted command line from deleting anything but
// the named installation: which texts may name one, and which file names
// stay inside it.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "folder_security.h"
#include "random.h"
#include "restart_delete.h"
#include "uninstaller.h"

namespace {

TEST(FolderRules, RootsNameNoInstallation) {
    for (const char* text : {"\\", "/", "C:\\", "c:/", "C:\\\\", "C:\\Program Files\\..\\",
                             "C:\\windows\\..", "C:\\.\\", "C:\\windows\\system32\\..\\..\\..\\",
                             "\\\\server\\share\\", "\\\\server\\share", "\\\\server\\share\\sub\\..\\"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(IsAcceptableFolderText(text));
    }
    EXPECT_TRUE(IsRootPath("C:\\"));
    EXPECT_TRUE(IsRootPath("\\\\server\\share\\"));
    EXPECT_FALSE(IsRootPath("C:\\Hoverlane\\"));
    EXPECT_FALSE(IsRootPath("\\\\server\\share\\Hoverlane"));
}

TEST(FolderRules, RelativeQuotedAndDevicePathsNameNoInstallation) {
    for (const char* text : {"", " ", "Hoverlane\\", ".\\", "..\\", "C:Hoverlane\\", "\\Hoverlane\\",
                             "\"C:\\Program Files\\Hoverlane\\\"", "\\\\?\\C:\\Hoverlane\\",
                             "\\\\.\\C:\\", "\\\\.\\PhysicalDrive0\\", "\\\\\\", "::\\"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(IsAcceptableFolderText(text));
    }
}

TEST(FolderRules, OrdinaryFoldersMayNameAnInstallation) {
    for (const char* text : {"C:\\Program Files\\Hoverlane\\", "c:/program files/hoverlane/",
                             "D:\\Tools\\Hoverlane\\", "\\\\server\\share\\Hoverlane\\",
                             "C:\\Program Files\\Hoverlane", "C:\\a\\..\\b\\"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(IsAcceptableFolderText(text));
    }
}

TEST(FolderRules, TextMustFitAPathBuffer) {
    const std::string fits = "C:\\" + std::string(255, 'h') + "\\";  // 259 characters
    ASSERT_EQ(259u, fits.size());
    EXPECT_TRUE(IsAcceptableFolderText(fits));
    EXPECT_FALSE(IsAcceptableFolderText("C:\\" + std::string(256, 'h') + "\\"));
    EXPECT_FALSE(IsAcceptableFolderText("C:\\" + std::string(40000, 'h') + "\\"));
}

TEST(FolderRules, InstalledNamesMustStayInsideTheFolder) {
    const std::string folder = "C:\\Program Files\\Hoverlane\\";
    EXPECT_TRUE(LiesInside(folder, folder + "license.txt"));
    EXPECT_TRUE(LiesInside(folder, folder + "Help\\Images\\Tree View.jpg"));
    EXPECT_TRUE(LiesInside("c:/program files/hoverlane/", "C:\\PROGRAM FILES\\HOVERLANE\\Help\\Help.htm"));
    // Joined without a separator the name lands beside the folder.
    EXPECT_FALSE(LiesInside("C:\\Program Files\\Hoverlane", "C:\\Program Files\\Hoverlanelicense.txt"));
    EXPECT_FALSE(LiesInside(folder, folder + "..\\license.txt"));
    EXPECT_FALSE(LiesInside(folder, "C:\\Program Files\\Hoverlane2\\license.txt"));
    EXPECT_FALSE(LiesInside(folder, folder));
    EXPECT_FALSE(LiesInside("", "license.txt"));
}

// Setup takes the recorded folder again in whatever form a script names it.
TEST(FolderRules, OneFolderInAnyLetterCaseOrForm) {
    EXPECT_TRUE(SameFolder("C:\\Program Files\\Hoverlane", "c:/PROGRAM FILES/hoverlane\\"));
    EXPECT_TRUE(SameFolder("C:\\Apps\\..\\Hoverlane\\", "C:\\Hoverlane"));
    EXPECT_FALSE(SameFolder("C:\\Program Files\\Hoverlane", "C:\\Program Files\\Hoverlane2"));
    EXPECT_FALSE(SameFolder("", ""));
}

// Only the copy that hoverlane made has itself and its folder deleted at the
// next restart; the built or installed uninstaller never.
TEST(FolderRules, OnlyTheLaunchersCopyIsScheduledForRemoval) {
    const std::pair<const char*, bool> cases[] = {
        {"C:\\Temp\\hoverlane_uninst-0A1B2C3D\\hoverlane_uninst.exe", true},
        {"C:\\TEMP\\HOVERLANE_UNINST-0A1B2C3D\\HOVERLANE_UNINST.EXE", true},
        {"C:\\Temp\\hoverlane_uninst.exe", false},
        {"C:\\Temp\\hoverlane_uninst-\\hoverlane_uninst.exe", false},
        {"C:\\Temp\\hoverlane_uninst-0A1B2C3D\\setup.exe", false},
        {"Z:\\build\\x64\\uninstall\\hoverlane_uninst.exe", false},
        {"hoverlane_uninst.exe", false},
        {"", false},
    };
    for (const auto& [path, copy] : cases) EXPECT_EQ(copy, IsLauncherCopy(path)) << path;
}

TEST(FolderRules, PlainFolderOrSwitchesWithTheFolderLast) {
    const struct {
        const char* line;
        bool silent;
        const char* folder;
        const char* log;
        const char* unknown;
    } cases[] = {
        {"C:\\Apps\\Hoverlane\\", false, "C:\\Apps\\Hoverlane\\", "", ""},
        {"/S /D=C:\\Apps\\Hoverlane\\", true, "C:\\Apps\\Hoverlane\\", "", ""},
        {"/s /LOG=\"C:\\a b.txt\" /d=", true, "", "C:\\a b.txt", ""},
        {"/LOG=C:\\l.txt /D=C:\\H\\", false, "C:\\H\\", "C:\\l.txt", ""},
        {"/S /X /D=C:\\H\\", true, "C:\\H\\", "", "/X"},
        // No switch first: the whole line is the folder, as it always was.
        {"/Silent C:\\", false, "/Silent C:\\", "", ""},
        {"\\\\server\\share\\H\\", false, "\\\\server\\share\\H\\", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const UninstallCommand command = ParseUninstallCommand(c.line);
        EXPECT_EQ(c.silent, command.silent);
        EXPECT_EQ(c.folder, command.folder);
        EXPECT_EQ(c.log, command.log);
        EXPECT_EQ(c.unknown, command.unknown);
    }
}

TEST(FolderRules, EachRefusedFolderHasItsOwnExitCode) {
    const char windows[] = "C:\\windows";
    const std::pair<const char*, int> cases[] = {
        {"C:\\Program Files\\Hoverlane", 0},
        {"D:\\Tools\\Hoverlane\\", 0},
        {"C:\\windowsX\\Hoverlane", 0},
        {"Hoverlane", 5},
        {"C:Hoverlane", 5},
        {"", 5},
        {"C:\\", 6},
        {"\\\\server\\share", 6},
        {"\\\\server\\share\\Hoverlane", 0},
        {"C:\\Windows", 7},
        {"c:/windows/system32/Hoverlane", 7},
        {"C:\\Program Files\\..\\Windows\\Hoverlane", 7},
    };
    for (const auto& [folder, code] : cases)
        EXPECT_EQ(code, ExitCodeOf(JudgeInstallFolder(folder, windows))) << folder;
}

// The access lists, as the tests cannot read them back under Wine.
TEST(FolderRules, ProtectedFoldersLetOnlyAdministratorsWrite) {
    const std::string user = "S-1-5-21-1-2-3-1001";
    EXPECT_EQ("D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;S-1-5-21-1-2-3-1001)",
              CopyFolderWhileWritten(user));
    EXPECT_EQ("D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFXSD;;;S-1-5-21-1-2-3-1001)"
              "(A;OICI;FRFX;;;S-1-3-4)",
              CopyFolderProtected(user));
    EXPECT_EQ("D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)(A;OICI;FRFX;;;S-1-3-4)",
              InstallFolderProtected());
}

// The copy's folder needs a name nobody can predict, also where the system
// has no random source (the 95 family) or it fails.
BOOLEAN WINAPI FailingSource(PVOID, ULONG) {
    return FALSE;
}

TEST(FolderRules, TheCopysFolderNameIsUnpredictableWithoutTheSystemsSource) {
    for (RandomSourceFunction source : {static_cast<RandomSourceFunction>(nullptr), &FailingSource}) {
        const DWORD first = RandomNumberFrom(source);
        Sleep(20);
        EXPECT_NE(first, RandomNumberFrom(source));
        EXPECT_NE(0u, first);
    }
}

// wininit.ini names a file once, however often it is asked for.
TEST(FolderRules, WininitDeletesEachFileOnce) {
    const std::vector<std::string> lines = {"C:\\NEW.EXE=C:\\OLD.EXE", "NUL=C:\\TEMP\\A.EXE"};
    EXPECT_EQ((std::vector<std::string>{"C:\\NEW.EXE=C:\\OLD.EXE", "NUL=C:\\TEMP\\A.EXE", "NUL=C:\\B.EXE"}),
              RenameLinesWith(lines, "C:\\B.EXE"));
    EXPECT_EQ(lines, RenameLinesWith(lines, "c:\\temp\\a.exe"));
    // Taken back for a file setup writes anew; another program's stay.
    EXPECT_EQ((std::vector<std::string>{"C:\\NEW.EXE=C:\\OLD.EXE"}), RenameLinesWithout(lines, {"c:\\temp\\a.exe"}));
}

// The session manager's list: pairs of a source and a target (empty: delete).
TEST(FolderRules, APendingDeletionOfAFileWrittenAnewIsTakenBack) {
    const std::vector<std::wstring> pending = {L"\\??\\C:\\Apps\\Hoverlane\\hoverlane.exe", L"",
                                               L"\\??\\C:\\Apps\\Hoverlane\\license.txt", L"!\\??\\C:\\x.txt",
                                               L"\\??\\C:\\Other\\hoverlane.exe", L""};
    EXPECT_EQ((std::vector<std::wstring>(pending.begin() + 2, pending.end())),
              PendingOperationsWithout(pending, {"c:\\apps\\HOVERLANE\\Hoverlane.exe", "C:\\Apps\\Hoverlane\\license.txt"}));
    EXPECT_EQ(pending, PendingOperationsWithout(pending, {"C:\\Apps\\hoverlane.exe"}));
}

TEST(FolderRules, FullPathResolvesDotsAndSlashes) {
    EXPECT_EQ("C:\\", FullPathOf("C:\\Program Files\\.."));
    EXPECT_EQ("C:\\Program Files\\Hoverlane\\", FullPathOf("C:/Program Files/./Hoverlane/"));
    EXPECT_EQ("", FullPathOf(""));
}

}  // namespace
