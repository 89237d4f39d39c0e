// Drives setup as a separate process, the way a user would: waits for its
// dialogs and presses their buttons. Each test installs into a scratch
// folder of its own, proposed through the "ProgramFilesDir" value that setup
// reads, and leaves nothing behind (folder, shortcuts, registry, windows).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "files.h"
#include "fixture.h"
#include "harness.h"

namespace setup_test {

// The variant's setup and the hoverlane it carries, and each family's.
extern const std::string kSetup;
extern const std::string kHoverlane;
extern const std::string kSetupNt;
extern const std::string kSetup95;
extern const std::string kHoverlaneNt;
extern const std::string kHoverlane95;

// Dialog captions.
constexpr char kAgreementCaption[] = "Software License Agreement";
constexpr char kOptionsCaption[] = "Hoverlane Setup";
constexpr char kProgressCaption[] = "Install Progress";

// One line the progress probe wrote: a status text with the bar's position
// when it was set, or ("end", last position, "low..high").
struct ProgressLine {
    std::string kind;
    int position = 0;
    std::string text;
};

// One run of a setup program.
class SetupRun {
public:
    // probeLog: where the progress probe writes, "" for no probe.
    SetupRun(const std::string& exe, const std::string& probeLog);
    ~SetupRun();
    SetupRun(const SetupRun&) = delete;
    SetupRun& operator=(const SetupRun&) = delete;

    harness::Process& process() { return process_; }
    // Waits for the agreement dialog; hooks the probe into setup's thread.
    HWND WaitForAgreement();
    // Presses "I accept" and waits for the options dialog.
    HWND Accept();
    // Accepts, leaves the options as proposed, presses Install and waits for
    // setup to end.
    void InstallWithDefaults();
    // Presses Install on the options dialog.
    void Install(HWND options);
    // Waits for the end of setup; true when it ended with code 0 (or code:
    // the number of the installation step that failed).
    bool EndsWithCodeZero() { return EndsWithCode(0); }
    bool EndsWithCode(DWORD code);
    std::vector<ProgressLine> ProgressLog() const;

private:
    harness::Process process_;
    std::string probeLog_;
    HMODULE probe_ = nullptr;
    HHOOK hook_ = nullptr;
};

// The shortcut files setup makes for the current user.
std::string DesktopLink();
std::string StartupLink();
std::string ProgramGroup();
std::string GroupLink();
std::string HelpLink();

// Windows of Wine's explorer showing the program group folder.
std::vector<HWND> ProgramGroupWindows();
// Closes them (after waiting for one to come up, if asked) and waits until
// they and the explorer processes showing them are gone.
void CloseProgramGroupWindows(bool waitForOne);

class SetupTest : public ProductTest {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string scratch;   // this test's own folder, removed at the end
    std::string folder;    // the installation folder setup proposes
    std::string probeLog;  // the progress probe's file

private:
    harness::RegValue savedProgramFiles_;
};

// The path of a payload source for an installed relative name.
std::string PayloadSource(const std::string& installedName, const std::string& hoverlaneExe);

// Every installed file as setup carries it: its resource name (capitals, "_"
// for each blank) and the name it is installed under (lower case), in the
// order setup installs them, which is the resource directory's sorted order.
struct PayloadFile {
    std::string resource;
    std::string installed;
};
std::vector<PayloadFile> PayloadInInstallOrder();

// An earlier installation's help page in the folder; its path.
std::string PlaceOldHelpPage(const std::string& folder);

}  // namespace setup_test
