// The installed hoverlane, started the way the user starts it: from the
// shortcut that setup made. It must find its installation folder (which
// setup wrote to the registry) and its help pages.
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "files.h"
#include "harness.h"
#include "install_layout.h"
#include "setup_driver.h"

using namespace setup_test;

namespace {

const char kRecordKey[] = "Software\\HoverlaneTests";
const char kPageType[] = "HoverlaneTests.Page";
constexpr UINT kHelpCommand = 9;

// Opens .htm pages with this very test program (scenario RecordOpenedPage)
// while it lives, so that a test sees which page a program asked the shell
// to open instead of a browser appearing.
class PageRecorder {
public:
    PageRecorder() {
        saved_ = harness::ReadValue(HKEY_LOCAL_MACHINE, "Software\\Classes\\.htm", "");
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        const std::string command =
            "\"" + std::string(self) + "\" --scenario=RecordOpenedPage \"%1\"";
        harness::WriteText(HKEY_LOCAL_MACHINE,
                           (std::string("Software\\Classes\\") + kPageType + "\\shell\\open\\command").c_str(),
                           "", command);
        harness::WriteText(HKEY_LOCAL_MACHINE, "Software\\Classes\\.htm", "", kPageType);
        harness::DeleteKeyTree(HKEY_CURRENT_USER, kRecordKey);
    }
    ~PageRecorder() {
        if (saved_.found)
            harness::WriteValue(HKEY_LOCAL_MACHINE, "Software\\Classes\\.htm", "", saved_.type,
                                saved_.data.data(), static_cast<DWORD>(saved_.data.size()));
        else
            harness::DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Classes\\.htm");
        harness::DeleteKeyTree(HKEY_LOCAL_MACHINE, (std::string("Software\\Classes\\") + kPageType).c_str());
        harness::DeleteKeyTree(HKEY_CURRENT_USER, kRecordKey);
    }
    PageRecorder(const PageRecorder&) = delete;
    PageRecorder& operator=(const PageRecorder&) = delete;

    // The page opened since, or "" when none was.
    static std::string Opened() {
        const harness::RegValue value = harness::ReadValue(HKEY_CURRENT_USER, kRecordKey, "Page");
        return value.found ? std::string(value.data.c_str()) : std::string();
    }

private:
    harness::RegValue saved_;
};

std::string ModuleOfProcess(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return std::string();
    char path[MAX_PATH] = {};
    GetModuleFileNameExA(process, nullptr, path, MAX_PATH);
    CloseHandle(process);
    return path;
}

}  // namespace

HL_SCENARIO(RecordOpenedPage) {
    harness::WriteText(HKEY_CURRENT_USER, kRecordKey, "Page", args);
    return 0;
}

TEST_F(SetupTest, InstalledProgramStartsFromItsShortcutAndFindsItsHelp) {
    {
        SetupRun setup(kSetup, "");
        setup.InstallWithDefaults();
    }
    PageRecorder pages;

    // As a double-click on the shortcut in the program group would.
    ASSERT_GT(reinterpret_cast<INT_PTR>(
                  ShellExecuteA(nullptr, "open", GroupLink().c_str(), nullptr, nullptr, SW_SHOWNORMAL)),
              32);
    HWND main = harness::WaitForTopWindow("HOVERLANE", "Hoverlane");
    ASSERT_NE(nullptr, main);
    const DWORD pid = harness::WindowProcessId(main);
    EXPECT_TRUE(harness::SamePath(folder + "\\hoverlane.exe", ModuleOfProcess(pid)));
    // "/Minimized" from the shortcut: straight to the tray, no window shown.
    EXPECT_TRUE(harness::WaitUntil([&] { return !IsWindowVisible(main); }));
    // It found its installation folder: no complaint about the registry.
    EXPECT_EQ(nullptr, harness::FindTopWindow("#32770", "Alert", pid));

    PostMessageA(main, WM_COMMAND, kHelpCommand, 0);
    EXPECT_TRUE(harness::WaitUntil([] { return !PageRecorder::Opened().empty(); }));
    EXPECT_TRUE(harness::SamePath(folder + "\\help\\help.htm", PageRecorder::Opened()))
        << PageRecorder::Opened();
    EXPECT_EQ(nullptr, harness::FindTopWindow("#32770", "Error", pid));
}
