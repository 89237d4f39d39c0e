// The rules that keep an untrusted command line from deleting anything but
// the named installation: which texts may name one, and which file names
// stay inside it.
#include <gtest/gtest.h>

#include <string>
#include <utility>

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

TEST(FolderRules, SilentWordComesFirstAndTheFolderAfterIt) {
    const struct {
        const char* line;
        bool silent;
        const char* folder;
    } cases[] = {
        {"C:\\Apps\\Hoverlane\\", false, "C:\\Apps\\Hoverlane\\"},
        {"/S C:\\Apps\\Hoverlane\\", true, "C:\\Apps\\Hoverlane\\"},
        {"/S ", true, ""},
        {"/S", false, "/S"},  // no folder can start so: a folder text, not a word
        {"/s C:\\", false, "/s C:\\"},
    };
    for (const auto& c : cases) {
        const UninstallCommand command = ParseUninstallCommand(c.line);
        EXPECT_EQ(c.silent, command.silent) << c.line;
        EXPECT_EQ(c.folder, command.folder) << c.line;
    }
}

TEST(FolderRules, FullPathResolvesDotsAndSlashes) {
    EXPECT_EQ("C:\\", FullPathOf("C:\\Program Files\\.."));
    EXPECT_EQ("C:\\Program Files\\Hoverlane\\", FullPathOf("C:/Program Files/./Hoverlane/"));
    EXPECT_EQ("", FullPathOf(""));
}

}  // namespace
