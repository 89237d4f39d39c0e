// The Registered Programs dialog, opened from the menu of the main window
// running inside the test process and worked from a helper thread as the
// user would work it.
#include "registered_test_util.h"

#include <algorithm>
#include <atomic>

#include "threads.h"

namespace {

class ProgramsDialogTest : public RegisteredTest {
protected:
    // Three program files with icons of their own, registered under names
    // that say which is which.
    void RegisterThree() {
        files = {harness::WinPath(HL_SAMPLE_MDI), harness::WinPath(HL_HOVERLANE_NT),
                 harness::WinPath(HL_SAMPLE_MDI_V2)};
        names = {"Sample MDI 1.0", "Hoverlane 1.0", "Sample MDI 2.0"};
        for (size_t i = 0; i < files.size(); ++i) Register(files[i], names[i]);
    }

    // The rows the registry's enumeration order gives, bottom row first.
    static std::vector<std::string> EnumeratedPaths() {
        std::vector<std::string> paths;
        for (const auto& value : Registrations()) paths.push_back(value.name);
        return paths;
    }

    static std::vector<std::string> Reversed(std::vector<std::string> paths) {
        std::reverse(paths.begin(), paths.end());
        return paths;
    }

    std::vector<std::string> files;
    std::vector<std::string> names;
};

TEST_F(ProgramsDialogTest, ShowsEveryRegistrationLastEnumeratedOnTopWithItsIcon) {
    RegisterThree();
    StartApp();
    const std::vector<std::string> enumerated = EnumeratedPaths();
    ASSERT_EQ(3u, enumerated.size());

    std::vector<int> ids;
    std::string caption, headers[2];
    int widths[2] = {}, formats[2] = {};
    LONG style = 0;
    HWND owner = nullptr;
    HIMAGELIST images = nullptr;
    int imageCount = 0, iconWidth = 0, iconHeight = 0;
    std::vector<Row> rows;
    std::vector<std::vector<COLORREF>> shown;
    WorkDialog([&](HWND dialog) {
        caption = harness::WindowText(dialog);
        owner = GetWindow(dialog, GW_OWNER);
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            ids.push_back(GetDlgCtrlID(child));
        HWND list = ProgramListOf(dialog);
        style = GetWindowLongA(list, GWL_STYLE);
        for (int i = 0; i < 2; ++i) {
            char text[64] = {};
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.pszText = text;
            column.cchTextMax = sizeof(text);
            SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
            headers[i] = text;
            widths[i] = column.cx;
            formats[i] = column.fmt;
        }
        images = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        imageCount = ImageList_GetImageCount(images);
        ImageList_GetIconSize(images, &iconWidth, &iconHeight);
        rows = Rows(list);
        for (const Row& row : rows) shown.push_back(ImagePixels(images, row.image));
        harness::ClickButton(dialog, IDCANCEL);
    });

    EXPECT_EQ(kProgramsDialog, caption);
    EXPECT_EQ(app->window(), owner);
    EXPECT_EQ((std::vector<int>{IDOK, IDCANCEL, IDC_PROGRAM_LIST, -1, IDC_DELETE_PROGRAM, -1}), ids);
    EXPECT_EQ(LVS_REPORT, style & LVS_TYPEMASK);
    EXPECT_EQ(0, style & (LVS_SINGLESEL | LVS_SORTASCENDING | LVS_SORTDESCENDING));
    // The list view owns the image list and destroys it with itself.
    EXPECT_EQ(0, style & LVS_SHAREIMAGELISTS);
    EXPECT_EQ("Product Name", headers[0]);
    EXPECT_EQ("Program Path", headers[1]);
    EXPECT_EQ(200, widths[0]);
    EXPECT_EQ(600, widths[1]);
    EXPECT_EQ(LVCFMT_LEFT, formats[0] & LVCFMT_JUSTIFYMASK);
    EXPECT_EQ(LVCFMT_LEFT, formats[1] & LVCFMT_JUSTIFYMASK);
    ASSERT_NE(nullptr, images);
    EXPECT_EQ(16, iconWidth);
    EXPECT_EQ(16, iconHeight);
    EXPECT_EQ(3, imageCount);

    ASSERT_EQ(3u, rows.size());
    std::vector<std::string> paths;
    for (const Row& row : rows) paths.push_back(row.path);
    EXPECT_EQ(Reversed(enumerated), paths);
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].path);
        const size_t file = std::find(files.begin(), files.end(), rows[i].path) - files.begin();
        ASSERT_LT(file, files.size());
        EXPECT_EQ(names[file], rows[i].name);
        // The bottom row was added first, so it has the first image.
        EXPECT_EQ(static_cast<int>(rows.size() - 1 - i), rows[i].image);
        const auto own = FileIconPixels(files[file]);
        const auto other = FileIconPixels(files[file == 1 ? 0 : 1]);
        EXPECT_LE(DifferentPixels(own, shown[i]), 8);
        EXPECT_GT(DifferentPixels(other, shown[i]), 32);
    }
    EXPECT_EQ(3u, Registrations().size());
}

TEST_F(ProgramsDialogTest, DeleteWithoutSelectionRemovesNothing) {
    RegisterThree();
    StartApp();
    int afterButton = -1, afterKey = -1;
    bool listFocused = false;
    WorkDialog([&](HWND dialog) {
        HWND list = ProgramListOf(dialog);
        PressDeleteButton(dialog);
        afterButton = RowCount(list);
        // A click below the rows gives the list the keyboard and selects
        // nothing.
        RECT client;
        GetClientRect(list, &client);
        POINT below = {client.right / 2, client.bottom - 10};
        MapWindowPoints(list, HWND_DESKTOP, &below, 1);
        harness::StartUnixProgram("/usr/bin/xdotool", "mousemove " + std::to_string(below.x) + " " +
                                                          std::to_string(below.y) + " click 1");
        listFocused = harness::WaitUntil([&] { return FocusOf(list) == list; });
        // Del, then a key the list does take, which shows it was listening.
        // One xdotool for both: two would race, and a late Del would delete
        // the row that End selects.
        harness::StartUnixProgram("/usr/bin/xdotool", "key Delete End");
        harness::WaitUntil([&] {
            return (SendMessageA(list, LVM_GETITEMSTATE, 2, LVIS_FOCUSED) & LVIS_FOCUSED) != 0;
        });
        afterKey = RowCount(list);
        harness::ClickButton(dialog, IDOK);
    });
    EXPECT_EQ(3, afterButton);
    EXPECT_TRUE(listFocused);
    EXPECT_EQ(3, afterKey);
    EXPECT_EQ(3u, Registrations().size());
}

TEST_F(ProgramsDialogTest, DeleteRemovesOnlyTheItemAtTheSelectionMark) {
    RegisterThree();
    StartApp();
    std::vector<std::string> before, afterButton, afterKey;
    bool bothSelected = false, firstStillSelected = false;
    WorkDialog([&](HWND dialog) {
        HWND list = ProgramListOf(dialog);
        before = RowPaths(list);
        // Row 0, then Ctrl+click row 2: both selected, the mark on row 2.
        if (!ClickRow(list, 0) || !ClickRow(list, 2, true)) return;
        bothSelected = RowSelected(list, 0) && RowSelected(list, 2) && !RowSelected(list, 1);
        PressDeleteButton(dialog);
        afterButton = RowPaths(list);
        firstStillSelected = RowSelected(list, 0);
        // The Del key on a clicked row.
        if (!ClickRow(list, 1)) return;
        PressKey(list, "Delete");
        harness::WaitUntil([&] { return RowCount(list) == 1; });
        afterKey = RowPaths(list);
        harness::ClickButton(dialog, IDCANCEL);
    });
    ASSERT_EQ(3u, before.size());
    EXPECT_TRUE(bothSelected);
    EXPECT_EQ((std::vector<std::string>{before[0], before[1]}), afterButton);
    EXPECT_TRUE(firstStillSelected);
    EXPECT_EQ((std::vector<std::string>{before[0]}), afterKey);
    EXPECT_EQ(3u, Registrations().size());  // cancelled
}

TEST_F(ProgramsDialogTest, CancelLeavesTheRegistryAsItWasAndReopeningShowsAll) {
    RegisterThree();
    StartApp();
    const auto stored = Registrations();
    int left = -1;
    WorkDialog([&](HWND dialog) {
        HWND list = ProgramListOf(dialog);
        for (int i = 0; i < 2; ++i) {
            ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            ListView_SetSelectionMark(list, 0);
            PressDeleteButton(dialog);
        }
        left = RowCount(list);
        // Escape cancels like the button.
        PressKey(dialog, "Escape");
    });
    EXPECT_EQ(1, left);
    EXPECT_EQ(stored, Registrations());

    const auto rows = ShowDialog([](HWND dialog) { harness::ClickButton(dialog, IDCANCEL); });
    EXPECT_EQ(3u, rows.size());
    EXPECT_EQ(stored, Registrations());
}

// Two registrations with one program name: the paths tell them apart,
// whichever of them goes.
TEST_F(ProgramsDialogTest, OkDeletesExactlyTheRemovedRegistrationAmongTwoOfOneName) {
    const std::string shared = kSampleName;
    const std::string first = harness::WinPath(HL_SAMPLE_MDI);
    const std::string second = harness::WinPath(HL_SAMPLE_MDI_NOVERSION);
    const std::string third = harness::WinPath(HL_HOVERLANE_NT);
    for (const std::string& removed : {first, second}) {
        SCOPED_TRACE(removed);
        harness::ResetProductRegistry();
        Register(first, shared);
        Register(second, shared);
        Register(third, "Hoverlane 1.0");
        StartApp();
        WorkDialog([&](HWND dialog) {
            HWND list = ProgramListOf(dialog);
            const auto paths = RowPaths(list);
            const int row = static_cast<int>(std::find(paths.begin(), paths.end(), removed) - paths.begin());
            if (ClickRow(list, row)) PressDeleteButton(dialog);
            harness::ClickButton(dialog, IDOK);
        });
        std::vector<std::string> left;
        for (const auto& value : Registrations()) left.push_back(value.name);
        std::sort(left.begin(), left.end());
        std::vector<std::string> expected = {removed == first ? second : first, third};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, left);
        app.reset();
    }
}

TEST_F(ProgramsDialogTest, NothingRegisteredListsNothingAndOkStillRefreshes) {
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);
    SelectItem(program->treeItem);
    ChooseRegister();
    ASSERT_TRUE(program->registered);
    // Everything is removed behind hoverlane's back, as uninstalling does.
    harness::ResetProductRegistry();
    ASSERT_FALSE(harness::KeyExists(HKEY_CURRENT_USER, kRegisteredProgramsKey));

    int images = -1;
    const auto rows = ShowDialog([&](HWND dialog) {
        images = ImageList_GetImageCount(reinterpret_cast<HIMAGELIST>(
            SendMessageA(ProgramListOf(dialog), LVM_GETIMAGELIST, LVSIL_SMALL, 0)));
        harness::ClickButton(dialog, IDOK);
    });
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(0, images);
    EXPECT_FALSE(harness::KeyExists(HKEY_CURRENT_USER, kRegisteredProgramsKey));
    // OK had the programs checked again.
    EXPECT_FALSE(program->registered);
    EXPECT_FALSE(RegisterCommandGrayed());
}

TEST_F(ProgramsDialogTest, OkRemovingARunningProgramsRegistrationUnregistersIt) {
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);
    Register(harness::WinPath(HL_HOVERLANE_NT), "Hoverlane 1.0");
    SelectItem(program->treeItem);
    ChooseRegister();
    ASSERT_TRUE(program->registered);
    SelectItem(RootNode->treeItem);
    // Monitored while registered: the document under the pointer comes up.
    const HWND report = DocumentTitled(editor.client, "Report");
    const HWND notes = DocumentTitled(editor.client, "Notes");
    ASSERT_EQ(notes, GetTopWindow(editor.client));
    RECT at;
    GetWindowRect(report, &at);
    SetCursorPos(at.left + 10, at.top + 5);
    ASSERT_TRUE(harness::WaitUntil([&] { return GetTopWindow(editor.client) == report; }));

    WorkDialog([&](HWND dialog) {
        HWND list = ProgramListOf(dialog);
        const auto paths = RowPaths(list);
        const int row = static_cast<int>(
            std::find(paths.begin(), paths.end(), AnsiFromUi(program->modulePath)) - paths.begin());
        if (ClickRow(list, row)) PressKey(list, "Delete");
        harness::WaitUntil([&] { return RowCount(list) == 1; });
        harness::ClickButton(dialog, IDOK);
    });
    const auto values = Registrations();
    ASSERT_EQ(1u, values.size());
    EXPECT_TRUE(harness::SamePath(harness::WinPath(HL_HOVERLANE_NT), values[0].name));
    // Without a restart, and with no other program selected: no longer
    // monitored.
    EXPECT_FALSE(program->registered);
    GetWindowRect(notes, &at);
    SetCursorPos(at.right - 10, at.bottom - 10);
    EXPECT_TRUE(harness::WaitForTicks(MainWindow, kMonitorTimerId, 6));
    EXPECT_EQ(report, GetTopWindow(editor.client));
    SelectItem(program->treeItem);
    EXPECT_FALSE(RegisterCommandGrayed());
    // Selected, it is monitored again: the ticks went on all along.
    EXPECT_TRUE(harness::WaitUntil([&] { return GetTopWindow(editor.client) == notes; }));
}

// The unnamed value has no program file, so it also brings the icon error.
TEST_F(ProgramsDialogTest, UnnamedValueListsAsDefaultAndComesBackAfterOk) {
    Register("", "Unnamed");
    Register(harness::WinPath(HL_SAMPLE_MDI), kSampleName);
    StartApp(true);
    const auto first = ShowDialog([&](HWND dialog) {
        HWND list = ProgramListOf(dialog);
        const auto paths = RowPaths(list);
        const int row = static_cast<int>(std::find(paths.begin(), paths.end(), "default") - paths.begin());
        if (ClickRow(list, row)) PressDeleteButton(dialog);
        harness::WaitUntil([&] { return RowCount(list) == 1; });
        harness::ClickButton(dialog, IDOK);
    });
    ASSERT_EQ(2u, first.size());
    const auto unnamed = std::find_if(first.begin(), first.end(), [](const Row& row) { return row.path == "default"; });
    ASSERT_NE(first.end(), unnamed);
    EXPECT_EQ("Unnamed", unnamed->name);
    EXPECT_LT(unnamed->image, 0);

    const auto values = Registrations();
    ASSERT_EQ(2u, values.size());
    EXPECT_TRUE(harness::ReadValue(HKEY_CURRENT_USER, kRegisteredProgramsKey, "").found);

    const auto again = ShowDialog([](HWND dialog) { harness::ClickButton(dialog, IDCANCEL); });
    ASSERT_EQ(2u, again.size());
    EXPECT_EQ(1, std::count_if(again.begin(), again.end(), [](const Row& row) { return row.path == "default"; }));
    // One icon error per opening.
    EXPECT_EQ(4u, Boxes().size());
}

TEST_F(ProgramsDialogTest, MissingProgramFileReportsTheIconErrorAndListsWithoutImage) {
    const std::string gone = Folder() + "\\gone.exe";
    Register(harness::WinPath(HL_SAMPLE_MDI), kSampleName);
    Register(gone, "Gone 1.0");
    StartApp(true);
    int imageCount = -1;
    std::vector<COLORREF> goneIcon, sampleIcon;
    const auto rows = ShowDialog([&](HWND dialog) {
        HWND list = ProgramListOf(dialog);
        imageCount = ImageList_GetImageCount(
            reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)));
        const auto paths = RowPaths(list);
        for (int i = 0; i < static_cast<int>(paths.size()); ++i)
            (paths[i] == gone ? goneIcon : sampleIcon) = RowIconPixels(list, i);
        harness::ClickButton(dialog, IDOK);
    });
    const auto boxes = Boxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Alert", boxes[0].caption);
    EXPECT_EQ(kIconErrorText, boxes[0].text);
    EXPECT_EQ("Error", boxes[1].caption);
    EXPECT_EQ(kQuitQuestion, boxes[1].text);
    EXPECT_FALSE(QuitPosted());

    ASSERT_EQ(2u, rows.size());
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return r.path == gone; });
    ASSERT_NE(rows.end(), row);
    EXPECT_EQ("Gone 1.0", row->name);
    EXPECT_LT(row->image, 0);
    EXPECT_EQ(1, imageCount);
    // Its icon place shows the list's background, and nothing else.
    ASSERT_EQ(256u, goneIcon.size());
    EXPECT_EQ(256, std::count(goneIcon.begin(), goneIcon.end(), goneIcon[0]));
    EXPECT_EQ(static_cast<COLORREF>(GetSysColor(COLOR_WINDOW)), goneIcon[0]);
    EXPECT_LE(DifferentPixels(FileIconPixels(harness::WinPath(HL_SAMPLE_MDI)), sampleIcon), 8);
    // OK keeps it: it is still listed.
    EXPECT_EQ(2u, Registrations().size());
}

// Yes to the quit question ends the dialog with the program, and nothing is
// deleted.
TEST_F(ProgramsDialogTest, QuittingFromTheIconErrorDeletesNothing) {
    Register(Folder() + "\\gone.exe", "Gone 1.0");
    app = std::make_unique<InProcessApp>(SW_SHOWNORMAL, "\\", true,
                                         std::vector<std::pair<std::string, int>>{{"Error", IDYES}});
    app->boxes.LeaveAlone(kProgramsDialog);
    // Should the dialog stay, it is cancelled, and the test fails.
    std::atomic<bool> ended{false}, cancelled{false};
    harness::Thread guard([&] {
        if (harness::WaitUntil([&] { return ended.load(); })) return;
        cancelled = true;
        PostMessageA(RegisteredProgramsWindow, WM_COMMAND, IDCANCEL, 0);
    });
    SendMessageA(app->window(), WM_COMMAND, IDM_REGISTERED_PROGRAMS, 0);
    ended = true;
    guard.join();
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(nullptr, RegisteredProgramsWindow);
    EXPECT_TRUE(QuitPosted());
    EXPECT_EQ(1u, Registrations().size());
    EXPECT_EQ(2u, Boxes().size());
}

// While the dialog is open, the tray menu still works: registering then
// would be undone by OK, and a second dialog would stack on the first.
TEST_F(ProgramsDialogTest, WhileOpenTheMenuNeitherRegistersNorOpensAnother) {
    WindowNode* program = StartEditor();
    ASSERT_NE(nullptr, program);
    SelectItem(program->treeItem);
    bool grayed = false;
    size_t dialogs = 0;
    WorkDialog([&](HWND dialog) {
        grayed = RegisterCommandGrayed(true);
        // Bounded: a second dialog would hold the call until it closed.
        DWORD_PTR result = 0;
        SendMessageTimeoutA(app->window(), WM_COMMAND, IDM_REGISTER_PROGRAM, 0, SMTO_NORMAL, 5000, &result);
        SendMessageTimeoutA(app->window(), WM_COMMAND, IDM_REGISTERED_PROGRAMS, 0, SMTO_NORMAL, 5000,
                            &result);
        dialogs = harness::TopWindows("#32770", GetCurrentProcessId()).size();
        harness::ClickButton(dialog, IDOK);
    });
    EXPECT_TRUE(grayed);
    EXPECT_EQ(1u, dialogs);
    EXPECT_FALSE(harness::KeyExists(HKEY_CURRENT_USER, kRegisteredProgramsKey));
    EXPECT_FALSE(RegisterCommandGrayed());
}

}  // namespace
