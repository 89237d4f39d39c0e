// Helpers of the registered-programs tests: hoverlane's main window inside
// the test process, the sample program as a separate process, the
// Registered Programs dialog worked from a helper thread, and the
// registrations as the registry holds them.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "files.h"
#include "install_layout.h"
#include "programs_dialog.h"
#include "registered_programs.h"
#include "resource.h"
#include "tree_test_util.h"

constexpr char kProgramsDialog[] = "Registered Programs";
constexpr char kIconErrorText[] = "Cannot retrieve a window icon: Cannot Extract Icon from module";
constexpr char kQuitQuestion[] =
    "Program can keep operating\nBut it's recommended to shut it down\nWould you like to quit?";

inline void Register(const std::string& path, const std::string& name) {
    harness::WriteText(HKEY_CURRENT_USER, kRegisteredProgramsKey, path.c_str(), name);
}

inline void RegisterRaw(const std::string& path, DWORD type, const std::string& data) {
    harness::WriteValue(HKEY_CURRENT_USER, kRegisteredProgramsKey, path.c_str(), type, data.data(),
                        static_cast<DWORD>(data.size()));
}

inline std::vector<harness::NamedValue> Registrations() {
    return harness::ReadValues(HKEY_CURRENT_USER, kRegisteredProgramsKey);
}

inline HWND ProgramListOf(HWND dialog) {
    return GetDlgItem(dialog, IDC_PROGRAM_LIST);
}

// One row of the dialog's list as the user sees it.
struct Row {
    std::string name;
    std::string path;
    int image = -1;
    UINT state = 0;
};

// The rows from the top, read whole through a buffer far larger than any
// text the tests write (independently of the dialog's own reading).
inline std::vector<Row> Rows(HWND listView) {
    static std::string buffer(1 << 18, '\0');
    auto text = [&](int item, int column) {
        LVITEMA query = {};
        query.iSubItem = column;
        query.pszText = &buffer[0];
        query.cchTextMax = static_cast<int>(buffer.size());
        buffer[0] = '\0';
        SendMessageA(listView, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&query));
        return std::string(buffer.c_str());
    };
    std::vector<Row> rows;
    const int count = static_cast<int>(SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        Row row;
        row.name = text(i, 0);
        row.path = text(i, 1);
        LVITEMA item = {};
        item.mask = LVIF_IMAGE | LVIF_STATE;
        item.iItem = i;
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(listView, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        row.image = item.iImage;
        row.state = item.state;
        rows.push_back(row);
    }
    return rows;
}

// The Delete button, pressed and handled before this returns.
inline void PressDeleteButton(HWND dialog) {
    SendMessageA(GetDlgItem(dialog, IDC_DELETE_PROGRAM), BM_CLICK, 0, 0);
}

inline std::vector<std::string> RowPaths(HWND listView) {
    std::vector<std::string> paths;
    for (const Row& row : Rows(listView)) paths.push_back(row.path);
    return paths;
}

inline int RowCount(HWND listView) {
    return static_cast<int>(SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
}

// A click on a row's text as the user makes it, with Ctrl held when asked.
// Returns whether the row ended up with the focus, as a click leaves it.
inline bool ClickRow(HWND listView, int index, bool withCtrl = false) {
    SendMessageA(listView, LVM_ENSUREVISIBLE, index, FALSE);
    RECT label = {};
    label.left = LVIR_LABEL;
    if (!SendMessageA(listView, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&label))) return false;
    POINT at = {label.left + 8, (label.top + label.bottom) / 2};
    MapWindowPoints(listView, HWND_DESKTOP, &at, 1);
    const std::string move = "mousemove " + std::to_string(at.x) + " " + std::to_string(at.y);
    const std::string click = withCtrl ? " keydown ctrl click 1 keyup ctrl" : " click 1";
    if (!harness::StartUnixProgram("/usr/bin/xdotool", move + click)) return false;
    return harness::WaitUntil([&] {
        return (SendMessageA(listView, LVM_GETITEMSTATE, index, LVIS_FOCUSED) & LVIS_FOCUSED) != 0;
    });
}

// The keyboard focus of the window's thread, asked from any thread.
inline HWND FocusOf(HWND window) {
    return harness::GuiState(window).hwndFocus;
}

inline bool RowSelected(HWND listView, int index) {
    return (SendMessageA(listView, LVM_GETITEMSTATE, index, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

// Colours of a 16 x 16 picture drawn over magenta, which no test icon uses.
inline std::vector<COLORREF> Pixels(const std::function<void(HDC)>& draw) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 16, 16};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, magenta);
    draw(dc);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(magenta);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The first small icon of a file as the shell hands it out, drawn.
inline std::vector<COLORREF> FileIconPixels(const std::string& path) {
    HICON icon = nullptr;
    ExtractIconExA(path.c_str(), 0, nullptr, &icon, 1);
    if (!icon) return {};
    std::vector<COLORREF> pixels =
        Pixels([&](HDC dc) { DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL); });
    DestroyIcon(icon);
    return pixels;
}

inline std::vector<COLORREF> ImagePixels(HIMAGELIST list, int index) {
    return Pixels([&](HDC dc) { ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL); });
}

// What the list shows in a row's icon place, drawn by the list itself.
inline std::vector<COLORREF> RowIconPixels(HWND listView, int row) {
    RECT icon = {};
    icon.left = LVIR_ICON;
    if (!SendMessageA(listView, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&icon))) return {};
    RECT client;
    GetClientRect(listView, &client);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(listView, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) pixels.push_back(GetPixel(dc, icon.left + x, icon.top + y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

inline int DifferentPixels(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    if (a.size() != b.size()) return 256;
    int different = 0;
    for (size_t i = 0; i < a.size(); ++i) different += a[i] != b[i];
    return different;
}

class RegisteredTest : public ProductTest {
protected:
    void TearDown() override {
        app.reset();
        ProductTest::TearDown();
        if (!folder_.empty()) harness::DeleteTree(folder_);
    }

    // A folder of this test's own for program files, removed at its end.
    std::string Folder() {
        if (folder_.empty()) {
            char temp[MAX_PATH] = {};
            GetTempPathA(MAX_PATH, temp);
            folder_ = std::string(temp) + "hl_registered_" + std::to_string(GetCurrentProcessId());
            harness::DeleteTree(folder_);
            CreateDirectoryA(folder_.c_str(), nullptr);
        }
        return folder_;
    }

    // The main window, away from the corner where Wine shows its tray; the
    // dialog is the test's to work, every other box is answered (the quit
    // question with No) and recorded.
    void StartApp(bool expectBoxes = false) {
        app = std::make_unique<InProcessApp>(SW_SHOWNORMAL, "\\", expectBoxes,
                                             std::vector<std::pair<std::string, int>>{{"Error", IDNO}});
        app->boxes.LeaveAlone(kProgramsDialog);
        MoveWindow(app->window(), 300, 250, 350, 200, TRUE);
        harness::PumpFor(0);
    }

    // The sample program "Editor" (the given program file), then the main
    // window; the program's node, none when something failed.
    WindowNode* StartEditor(const char* exe = HL_SAMPLE_MDI, bool expectBoxes = false) {
        editor = StartSample("/frame:Editor /at:300,520,500,300 Report Notes", exe);
        if (!editor.frame) return nullptr;
        StartApp(expectBoxes);
        return ProgramNode(editor.frame);
    }

    // Opens the dialog from the menu and works it with steps on a helper
    // thread; returns once it has ended.
    void WorkDialog(const std::function<void(HWND)>& steps) {
        DialogDriver driver(kProgramsDialog, steps);
        RunDialog(app->window(), IDM_REGISTERED_PROGRAMS, driver);
    }

    // The rows the dialog showed, after which the steps run.
    std::vector<Row> ShowDialog(const std::function<void(HWND)>& then) {
        std::vector<Row> rows;
        WorkDialog([&](HWND dialog) {
            rows = Rows(ProgramListOf(dialog));
            then(dialog);
        });
        return rows;
    }

    // Whether "&Always Hoverlane this program" is grayed when a menu opens.
    bool RegisterCommandGrayed(bool trayMenu = false) {
        SendMessageA(app->window(), WM_ENTERMENULOOP, trayMenu, 0);
        return (MenuItemState(app->options(), IDM_REGISTER_PROGRAM) & MFS_GRAYED) != 0;
    }

    void ChooseRegister() { SendMessageA(app->window(), WM_COMMAND, IDM_REGISTER_PROGRAM, 0); }

    std::vector<harness::BoxAnswerer::Seen> Boxes() const { return app->boxes.seen(); }

    Sample editor;
    std::unique_ptr<InProcessApp> app;

private:
    std::string folder_;
};
