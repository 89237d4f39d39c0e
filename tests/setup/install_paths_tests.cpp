// The installer's text rules on their own, and the payload of the built
// setup programs against the list of installed files that the uninstaller
// shares.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "files.h"
#include "harness.h"
#include "install_layout.h"
#include "install_paths.h"
#include "payload.h"
#include "switches.h"

namespace {

using Strings = std::vector<std::string>;

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A named function: a lambda has the wrong calling convention on i686.
BOOL CALLBACK AddPayloadName(HMODULE, LPCSTR, LPSTR name, LONG_PTR context) {
    reinterpret_cast<Strings*>(context)->push_back(IS_INTRESOURCE(name) ? "#id" : name);
    return TRUE;
}

Strings PayloadNames(const std::string& setupExe) {
    Strings names;
    HMODULE module = LoadLibraryExA(setupExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return names;
    EnumResourceNamesA(module, kPayloadType, AddPayloadName, reinterpret_cast<LONG_PTR>(&names));
    FreeLibrary(module);
    return names;
}

}  // namespace

TEST(ProductFolderRule, AppendsTheProductFolderToAnyOtherPick) {
    EXPECT_EQ("C:\\Tools\\Hoverlane", WithProductFolder("C:\\Tools"));
    EXPECT_EQ("D:\\My Apps_1\\Hoverlane", WithProductFolder("D:\\My Apps_1"));
    EXPECT_EQ("C:\\Hover\\Hoverlane", WithProductFolder("C:\\Hover"));
    EXPECT_EQ("Hover\\Hoverlane", WithProductFolder("Hover"));
    EXPECT_EQ("C:\\Hoverlane2\\Hoverlane", WithProductFolder("C:\\Hoverlane2"));
}

TEST(ProductFolderRule, KeepsAPickThatEndsWithTheProductName) {
    EXPECT_EQ("C:\\Tools\\HOVERLANE", WithProductFolder("C:\\Tools\\HOVERLANE"));
    EXPECT_EQ("D:\\Apps\\hoverlane", WithProductFolder("D:\\Apps\\hoverlane"));
    // The last nine characters decide, not the last folder's whole name.
    EXPECT_EQ("C:\\MyHoverlane", WithProductFolder("C:\\MyHoverlane"));
    EXPECT_EQ("Hoverlane", WithProductFolder("Hoverlane"));
}

TEST(ProductFolderRule, DriveRootGetsNoDoubledSeparator) {
    EXPECT_EQ("C:\\Hoverlane", WithProductFolder("C:\\"));
    EXPECT_EQ("\\\\server\\share\\Hoverlane", WithProductFolder("\\\\server\\share\\"));
}

TEST(ProposedFolder, ProgramsFolderOrElseTheSystemDrivesRoot) {
    const struct {
        const char* programFiles;
        const char* windows;
        const char* proposed;
    } cases[] = {
        {"C:\\Program Files", "C:\\WINDOWS", "C:\\Program Files\\Hoverlane"},
        {"\\\\server\\apps", "C:\\WINDOWS", "\\\\server\\apps\\Hoverlane"},
        {"", "D:\\WINNT", "D:\\Hoverlane"},
        // Relative to whatever is current: never proposed.
        {"Program Files", "E:\\Windows", "E:\\Hoverlane"},
        {"\\Program Files", "C:\\Windows", "C:\\Hoverlane"},
        {"", "", "C:\\Hoverlane"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.proposed, ProposedInstallFolder(c.programFiles, c.windows)) << c.programFiles;
}

TEST(SetupCommandLine, SwitchesAsScriptsWriteThem) {
    const unsigned setupSwitches = kSwitchSilent | kSwitchFolder | kSwitchLog | kSwitchAllUsers |
                                   kSwitchNoDesktopShortcut | kSwitchNoStartMenuShortcut |
                                   kSwitchNoStartupShortcut | kSwitchNoStartMinimized;
    const struct {
        const char* line;
        unsigned given;
        const char* folder;
        const char* log;
        const char* unknown;
    } cases[] = {
        {"", 0, "", "", ""},
        {"  /s  ", kSwitchSilent, "", "", ""},
        {"/S /D=C:\\My Apps\\Hoverlane  ", kSwitchSilent | kSwitchFolder, "C:\\My Apps\\Hoverlane", "", ""},
        // /D= takes the rest of the line.
        {"/d=D:\\Tools /S", kSwitchFolder, "D:\\Tools /S", "", ""},
        {"/AllUsers /LOG=\"C:\\a b\\log.txt\" /S", kSwitchSilent | kSwitchLog | kSwitchAllUsers, "",
         "C:\\a b\\log.txt", ""},
        {"/log=C:\\log.txt", kSwitchLog, "", "C:\\log.txt", ""},
        // Words that are not switches, or a switch without its value.
        {"/SS /S", kSwitchSilent, "", "", "/SS"},
        {"/S /Silent", kSwitchSilent, "", "", "/Silent"},
        {"/LOG= /S", kSwitchSilent | kSwitchLog, "", "", "/LOG="},
        {"/Uninstall", 0, "", "", "/Uninstall"},
        // What a person may leave out in the dialog.
        {"/s /nodesktopshortcut /NOSTARTMENUSHORTCUT", kSwitchSilent | kSwitchNoDesktopShortcut |
         kSwitchNoStartMenuShortcut, "", "", ""},
        {"/NoStartupShortcut /NoStartMinimized", kSwitchNoStartupShortcut | kSwitchNoStartMinimized, "", "", ""},
        {"/NoDesktop", 0, "", "", "/NoDesktop"},
    };
    // What the code page lacks is marked, never written as a look-alike
    // letter (the system's own conversion makes "Lodz" of "\u0141\u00F3d\u017A").
    BOOL lacks = FALSE;
    const wchar_t polish[] = L"C:\\\x0141\x00F3" L"d\x017A";
    char narrow[MAX_PATH];
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, polish, -1, narrow, MAX_PATH, "?", &lacks);
    EXPECT_EQ(lacks != FALSE, InCodePage(polish).find('?') != std::string::npos) << InCodePage(polish);
    EXPECT_EQ("C:\\Tools", InCodePage(L"C:\\Tools"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Switches read = ReadSwitches(c.line, setupSwitches);
        EXPECT_EQ(c.given, read.given);
        EXPECT_EQ(c.folder, read.folder);
        EXPECT_EQ(c.log, read.log);
        EXPECT_EQ(c.unknown, read.unknown);
    }
}

// Program Files keeps its own rights; a folder anywhere else gets a
// protected list. Setup run as SYSTEM makes shortcuts every user sees.
TEST(SetupCommandLine, WhereRightsAndShortcutsGo) {
    const std::vector<std::string> programs = {"C:\\Program Files", "", "C:\\Program Files (x86)"};
    EXPECT_TRUE(InsideProgramsFolder("c:\\program files\\Hoverlane", programs));
    EXPECT_TRUE(InsideProgramsFolder("C:\\Program Files (x86)\\Tools\\Hoverlane", programs));
    EXPECT_FALSE(InsideProgramsFolder("C:\\Program Files2\\Hoverlane", programs));
    EXPECT_FALSE(InsideProgramsFolder("D:\\Tools\\Hoverlane", programs));
    EXPECT_FALSE(InsideProgramsFolder("C:\\Program Files\\..\\Hoverlane", programs));
    EXPECT_TRUE(ShortcutsForAllUsers(false, "S-1-5-18"));
    EXPECT_TRUE(ShortcutsForAllUsers(true, "S-1-5-21-1-2-3-1001"));
    EXPECT_FALSE(ShortcutsForAllUsers(false, "S-1-5-21-1-2-3-1001"));
    EXPECT_FALSE(ShortcutsForAllUsers(false, ""));
}

TEST(InstalledNames, ResourceNamesTurnIntoLowerCasePathsWithBlanks) {
    EXPECT_EQ("help\\images\\automatic monitoring.jpg",
              InstalledRelativePath("HELP\\IMAGES\\AUTOMATIC_MONITORING.JPG"));
    EXPECT_EQ("hoverlane.exe", InstalledRelativePath("HOVERLANE.EXE"));
    EXPECT_EQ("license.txt", InstalledRelativePath("LICENSE.TXT"));
    EXPECT_EQ("a  b", InstalledRelativePath("A__B"));
    EXPECT_EQ("", InstalledRelativePath(""));
}

TEST(InstalledNames, EachSetupCarriesExactlyTheSharedListOfFiles) {
    std::set<std::string> shared;
    for (const char* name : kInstalledFiles) shared.insert(Lower(name));
    ASSERT_EQ(static_cast<size_t>(kInstalledFileCount), shared.size());

    for (const char* exe : {HL_SETUP_NT, HL_SETUP_95}) {
        SCOPED_TRACE(exe);
        const Strings names = PayloadNames(harness::WinPath(exe));
        ASSERT_EQ(static_cast<size_t>(kInstalledFileCount), names.size());
        std::set<std::string> installed;
        for (const std::string& name : names) installed.insert(InstalledRelativePath(name));
        EXPECT_EQ(shared, installed);
    }
}

TEST(FolderPrefixes, EveryLevelFromTheDriveDown) {
    EXPECT_EQ((Strings{"C:", "C:\\Program Files", "C:\\Program Files\\Hoverlane",
                       "C:\\Program Files\\Hoverlane\\help", "C:\\Program Files\\Hoverlane\\help\\images"}),
              DirectoryPrefixes("C:\\Program Files\\Hoverlane\\help\\images"));
    // A trailing backslash adds no empty level.
    EXPECT_EQ((Strings{"C:", "C:\\Tools"}), DirectoryPrefixes("C:\\Tools\\"));
}

TEST(FolderPrefixes, LeadingBackslashIsNoSplitPoint) {
    EXPECT_EQ((Strings{"\\Hoverlane", "\\Hoverlane\\help"}), DirectoryPrefixes("\\Hoverlane\\help"));
    // A share is the root of a network path: its server and share are no
    // folders to make.
    EXPECT_EQ((Strings{"\\\\server\\share\\folder", "\\\\server\\share\\folder\\help"}),
              DirectoryPrefixes("\\\\server\\share\\folder\\help"));
    EXPECT_TRUE(DirectoryPrefixes("\\\\server\\share\\").empty());
    EXPECT_TRUE(DirectoryPrefixes("\\\\server").empty());
    EXPECT_TRUE(DirectoryPrefixes("").empty());
    EXPECT_TRUE(DirectoryPrefixes("\\").empty());
}

TEST(FolderPrefixes, FolderOfAFileIsNeverCut) {
    EXPECT_EQ("C:\\Tools\\Hoverlane\\help", FolderOfFile("C:\\Tools\\Hoverlane\\help\\help.htm"));
    const std::string deep = "C:\\" + std::string(300, 'x');
    EXPECT_EQ(deep, FolderOfFile(deep + "\\license.txt"));
}
