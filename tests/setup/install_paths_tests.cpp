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

TEST(SetupCommandLine, SilentWordAndTheFolderAsTheLastArgument) {
    const struct {
        const char* line;
        bool silent;
        const char* folder;
    } cases[] = {
        {"", false, ""},
        {"/S", true, ""},
        {"  /S  ", true, ""},
        {"/S /D=C:\\My Apps\\Hoverlane", true, "C:\\My Apps\\Hoverlane"},
        {"/D=D:\\Tools /S", false, "D:\\Tools /S"},  // /D= takes the rest of the line
        {"/s", false, ""},
        {"/SS /Silent x/S", false, ""},
        {"/D=", false, ""},
    };
    for (const auto& c : cases) {
        const SetupCommand command = ParseSetupCommand(c.line);
        EXPECT_EQ(c.silent, command.silent) << c.line;
        EXPECT_EQ(c.folder, command.folder) << c.line;
    }
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
    // A network path stops at the server name, which is no folder.
    EXPECT_EQ((Strings{"\\", "\\\\server", "\\\\server\\share", "\\\\server\\share\\folder"}),
              DirectoryPrefixes("\\\\server\\share\\folder"));
    EXPECT_TRUE(DirectoryPrefixes("").empty());
    EXPECT_TRUE(DirectoryPrefixes("\\").empty());
}

TEST(FolderPrefixes, FolderOfAFileIsNeverCut) {
    EXPECT_EQ("C:\\Tools\\Hoverlane\\help", FolderOfFile("C:\\Tools\\Hoverlane\\help\\help.htm"));
    const std::string deep = "C:\\" + std::string(300, 'x');
    EXPECT_EQ(deep, FolderOfFile(deep + "\\license.txt"));
}
