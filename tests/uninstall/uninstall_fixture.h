// Shared by the uninstaller's tests: a clean machine before and after each
// test, the uninstaller's texts, and running it through its boxes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture.h"
#include "harness.h"
#include "installation.h"

namespace uninstall_test {

const char kQuestion[] = "Alert: Are you sure you want to Uninstall Hoverlane?";
const char kUninstalledBefore[] = "Alert: This program has been Uninstalled before";
const char kFilesLeft[] =
    "Alert: There are some files that could not be deleted;\nyou have to manually delete them";
const char kCompleted[] = "Uninstall: Uninstall Completed Successfully";

inline std::string Describe(const harness::Box& box) {
    return box.window ? box.caption + ": " + box.text : "<no box>";
}

// The built uninstaller, started directly with args as its command line.
inline harness::Process StartUninstaller(const std::string& args,
                                         const std::string& workingDir = "") {
    return harness::Process::Start(harness::WinPath(HL_UNINSTALLER), args, false, workingDir);
}

// Answers the uninstaller's question with answer, then every later box with
// OK until the program ends. Returns every box, the question included, as
// "caption: text".
inline std::vector<std::string> RunThroughBoxes(harness::Process& uninstaller, int answer) {
    std::vector<std::string> seen;
    seen.push_back(Describe(harness::AnswerNextBox(uninstaller.id(), answer)));
    for (;;) {
        HWND box = nullptr;
        harness::WaitUntil([&] {
            for (HWND w : harness::TopWindows("#32770", uninstaller.id()))
                if (IsWindowVisible(w)) box = w;
            return box != nullptr || !uninstaller.Running();
        });
        if (!box) break;
        seen.push_back(Describe(harness::AnswerNextBox(uninstaller.id(), IDOK)));
    }
    return seen;
}

inline std::vector<std::string> Boxes(std::initializer_list<const char*> texts) {
    return std::vector<std::string>(texts.begin(), texts.end());
}

// Whether Windows deletes the file at its next start: the NT family names
// it in PendingFileRenameOperations, the 95 family by its short name in
// wininit.ini.
inline bool PendingDeletion(std::string path, bool throughWininit = harness::Family95()) {
    std::string pending;
    if (throughWininit) {
        char shortName[MAX_PATH] = {};
        if (!GetShortPathNameA(path.c_str(), shortName, MAX_PATH)) return false;
        path = std::string("NUL=") + shortName + '\0';
        std::vector<char> lines(32768);
        pending.assign(lines.data(), GetPrivateProfileSectionA("rename", lines.data(), 32768, "wininit.ini"));
    } else {
        pending = harness::ReadValue(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                                     "PendingFileRenameOperations")
                      .data;
        path += std::string(2, '\0');
    }
    for (std::string* text : {&pending, &path}) CharUpperBuffA(&(*text)[0], static_cast<DWORD>(text->size()));
    return pending.find(path) != std::string::npos;
}

// Nothing of the installation is left: files, folders, shortcuts, the
// program group, the keys in both hives.
inline void ExpectNothingLeft(const std::string& folder = install::kFolder) {
    EXPECT_TRUE(install::PresentFiles(folder).empty());
    EXPECT_FALSE(harness::FolderExists(folder + "\\help\\images"));
    EXPECT_FALSE(harness::FolderExists(folder + "\\help"));
    EXPECT_FALSE(harness::FolderExists(folder));
    EXPECT_TRUE(install::PresentShortcuts().empty());
    EXPECT_FALSE(harness::FolderExists(install::ProgramGroup()));
    EXPECT_EQ(0, install::PresentRegistryParts());
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        EXPECT_FALSE(harness::KeyExists(root, kMakerKey));
    EXPECT_FALSE(harness::KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey));
    EXPECT_FALSE(harness::KeyExists(HKEY_LOCAL_MACHINE, kAppPathKey));
}

// Files at the root of drive C: that share names with installed ones.
class DriveRootFiles {
public:
    DriveRootFiles() {
        createdHelp_ = CreateDirectoryA("C:\\Help", nullptr) != FALSE;
        harness::WriteFileBytes(kLicense, "the user's licence");
        harness::WriteFileBytes(kHelpPage, "the user's help");
    }
    ~DriveRootFiles() {
        DeleteFileA(kLicense);
        DeleteFileA(kHelpPage);
        if (createdHelp_) RemoveDirectoryA("C:\\Help");
    }
    bool Intact() const {
        return harness::ReadFileBytes(kLicense).bytes == "the user's licence" &&
               harness::ReadFileBytes(kHelpPage).bytes == "the user's help";
    }

private:
    static constexpr const char* kLicense = "C:\\license.txt";
    static constexpr const char* kHelpPage = "C:\\Help\\Help.htm";
    bool createdHelp_ = false;
};

// And no installation, shortcut or product key before and after each test.
class UninstallTest : public ProductTest {
protected:
    void SetUp() override {
        ProductTest::SetUp();
        install::RemoveLeftovers();
    }
    void TearDown() override {
        ProductTest::TearDown();
        install::RemoveLeftovers();
    }
};

}  // namespace uninstall_test
