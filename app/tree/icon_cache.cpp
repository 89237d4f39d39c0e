#include "icon_cache.h"

#include <shellapi.h>
#include <shlobj.h>

#include "app_state.h"
#include "window_node.h"

namespace {

// The shell's small icon of the desktop folder; a new icon the caller owns.
HICON DesktopSmallIcon() {
    ScopedItemIdList desktop;
    if (FAILED(SHGetSpecialFolderLocation(MainWindow, CSIDL_DESKTOP, desktop.put())) || !desktop)
        return nullptr;
    SHFILEINFOA info = {};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(desktop.get()), 0, &info, sizeof(info),
                   SHGFI_PIDL | SHGFI_ICON | SHGFI_SMALLICON);
    return info.hIcon;
}

// The class's small icon, else the window's own. The window may belong to
// a hung program: its answer is awaited only so long, and meanwhile no
// other message reaches this thread (one could destroy the tree under the
// caller's feet).
HICON WindowSmallIcon(HWND window) {
    if (HICON icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICONSM))) return icon;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             kIconAnswerMs, &answer))
        return nullptr;
    return reinterpret_cast<HICON>(answer);
}

}  // namespace

HIMAGELIST CreateTreeImageList(HWND treeView) {
    IconCache.clear();
    TreeImageList.reset(ImageList_Create(GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), ILC_COLOR24, 0, 1));
    if (!TreeImageList) return nullptr;
    SendMessageA(treeView, TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(TreeImageList.get()));
    ImageList_SetBkColor(TreeImageList.get(), GetSysColor(COLOR_WINDOW));
    return TreeImageList.get();
}

void DestroyTreeImageList() {
    // The cached indices point into this list and go with it.
    IconCache.clear();
    TreeImageList.reset();
}

int CachedImageIndex(HICON icon, const std::string& className) {
    auto found = IconCache.find(icon);
    if (found == IconCache.end()) {
        const int index = ImageList_ReplaceIcon(TreeImageList.get(), -1, icon);
        IconCache[icon] = IconCacheEntry{className, index};
        return index;
    }
    IconCacheEntry& entry = found->second;
    if (entry.className == className) return entry.imageIndex;
    // Handle values are reused once their icon is destroyed: this is another
    // icon. It takes the old image's place, so that every index handed out
    // stays valid and the list does not grow.
    entry.imageIndex = ImageList_ReplaceIcon(TreeImageList.get(), entry.imageIndex, icon);
    entry.className = className;
    return entry.imageIndex;
}

int GetWindowImageIndex(const WindowNode& node) {
    ScopedIcon desktopIcon;
    HICON icon = nullptr;
    if (!node.parent) {
        desktopIcon.reset(DesktopSmallIcon());
        icon = desktopIcon.get();
    } else {
        icon = WindowSmallIcon(node.window);
    }
    if (!icon) return -1;
    return CachedImageIndex(icon, node.className);
}
