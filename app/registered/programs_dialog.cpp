#include "programs_dialog.h"

#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <unordered_map>

#include "errors.h"
#include "handles.h"
#include "resource.h"

HWND RegisteredProgramsWindow = nullptr;

namespace {

struct Column {
    const UiChar* header;
    int width;
};
const Column kColumns[] = {{UI_TEXT("Product Name"), kProductNameWidth},
                           {UI_TEXT("Program Path"), kProgramPathWidth}};

constexpr int kIconSize = 16;

// An item without an icon names no image: -1 would make the list view ask
// the dialog for one at every paint and draw whatever it got back.
constexpr int kNoImage = I_IMAGENONE;

HWND ProgramList(HWND dialog) {
    return GetDlgItem(dialog, IDC_PROGRAM_LIST);
}

void InsertColumns(HWND listView) {
    for (int i = 0; i < static_cast<int>(sizeof(kColumns) / sizeof(kColumns[0])); ++i) {
        UiListColumn column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = kColumns[i].width;
        column.pszText = const_cast<UiChar*>(kColumns[i].header);
        column.iSubItem = i;
        if (SendMessageA(listView, kUiListInsertColumn, i, reinterpret_cast<LPARAM>(&column)) == -1)
            break;
    }
}

// The small version of the file's first icon; none when it has none. No
// file has a name longer than a path buffer, so such a name is not looked
// at all.
ScopedIcon ExtractProgramIcon(const UiText& path) {
    HICON small = nullptr;
    if (path.size() < MAX_PATH) UiExtractSmallIcon(path, &small);
    return ScopedIcon(small);
}

void AddProgram(HWND listView, HIMAGELIST imageList, const RegisteredProgram& program) {
    ScopedIcon icon = ExtractProgramIcon(program.modulePath);
    if (!icon) ReportError(ErrorWindowIcon, "Cannot Extract Icon from module");
    const int image = icon && imageList ? ImageList_ReplaceIcon(imageList, -1, icon.get()) : -1;

    UiListItem item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = 0;
    item.pszText = const_cast<UiChar*>(program.programName.c_str());
    item.iImage = image >= 0 ? image : kNoImage;
    const LRESULT index = SendMessageA(listView, kUiListInsertItem, 0, reinterpret_cast<LPARAM>(&item));
    if (index < 0) return;

    UiListItem path = {};
    path.iSubItem = 1;
    path.pszText = const_cast<UiChar*>(program.modulePath.c_str());
    SendMessageA(listView, kUiListSetItemText, index, reinterpret_cast<LPARAM>(&path));
}

// Every item's program name and module path, from the top of the list.
std::vector<RegisteredProgram> ListedPrograms(HWND listView) {
    std::vector<RegisteredProgram> listed;
    const int count = static_cast<int>(SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        listed.push_back({ListItemText(listView, i, 1), ListItemText(listView, i, 0)});
    return listed;
}

void OnInitDialog(HWND dialog) {
    RegisteredProgramsWindow = dialog;
    HWND listView = ProgramList(dialog);
    InsertColumns(listView);
    // Without LVS_SHAREIMAGELISTS the list view owns the image list and
    // destroys it with itself.
    HIMAGELIST imageList = ImageList_Create(kIconSize, kIconSize, ILC_COLOR24 | ILC_MASK, 0, 1);
    SendMessageA(listView, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(imageList));
    FillProgramList(listView, imageList);
}

void OnOk(HWND dialog) {
    std::vector<RegisteredProgram> registrations;
    LoadRegisteredPrograms(registrations);
    for (const UiText& path : RemovedRegistrations(ListedPrograms(ProgramList(dialog)), registrations))
        DeleteRegistration(path);
    EndDialog(dialog, IDOK);
}

}  // namespace

void FillProgramList(HWND listView, HIMAGELIST imageList) {
    std::vector<RegisteredProgram> programs;
    LoadRegisteredPrograms(programs);
    for (const RegisteredProgram& program : programs) AddProgram(listView, imageList, program);
}

void DeleteSelectedProgram(HWND dialog) {
    HWND listView = ProgramList(dialog);
    const LRESULT mark = SendMessageA(listView, LVM_GETSELECTIONMARK, 0, 0);
    if (mark >= 0) SendMessageA(listView, LVM_DELETEITEM, mark, 0);
}

std::vector<UiText> RemovedRegistrations(const std::vector<RegisteredProgram>& listed,
                                         const std::vector<RegisteredProgram>& registrations) {
    // The same answer as searching the items by name and comparing each
    // found item's path, in one pass over the items, and on whole texts.
    std::unordered_multimap<UiText, const UiText*> namesByPath;
    for (const RegisteredProgram& item : listed)
        namesByPath.emplace(item.modulePath, &item.programName);
    std::vector<UiText> removed;
    for (const RegisteredProgram& registration : registrations) {
        bool shown = false;
        auto range = namesByPath.equal_range(registration.modulePath);
        for (auto it = range.first; it != range.second && !shown; ++it)
            shown = UiEqualNoCase(*it->second, registration.programName);
        if (!shown) removed.push_back(registration.modulePath);
    }
    return removed;
}

UiText ListItemText(HWND listView, int item, int column) {
    for (size_t size = kListTextBuffer;; size *= 2) {
        UiText text(size, 0);
        UiListItem query = {};
        query.iSubItem = column;
        query.pszText = &text[0];
        query.cchTextMax = static_cast<int>(size);
        const LRESULT length =
            SendMessageA(listView, kUiListGetItemText, item, reinterpret_cast<LPARAM>(&query));
        // A text that fills the buffer may have been cut: read it again
        // through a larger one.
        if (length >= 0 && static_cast<size_t>(length) + 1 < size) {
            text.resize(std::min(text.find(UiChar(0)), static_cast<size_t>(length)));
            return text;
        }
        if (size > INT_MAX / 2) return text.substr(0, std::min(text.find(UiChar(0)), size - 1));
    }
}

static INT_PTR RegisteredProgramsDialogUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return FALSE;  // no initial focus of its own
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_DELETE_PROGRAM:
            DeleteSelectedProgram(dialog);
            return FALSE;
        case IDOK:
            OnOk(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_NOTIFY: {
        const auto* key = reinterpret_cast<const NMLVKEYDOWN*>(lParam);
        if (key && key->hdr.idFrom == IDC_PROGRAM_LIST && key->hdr.code == LVN_KEYDOWN &&
            key->wVKey == VK_DELETE)
            DeleteSelectedProgram(dialog);
        return FALSE;
    }
    case WM_DESTROY:
        if (RegisteredProgramsWindow == dialog) RegisteredProgramsWindow = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

// Called by Windows: an exception stops here (see Guarded).
INT_PTR CALLBACK RegisteredProgramsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded([&] { return RegisteredProgramsDialogUnguarded(dialog, message, wParam, lParam); });
}

INT_PTR ShowRegisteredProgramsDialog(HINSTANCE instance, HWND owner) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_REGISTERED_PROGRAMS), owner,
                           RegisteredProgramsDialog, 0);
}
