#include "startup.h"

#include <shlwapi.h>

#include "errors.h"
#include "exit_codes.h"
#include "family.h"
#include "install_layout.h"
#include "install_log.h"
#include "main_window.h"
#include "message_box.h"
#include "platform.h"
#include "registry_layout.h"
#include "registry_path.h"
#include "resource.h"
#include "settings.h"
#include "shell_state.h"
#include "switches.h"
#include "sync_window.h"
#include "text.h"
#include "tray.h"
#include "uninstall_launcher.h"

StartCommand ReadStartCommand(const char* commandLine) {
    const std::string line = commandLine ? commandLine : "";
    StartCommand command;
    const Switches read = ReadSwitches(line, kSwitchUninstall | kSwitchSilent | kSwitchLog);
    // Only /Uninstall makes the switches count; any other text is an
    // ordinary start, as it has always been.
    if (!read.has(kSwitchUninstall)) {
        command.minimized = IsMinimizedCommand(commandLine);
        return command;
    }
    command.uninstall = true;
    command.silent = read.has(kSwitchSilent);
    command.log = read.log;
    command.unknown = read.unknown;
    return command;
}

bool IsMinimizedCommand(const char* commandLine) {
    return commandLine && lstrcmpiA(commandLine, "/Minimized") == 0;
}

std::string InstallDirectoryFrom(const std::string& storedFolder) {
    // An empty value appended with its backslash would name the current
    // drive's root, where the help and the files are not ours.
    return storedFolder.empty() ? std::string() : storedFolder + "\\";
}

HWND CreateSyncWindow() {
    char className[MAX_PATH] = {};
    LoadStringA(Instance, IDS_SYNC_CLASS, className, MAX_PATH);

    if (HWND running = FindWindowA(className, "")) {
        SendMessageA(running, WM_SHOWINSTANCE, 0, 0);
        return nullptr;
    }

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = SyncWindowProc;
    windowClass.hInstance = Instance;
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass);  // a failure shows in the creation below

    SyncWindow = CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, nullptr, nullptr, Instance, nullptr);
    return SyncWindow;
}

static LRESULT SyncWindowProcUnguarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SHOWINSTANCE:
        // Exactly what a double-click on the tray icon does.
        if (MainWindow) SendMessageA(MainWindow, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
        return 0;
    case WM_DESTROY:
        // setup and the uninstaller close the application this way; the main
        // window's shutdown destroys this window in turn.
        if (MainWindow) DestroyWindow(MainWindow);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Called by Windows: an exception stops here (see Guarded).
LRESULT CALLBACK SyncWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded([&] { return SyncWindowProcUnguarded(window, message, wParam, lParam); });
}

namespace {

// hoverlane /Uninstall: starts the uninstaller and ends; silent (/S), it
// shows nothing and ends with the uninstaller's exit code.
int Uninstall(HINSTANCE instance, const StartCommand& command, const char* commandLine) {
    if (!command.unknown.empty()) {
        if (!command.silent)
            SystemLanguageBox(nullptr, (kUnknownSwitchText + CutText(command.unknown, 100)).c_str(),
                              "Error", MB_OK | MB_ICONHAND);
        return kExitBadSwitch;
    }
    if (!command.log.empty() && !OpenInstallLog(command.log, "hoverlane", commandLine))
        return kExitLogUnwritable;
    // Read what is stored first, so that saving on the way out writes the
    // user's settings back instead of zeros; read before the uninstaller can
    // touch them.
    LoadSettings();
    const std::string installDirectory = InstallDirectory;
    int code = kExitSuccess;
    if (command.silent) {
        // Saved before, and without a box (no window, no loop to shut
        // down): this run waits for the uninstaller, which removes the
        // settings with everything else.
        SaveSettings(false);
        code = LaunchUninstaller(instance, installDirectory, true);
    } else {
        LaunchUninstaller(instance, installDirectory, false);
        ShutDown(nullptr);
    }
    CloseInstallLog(code);
    return code;
}

}  // namespace

int HoverlaneMain(HINSTANCE instance, const char* commandLine) {
    const StartCommand command = ReadStartCommand(commandLine);
    // Nobody may be there to answer a box: a script's run says it by its
    // exit code.
    const bool silent = command.uninstall && command.silent;
    if (CheckPlatform(kAcceptedPlatformId, !silent) != PlatformCheck::Accepted)
        return silent ? kExitWrongFamily : kExitSuccess;

    Instance = instance;
    InstallDirectory = InstallDirectoryFrom(
        ReadRegistryPath(HKEY_LOCAL_MACHINE, kProductKey, kInstallDestinationValue));

    // Silent, nobody answers a box: memory that runs out is an exit code.
    if (command.uninstall)
        return AtBoundary([&] { return Uninstall(instance, command, commandLine); },
                          [&] { return silent ? kExitNoMemory : (ReportOutOfMemory(), 0); });

    const int showCommand = command.minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;

    if (!CreateSyncWindow()) return 0;

    // Without an installation (none recorded, or an empty value) hoverlane
    // runs all the same, only without its help; a recorded folder that is
    // gone means a damaged installation.
    if (!InstallDirectory.empty() && !PathIsDirectoryA(InstallDirectory.c_str())) {
        ReportError(ErrorRegistryRead,
                    "The registry may be corrupted\nYou have to uninstall and reinstall Hoverlane");
        return 0;
    }

    if (!CreateMainWindow(Instance, showCommand)) return 0;

    MSG message = {};
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // Yes to an error's quit question: the same orderly shutdown as
            // Exit (settings saved, tray icon and sync window gone), run
            // here, where no step is under way.
            if (MainWindow) DestroyWindow(MainWindow);
            return static_cast<int>(message.wParam);
        }
        if (got == -1) return 0;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
