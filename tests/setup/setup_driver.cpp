#include "setup_driver.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "install_layout.h"

namespace setup_test {

const std::string kSetup = harness::WinPath(HL_SETUP);
const std::string kHoverlane = harness::WinPath(HL_HOVERLANE);
const std::string kSetupNt = harness::WinPath(HL_SETUP_NT);
const std::string kSetup95 = harness::WinPath(HL_SETUP_95);
const std::string kHoverlaneNt = harness::WinPath(HL_HOVERLANE_NT);
const std::string kHoverlane95 = harness::WinPath(HL_HOVERLANE_95);

namespace {

const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char kScratchRoot[] = "C:\\hoverlane-setup-tests";

std::string CurrentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/' || c == '\\') c = '-';
    return name;
}

void RemoveShortcuts() {
    DeleteFileA(DesktopLink().c_str());
    DeleteFileA(StartupLink().c_str());
    harness::DeleteTree(ProgramGroup());
}

}  // namespace

SetupRun::SetupRun(const std::string& exe, const std::string& probeLog) : probeLog_(probeLog) {
    // setup inherits the variable; the probe reads it inside setup.
    SetEnvironmentVariableA("HL_PROBE_LOG", probeLog_.empty() ? nullptr : probeLog_.c_str());
    // Detached: the explorer window that setup opens outlives it.
    process_ = harness::Process::Start(exe, "", true);
}

SetupRun::~SetupRun() {
    if (hook_) UnhookWindowsHookEx(hook_);
    process_.Terminate();
    if (probe_) FreeLibrary(probe_);
    // A completed run opened the program group as its last step; the window
    // may come up only after setup has ended.
    if (process_.ExitCode() == 0 && harness::FileExists(HelpLink())) CloseProgramGroupWindows(true);
}

HWND SetupRun::WaitForAgreement() {
    HWND agreement = harness::WaitForDialog(kAgreementCaption, process_.id());
    if (agreement && !probeLog_.empty() && !hook_) {
        probe_ = LoadLibraryA(harness::WinPath(HL_PROGRESS_PROBE).c_str());
        FARPROC found = probe_ ? GetProcAddress(probe_, "ProbeCallWndProc") : nullptr;
        auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(found));
        if (proc)
            hook_ = SetWindowsHookExA(WH_CALLWNDPROC, proc, probe_,
                                      GetWindowThreadProcessId(agreement, nullptr));
        EXPECT_NE(nullptr, hook_) << "progress probe not hooked";
    }
    return agreement;
}

HWND SetupRun::Accept() {
    HWND agreement = WaitForAgreement();
    if (!agreement) return nullptr;
    harness::ClickButton(agreement, IDOK);
    return harness::WaitForDialog(kOptionsCaption, process_.id());
}

void SetupRun::Install(HWND options) {
    harness::ClickButton(options, IDOK);
}

void SetupRun::InstallWithDefaults() {
    HWND options = Accept();
    ASSERT_NE(nullptr, options);
    Install(options);
    ASSERT_TRUE(EndsWithCodeZero());
}

bool SetupRun::EndsWithCode(DWORD code) {
    return process_.WaitExit() && process_.ExitCode() == code;
}

std::vector<ProgressLine> SetupRun::ProgressLog() const {
    std::vector<ProgressLine> lines;
    const harness::FileBytes bytes = harness::ReadFileBytes(probeLog_);
    size_t start = 0;
    while (start < bytes.bytes.size()) {
        size_t end = bytes.bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.bytes.size();
        const std::string line = bytes.bytes.substr(start, end - start);
        start = end + 1;
        const size_t first = line.find('|');
        const size_t second = first == std::string::npos ? first : line.find('|', first + 1);
        if (second == std::string::npos) continue;
        ProgressLine entry;
        entry.kind = line.substr(0, first);
        entry.position = std::atoi(line.substr(first + 1, second - first - 1).c_str());
        entry.text = line.substr(second + 1);
        lines.push_back(entry);
    }
    return lines;
}

std::string DesktopLink() {
    return harness::SpecialFolderPath(CSIDL_DESKTOP) + "\\" + kAppShortcut;
}

std::string StartupLink() {
    return harness::SpecialFolderPath(CSIDL_STARTUP) + "\\" + kAppShortcut;
}

std::string ProgramGroup() {
    return harness::SpecialFolderPath(CSIDL_PROGRAMS) + "\\" + kProgramGroup;
}

std::string GroupLink() {
    return ProgramGroup() + "\\" + kAppShortcut;
}

std::string HelpLink() {
    return ProgramGroup() + "\\" + kHelpShortcut;
}

std::vector<HWND> ProgramGroupWindows() {
    std::vector<HWND> found;
    for (HWND window : harness::TopWindows(nullptr)) {
        char name[MAX_PATH] = {};
        GetClassNameA(window, name, MAX_PATH);
        // Wine's explorer names its window after the folder it shows.
        if (IsWindowVisible(window) && harness::WindowText(window) == kProgramGroup &&
            lstrcmpiA(name, "HOVERLANE") != 0 && lstrcmpiA(name, "#32770") != 0)
            found.push_back(window);
    }
    return found;
}

void CloseProgramGroupWindows(bool waitForOne) {
    if (waitForOne) harness::WaitUntil([] { return !ProgramGroupWindows().empty(); });
    const DWORD desktopProcess = harness::WindowProcessId(GetDesktopWindow());
    for (HWND window : ProgramGroupWindows()) {
        const DWORD pid = harness::WindowProcessId(window);
        HANDLE process = pid != desktopProcess
                             ? OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid)
                             : nullptr;
        PostMessageA(window, WM_CLOSE, 0, 0);
        // The explorer started for the folder ends with its window; one that
        // lingers is ended here, so that nothing outlives the test.
        if (process) {
            if (!harness::WaitUntil([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; },
                                    10000))
                TerminateProcess(process, 0);
            CloseHandle(process);
        }
    }
    harness::WaitUntil([] { return ProgramGroupWindows().empty(); });
}

void SetupTest::SetUp() {
    ProductTest::SetUp();
    CreateDirectoryA(kScratchRoot, nullptr);
    scratch = std::string(kScratchRoot) + "\\" + CurrentTestName();
    harness::DeleteTree(scratch);
    ASSERT_TRUE(CreateDirectoryA(scratch.c_str(), nullptr));
    probeLog = scratch + "\\probe.log";
    // A folder that does not exist yet, with a blank and an underscore in
    // its name: setup makes the missing levels and keeps the name as it is.
    const std::string programFiles = scratch + "\\My Apps_1";
    folder = programFiles + "\\Hoverlane";
    savedProgramFiles_ = harness::ReadValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir");
    harness::WriteText(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", programFiles);
    RemoveShortcuts();
}

void SetupTest::TearDown() {
    CloseProgramGroupWindows(false);
    ProductTest::TearDown();
    if (savedProgramFiles_.found)
        harness::WriteValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir",
                            savedProgramFiles_.type, savedProgramFiles_.data.data(),
                            static_cast<DWORD>(savedProgramFiles_.data.size()));
    else
        SHDeleteValueA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir");
    RemoveShortcuts();
    harness::ResetProductRegistry();
    harness::DeleteTree(scratch);
    RemoveDirectoryA(kScratchRoot);  // only when no other test left anything
}

std::string PayloadSource(const std::string& installedName, const std::string& hoverlaneExe) {
    if (harness::SamePath(installedName, kProgramFile)) return hoverlaneExe;
    return harness::WinPath(HL_SETUP_PAYLOAD_DIR) + "\\" + installedName;
}

std::vector<PayloadFile> PayloadInInstallOrder() {
    std::vector<PayloadFile> files;
    for (const char* name : kInstalledFiles) {
        PayloadFile file{name, name};
        CharUpperBuffA(&file.resource[0], static_cast<DWORD>(file.resource.size()));
        for (char& c : file.resource)
            if (c == ' ') c = '_';
        CharLowerBuffA(&file.installed[0], static_cast<DWORD>(file.installed.size()));
        files.push_back(file);
    }
    std::sort(files.begin(), files.end(),
              [](const PayloadFile& a, const PayloadFile& b) { return a.resource < b.resource; });
    return files;
}

std::string PlaceOldHelpPage(const std::string& folder) {
    SHCreateDirectoryExA(nullptr, (folder + "\\help").c_str(), nullptr);
    const std::string page = folder + "\\help\\help.htm";
    EXPECT_TRUE(harness::WriteFileBytes(page, "old"));
    return page;
}

}  // namespace setup_test
