// setup as a separate process, driven through its dialogs: what it writes,
// what it shows, and what it leaves alone when the user stops it.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "files.h"
#include "harness.h"
#include "install_layout.h"
#include "installation.h"
#include "payload.h"
#include "setup.h"
#include "setup_driver.h"
#include "setup_resource.h"
#include "sync_window.h"

using namespace setup_test;

namespace {

const char kIncompatible[] = "This version of Hoverlane is not compatible with this version of Windows.";

std::string SourceOf(const std::string& installed, const std::string& hoverlane) {
    return PayloadSource(installed, hoverlane);
}

bool NothingRegistered() {
    return !harness::ReadValue(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue).found &&
           !harness::KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey) &&
           !harness::KeyExists(HKEY_LOCAL_MACHINE, kAppPathKey);
}

bool NoShortcut() {
    return !harness::FileExists(DesktopLink()) && !harness::FileExists(StartupLink()) &&
           !harness::FolderExists(ProgramGroup());
}

std::string RegText(HKEY root, const char* key, const char* value) {
    const harness::RegValue read = harness::ReadValue(root, key, value);
    if (!read.found) return "<missing>";
    if (read.type != REG_SZ) return "<type " + std::to_string(read.type) + ">";
    return read.data;
}

// Every installed file byte for byte equal to its source.
void ExpectInstalledCopies(const std::string& folder, const std::string& hoverlane) {
    for (const PayloadFile& entry : PayloadInInstallOrder()) {
        SCOPED_TRACE(entry.installed);
        const harness::FileBytes installed = harness::ReadFileBytes(folder + "\\" + entry.installed);
        const harness::FileBytes source = harness::ReadFileBytes(SourceOf(entry.installed, hoverlane));
        ASSERT_TRUE(source.found);
        ASSERT_TRUE(installed.found);
        EXPECT_TRUE(installed.bytes == source.bytes) << "installed copy differs from its source";
    }
}

void ExpectProgramLink(const std::string& link, const std::string& folder, bool minimized) {
    SCOPED_TRACE(link);
    const harness::Shortcut shortcut = harness::ReadShortcut(link);
    ASSERT_TRUE(shortcut.found);
    EXPECT_TRUE(harness::SamePath(folder + "\\Hoverlane.exe", shortcut.target)) << shortcut.target;
    EXPECT_EQ(minimized ? "/Minimized" : "", shortcut.arguments);
    EXPECT_EQ("Launch Hoverlane", shortcut.description);
}

void ExpectHelpLink(const std::string& folder) {
    const harness::Shortcut shortcut = harness::ReadShortcut(HelpLink());
    ASSERT_TRUE(shortcut.found);
    EXPECT_TRUE(harness::SamePath(folder + "\\Help\\help.htm", shortcut.target)) << shortcut.target;
    EXPECT_EQ("/Minimized", shortcut.arguments);
    EXPECT_EQ("Hoverlane Help", shortcut.description);
}

void SetCheck(HWND dialog, int id, bool on) {
    SendMessageA(GetDlgItem(dialog, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

// ---- stopping before anything is written

TEST_F(SetupTest, DecliningTheAgreementWritesNothing) {
    SetupRun setup(kSetup, "");
    HWND agreement = setup.WaitForAgreement();
    ASSERT_NE(nullptr, agreement);
    // The agreement shows the licence text that is installed as license.txt.
    const harness::FileBytes license = harness::ReadFileBytes(SourceOf("license.txt", kHoverlane));
    ASSERT_TRUE(license.found);
    EXPECT_EQ(license.bytes, harness::WindowText(GetDlgItem(agreement, IDC_AGREEMENT_TEXT)));
    EXPECT_EQ("I accept", harness::WindowText(GetDlgItem(agreement, IDOK)));
    EXPECT_EQ("I decline", harness::WindowText(GetDlgItem(agreement, IDCANCEL)));

    harness::ClickButton(agreement, IDCANCEL);
    ASSERT_TRUE(setup.EndsWithCodeZero());
    EXPECT_FALSE(harness::FolderExists(folder));
    EXPECT_TRUE(NothingRegistered());
    EXPECT_TRUE(NoShortcut());
}

TEST_F(SetupTest, CancellingTheOptionsWritesNothing) {
    SetupRun setup(kSetup, "");
    HWND options = setup.Accept();
    ASSERT_NE(nullptr, options);
    // Proposed: the programs folder plus "\Hoverlane", every option on.
    EXPECT_EQ(folder, harness::WindowText(GetDlgItem(options, IDC_INSTALL_FOLDER)));
    for (int box : {IDC_START_WITH_WINDOWS, IDC_SHORTCUT_DESKTOP, IDC_SHORTCUT_START_MENU,
                    IDC_START_MINIMIZED})
        EXPECT_TRUE(IsChecked(options, box)) << box;
    // The agreement has ended: gone from the screen.
    HWND agreement = harness::FindTopWindow("#32770", kAgreementCaption, setup.process().id());
    EXPECT_TRUE(agreement == nullptr || !IsWindowVisible(agreement));

    harness::ClickButton(options, IDCANCEL);
    ASSERT_TRUE(setup.EndsWithCodeZero());
    EXPECT_FALSE(harness::FolderExists(folder));
    EXPECT_TRUE(NothingRegistered());
    EXPECT_TRUE(NoShortcut());
}

// Not "\Hoverlane" on whatever drive is current: a full path on the
// system's drive, which the uninstaller later accepts as an installation.
TEST_F(SetupTest, WithoutProgramsFolderValueTheSystemDriveIsProposed) {
    SHDeleteValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                   "ProgramFilesDir");
    SetupRun setup(kSetup, "");
    HWND options = setup.Accept();
    ASSERT_NE(nullptr, options);
    EXPECT_EQ("C:\\Hoverlane", harness::WindowText(GetDlgItem(options, IDC_INSTALL_FOLDER)));
    harness::ClickButton(options, IDCANCEL);
    EXPECT_TRUE(setup.EndsWithCodeZero());
}

// The shell's folder picker of the options dialog, driven through its tree.
class FolderPicker {
public:
    FolderPicker(SetupRun& setup, HWND options) : options_(options) {
        harness::ClickButton(options, IDC_BROWSE);
        harness::WaitUntil([&] {
            for (HWND w : harness::TopWindows("#32770", setup.process().id()))
                if (w != options && IsWindowVisible(w)) window_ = w;
            return window_ != nullptr;
        });
        tree_ = window_ ? FindWindowExA(window_, nullptr, WC_TREEVIEWA, nullptr) : nullptr;
    }
    bool open() const { return tree_ != nullptr; }

    // Selects the item reached through these texts from the top, expanding
    // each step (the picker fills an item's children when it expands).
    bool Select(const std::vector<std::string>& texts) {
        HTREEITEM item = nullptr;
        for (const std::string& text : texts) {
            if (item) SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
            HTREEITEM next = nullptr;
            for (const harness::TreeItemInfo& child : harness::TreeChildren(tree_, item))
                if (child.text == text) next = child.item;
            if (!next) return false;
            item = next;
        }
        SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        return true;
    }
    // Ends the picker with that button; true once it is gone.
    bool Press(int button) {
        harness::ClickButton(window_, button);
        return harness::WaitUntil([&] { return !IsWindow(window_); });
    }
    std::string Shown() const { return harness::WindowText(GetDlgItem(options_, IDC_INSTALL_FOLDER)); }

private:
    HWND options_;
    HWND window_ = nullptr;
    HWND tree_ = nullptr;
};

// Opens the picker, selects the item reached through `texts` (none: leaves
// the selection alone), ends the picker with `button` and returns the folder
// the options dialog shows then.
std::string PickFolder(SetupRun& setup, HWND options, const std::vector<std::string>& texts,
                       int button) {
    FolderPicker picker(setup, options);
    if (!picker.open()) return "<no picker>";
    if (!texts.empty() && !picker.Select(texts)) return "<no item " + texts.back() + ">";
    if (!picker.Press(button)) return "<picker stays>";
    return picker.Shown();
}

TEST_F(SetupTest, FolderPickerCancelledOrLeftOnANonFolderKeepsTheFolder) {
    SetupRun setup(kSetup, "");
    HWND options = setup.Accept();
    ASSERT_NE(nullptr, options);
    EXPECT_EQ(folder, PickFolder(setup, options, {}, IDCANCEL));
    // "My Computer" has no file-system path: nothing to install into.
    EXPECT_EQ(folder, PickFolder(setup, options, {"Desktop", "My Computer"}, IDOK));
    EXPECT_TRUE(IsWindowVisible(options));
    harness::ClickButton(options, IDCANCEL);
    EXPECT_TRUE(setup.EndsWithCodeZero());
}

TEST_F(SetupTest, FolderPickerAddsTheProductFolderOnceAndSetupInstallsThere) {
    SetupRun setup(kSetup, "");
    HWND options = setup.Accept();
    ASSERT_NE(nullptr, options);
    // A drive root already ends with its separator.
    EXPECT_EQ("C:\\Hoverlane", PickFolder(setup, options, {"Desktop", "My Computer", " (C:)"}, IDOK));

    // This test's own folder, somewhere below C:.
    const std::string scratchName = scratch.substr(scratch.rfind('\\') + 1);
    const std::string picked = scratch + "\\Hoverlane";
    const std::string shown = PickFolder(
        setup, options, {"Desktop", "My Computer", " (C:)", "hoverlane-setup-tests", scratchName}, IDOK);
    EXPECT_TRUE(harness::SamePath(picked, shown)) << shown;

    setup.Install(options);
    ASSERT_TRUE(setup.EndsWithCodeZero());
    EXPECT_TRUE(harness::FileExists(picked + "\\hoverlane.exe"));
    EXPECT_TRUE(harness::SamePath(picked + '\0',
                                  RegText(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue)));
    EXPECT_FALSE(harness::FolderExists(folder));
}

// ---- complete installations

TEST_F(SetupTest, CompleteInstallationWithAllOptions) {
    SetupRun setup(kSetup, probeLog);
    setup.InstallWithDefaults();

    ExpectInstalledCopies(folder, kHoverlane);

    EXPECT_EQ(folder + '\0', RegText(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue));
    EXPECT_EQ("\"" + folder + "\\hoverlane.exe\" /Uninstall" + '\0',
              RegText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "UninstallString"));
    EXPECT_EQ(std::string("Hoverlane (Remove Only)") + '\0',
              RegText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "DisplayName"));
    EXPECT_EQ(folder + "\\hoverlane.exe" + '\0', RegText(HKEY_LOCAL_MACHINE, kAppPathKey, ""));

    ExpectProgramLink(DesktopLink(), folder, true);
    ExpectProgramLink(StartupLink(), folder, true);
    ExpectProgramLink(GroupLink(), folder, true);
    ExpectHelpLink(folder);

    // What the progress dialog showed: each file, the registry, each link in
    // the order Startup, desktop, program group; one step of 6 each.
    std::vector<ProgressLine> expected;
    int position = 0;
    for (const PayloadFile& entry : PayloadInInstallOrder()) {
        expected.push_back({"status", position, "Copying File: " + folder + "\\" + entry.installed});
        position += 6;
    }
    expected.push_back({"status", 78, "Updating the registry"});
    expected.push_back({"status", 84, "Creating Links: " + StartupLink()});
    expected.push_back({"status", 84, "Creating Links: " + DesktopLink()});
    expected.push_back({"status", 84, "Creating Links: " + GroupLink()});
    expected.push_back({"end", 90, "0..100"});
    const std::vector<ProgressLine> seen = setup.ProgressLog();
    ASSERT_EQ(expected.size(), seen.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].kind, seen[i].kind);
        EXPECT_EQ(expected[i].position, seen[i].position);
        EXPECT_EQ(expected[i].text, seen[i].text);
    }

    // The program group is opened at the end.
    EXPECT_TRUE(harness::WaitUntil([] { return !ProgramGroupWindows().empty(); }));
}

// What an administrator's script runs: no window at any time, the defaults
// installed into the folder named last, what deployment tools read in the
// uninstall entry, and the exit code.
TEST_F(SetupTest, SilentSetupInstallsTheDefaultsWithoutAWindow) {
    harness::Process setup = harness::Process::Start(kSetup, "/S /D=" + folder, true);
    bool windowShown = false;
    ASSERT_TRUE(harness::WaitUntil([&] {
        for (HWND window : harness::TopWindows(nullptr, setup.id())) windowShown |= IsWindowVisible(window) != 0;
        return !setup.Running();
    }));
    EXPECT_FALSE(windowShown);
    EXPECT_EQ(0u, setup.ExitCode());

    ExpectInstalledCopies(folder, kHoverlane);
    ExpectProgramLink(DesktopLink(), folder, true);
    ExpectProgramLink(StartupLink(), folder, true);
    ExpectHelpLink(folder);
    const std::string program = folder + "\\hoverlane.exe";
    EXPECT_EQ("\"" + program + "\" /Uninstall /S" + '\0',
              RegText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kQuietUninstallStringValue));
    EXPECT_EQ(program + '\0', RegText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kDisplayIconValue));
    EXPECT_EQ(folder + '\0', RegText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kInstallLocationValue));
    EXPECT_EQ(std::string("Vendrabyte") + '\0', RegText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kPublisherValue));
    EXPECT_EQ(std::string("1.0.0") + '\0',
              RegText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kDisplayVersionValue));
    for (const char* flag : {kNoModifyValue, kNoRepairValue})
        EXPECT_EQ(std::string("\1\0\0\0", 4), harness::ReadValue(HKEY_LOCAL_MACHINE, kUninstallEntryKey, flag).data);
    // Every installed file's size, in kilobytes begun.
    size_t bytes = 0;
    for (const PayloadFile& entry : PayloadInInstallOrder())
        bytes += harness::ReadFileBytes(folder + "\\" + entry.installed).bytes.size();
    const harness::RegValue size = harness::ReadValue(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kEstimatedSizeValue);
    ASSERT_EQ(4u, size.data.size());
    EXPECT_EQ((bytes + 1023) / 1024, *reinterpret_cast<const DWORD*>(size.data.data()));
    EXPECT_TRUE(ProgramGroupWindows().empty());
}

// The installation as a function of its options, without any dialog: the
// payload of the built setup, the registry values and the chosen shortcuts.
TEST_F(SetupTest, InstallationRunsWithoutDialogs) {
    HMODULE payload = LoadLibraryExA(kSetup.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, payload);
    InstallOptions options;
    options.folder = folder;
    options.desktopShortcut = false;
    options.startMinimized = false;
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    const InstallResult result = RunInstallation(payload, options, ProgressReporter());
    CoUninitialize();
    FreeLibrary(payload);

    ExpectInstalledCopies(folder, kHoverlane);
    EXPECT_EQ(folder + '\0', RegText(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue));
    EXPECT_EQ(std::string(kDisplayName) + '\0',
              RegText(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kDisplayNameValue));
    EXPECT_FALSE(harness::FileExists(DesktopLink()));
    ExpectProgramLink(StartupLink(), folder, false);
    ExpectProgramLink(GroupLink(), folder, false);
    ExpectHelpLink(folder);
    // The program group is named, for setup to open.
    EXPECT_TRUE(result.succeeded()) << result.text;
    EXPECT_TRUE(harness::SamePath(ProgramGroup(), result.programGroup)) << result.programGroup;
}

TEST_F(SetupTest, WithoutShortcutOptionsTheGroupAndHelpAreStillMade) {
    SetupRun setup(kSetup, "");
    HWND options = setup.Accept();
    ASSERT_NE(nullptr, options);
    for (int box : {IDC_START_WITH_WINDOWS, IDC_SHORTCUT_DESKTOP, IDC_SHORTCUT_START_MENU})
        SetCheck(options, box, false);
    setup.Install(options);
    ASSERT_TRUE(setup.EndsWithCodeZero());

    EXPECT_FALSE(harness::FileExists(DesktopLink()));
    EXPECT_FALSE(harness::FileExists(StartupLink()));
    EXPECT_FALSE(harness::FileExists(GroupLink()));
    EXPECT_TRUE(harness::FolderExists(ProgramGroup()));
    ExpectHelpLink(folder);
    EXPECT_TRUE(harness::WaitUntil([] { return !ProgramGroupWindows().empty(); }));
}

TEST_F(SetupTest, WithoutStartMinimizedNoProgramLinkHasArguments) {
    SetupRun setup(kSetup, "");
    HWND options = setup.Accept();
    ASSERT_NE(nullptr, options);
    SetCheck(options, IDC_START_MINIMIZED, false);
    setup.Install(options);
    ASSERT_TRUE(setup.EndsWithCodeZero());

    ExpectProgramLink(DesktopLink(), folder, false);
    ExpectProgramLink(StartupLink(), folder, false);
    ExpectProgramLink(GroupLink(), folder, false);
    ExpectHelpLink(folder);
}

TEST_F(SetupTest, SecondInstallationReplacesThePayloadAndKeepsTheUsersFile) {
    {
        SetupRun first(kSetup, "");
        first.InstallWithDefaults();
    }
    // The user changed two installed files and added one of his own.
    ASSERT_TRUE(harness::WriteFileBytes(folder + "\\license.txt", "changed"));
    ASSERT_TRUE(harness::WriteFileBytes(folder + "\\hoverlane.exe", "changed"));
    ASSERT_TRUE(harness::WriteFileBytes(folder + "\\help\\notes.txt", "mine"));

    SetupRun second(kSetup, "");
    second.InstallWithDefaults();
    ExpectInstalledCopies(folder, kHoverlane);
    EXPECT_EQ("mine", harness::ReadFileBytes(folder + "\\help\\notes.txt").bytes);
}

// ---- failures while extracting

// A module that carries no files to install fails before anything is
// written, instead of registering an installation without files.
TEST_F(SetupTest, AnEmptyPayloadFailsBeforeAnythingIsWritten) {
    InstallOptions options;
    options.folder = folder;
    const InstallResult result =
        RunInstallation(GetModuleHandleA("kernel32.dll"), options, ProgressReporter());
    EXPECT_EQ(InstallStep::Payload, result.failedStep);
    EXPECT_FALSE(harness::FolderExists(folder));
    EXPECT_TRUE(NothingRegistered());
    EXPECT_TRUE(NoShortcut());
}

// help.htm is the third payload file: the first two are written before
// setup stops at it.
void ExpectStopAtBlockedHelpPage(const std::string& folder, const std::string& blocked) {
    SetupRun setup(kSetup, "");
    HWND options = setup.Accept();
    ASSERT_NE(nullptr, options);
    setup.Install(options);
    EXPECT_EQ("Cannot create the file: " + blocked + " \n Setup will quit now",
              harness::AnswerBox("Error", IDOK, setup.process().id()));
    // The files step failed: setup says so in its exit code too.
    ASSERT_TRUE(setup.EndsWithCode(1));

    EXPECT_TRUE(harness::FileExists(folder + "\\help\\always in sight.htm"));
    EXPECT_TRUE(harness::FileExists(folder + "\\help\\getting started.htm"));
    EXPECT_EQ("old", harness::ReadFileBytes(blocked).bytes);
    EXPECT_FALSE(harness::FileExists(folder + "\\hoverlane.exe"));
    EXPECT_TRUE(NothingRegistered());
    EXPECT_TRUE(NoShortcut());
}

TEST_F(SetupTest, ReadOnlyTargetFileStopsSetupBeforeTheRegistry) {
    const std::string blocked = PlaceOldHelpPage(folder);
    ASSERT_TRUE(SetFileAttributesA(blocked.c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine keeps the attribute in the file's Unix permissions, which do not
    // stop the superuser; then the attribute cannot be shown to work here.
    HANDLE probe = CreateFileA(blocked.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "read-only files are writable for this user (root under Wine)";
    }
    ExpectStopAtBlockedHelpPage(folder, blocked);
}

TEST_F(SetupTest, TargetFileInUseStopsSetupBeforeTheRegistry) {
    const std::string blocked = PlaceOldHelpPage(folder);
    const harness::HeldFile held(blocked);
    ASSERT_TRUE(held.held());
    ExpectStopAtBlockedHelpPage(folder, blocked);
}

// A folder the dialog proposes that setup may not take is refused when
// Install is pressed, and the dialog stays: the Windows folder (as the
// programs folder), and one holding what is not an installation's.
TEST_F(SetupTest, AFolderSetupMayNotTakeIsRefusedInTheDialog) {
    ASSERT_TRUE(SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr) == ERROR_SUCCESS);
    ASSERT_TRUE(harness::WriteFileBytes(folder + "\\help", "not a folder"));
    const std::string windows = harness::SpecialFolderPath(CSIDL_WINDOWS);
    for (const auto& [programFiles, refused] :
         {std::pair<std::string, std::string>{"", "This folder holds what is not Hoverlane's, or is a link to "
                                                  "another folder: " + folder + "\nChoose an empty or a new folder."},
          {windows, "This folder cannot hold an installation: " + windows + "\\Hoverlane"}}) {
        if (!programFiles.empty())
            harness::WriteText(HKEY_LOCAL_MACHINE, kWindowsKey, kProgramsFolderValues[0], programFiles);
        SetupRun setup(kSetup, probeLog);
        HWND options = setup.Accept();
        ASSERT_NE(nullptr, options);
        setup.Install(options);
        HWND box = harness::WaitForDialog("Error", setup.process().id());
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(refused, harness::BoxText(box));
        EXPECT_EQ(options, GetWindow(box, GW_OWNER));
        harness::ClickButton(box, IDOK);
        ASSERT_TRUE(harness::WaitUntil([&] { return harness::FindTopWindow("#32770", "Error", setup.process().id()) == nullptr; }));
        EXPECT_TRUE(IsWindowVisible(options));
        harness::ClickButton(options, IDCANCEL);
        ASSERT_TRUE(setup.EndsWithCodeZero());
    }
    EXPECT_EQ("not a folder", harness::ReadFileBytes(folder + "\\help").bytes);
    EXPECT_FALSE(harness::FileExists(folder + "\\hoverlane.exe"));
    EXPECT_TRUE(NothingRegistered());
    EXPECT_TRUE(NoShortcut());
}

// ---- start-up

TEST_F(SetupTest, RunningHoverlaneIsClosedBeforeTheAgreementShows) {
    harness::Process app = harness::Process::Start(kHoverlane);
    ASSERT_NE(nullptr, harness::WaitForTopWindow("HOVERLANE", "Hoverlane", app.id()));

    SetupRun setup(kSetup, "");
    ASSERT_NE(nullptr, setup.WaitForAgreement());
    EXPECT_EQ(nullptr, harness::FindTopWindow("HOVERLANE"));
    EXPECT_EQ(nullptr, harness::FindTopWindow(kSyncClassName));
    EXPECT_TRUE(app.WaitExit());
    EXPECT_EQ(0u, app.ExitCode());
}

// Each family's setup goes on where Wine reports a Windows of its family
// (platform id 2 for NT, 1 for the 95 family) and refuses the other.
TEST_F(SetupTest, EachFamilyInstallsOnlyOnItsOwnPlatform) {
    struct Case {
        const std::string& setup;
        const char* version;
        bool accepted;
    };
    for (const Case& c : {Case{kSetupNt, "winxp", true}, Case{kSetupNt, "win98", false},
                          Case{kSetup95, "win98", true}, Case{kSetup95, "winxp", false}}) {
        SCOPED_TRACE(c.setup + " on " + c.version);
        harness::WineVersionFor sees("setup.exe", c.version);
        SetupRun setup(c.setup, "");
        if (c.accepted) {
            HWND agreement = setup.WaitForAgreement();
            ASSERT_NE(nullptr, agreement);
            harness::ClickButton(agreement, IDCANCEL);
        } else {
            HWND box = harness::WaitForDialog("Error", setup.process().id());
            ASSERT_NE(nullptr, box);
            EXPECT_EQ(kIncompatible, harness::BoxText(box));
            EXPECT_EQ(nullptr, harness::FindTopWindow("#32770", kAgreementCaption));
            harness::ClickButton(box, IDOK);
        }
        ASSERT_TRUE(setup.EndsWithCode(c.accepted ? 0 : kExitWrongFamily));
        EXPECT_FALSE(harness::FolderExists(folder));
        EXPECT_TRUE(NothingRegistered());
    }
}

TEST_F(SetupTest, WhereTheSystemIsOfThe95FamilyOnlyThe95VariantInstalls) {
    harness::WineVersionFor setupSees("setup.exe", "win98");
    harness::WineVersionFor hoverlaneSees("hoverlane.exe", "win98");
    {
        SetupRun nt(kSetupNt, "");
        EXPECT_EQ(kIncompatible, harness::AnswerBox("Error", IDOK, nt.process().id()));
        ASSERT_TRUE(nt.EndsWithCode(kExitWrongFamily));
        EXPECT_FALSE(harness::FolderExists(folder));
    }

    SetupRun setup(kSetup95, "");
    setup.InstallWithDefaults();
    ExpectInstalledCopies(folder, kHoverlane95);
    EXPECT_EQ(folder + '\0', RegText(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue));
    ExpectProgramLink(GroupLink(), folder, true);

    // The installed 95-family program runs there.
    harness::Process app = harness::Process::Start(folder + "\\hoverlane.exe");
    EXPECT_NE(nullptr, harness::WaitForTopWindow("HOVERLANE", "Hoverlane", app.id()));
}

