#include "icon_cache.h"

#include <shellapi.h>
#include <shlobj.h>

// Never destroyed: a tree still alive when the process exits (after a
// fatal error) gives its images back as its nodes go, whatever the order in
// which the runtime destroys the program's other objects.
ScopedImageList& TreeImageList = *new ScopedImageList;
std::map<HICON, IconCacheEntry, HandleOrder>& IconCache =
    *new std::map<HICON, IconCacheEntry, HandleOrder>;
std::vector<int>& FreeImages = *new std::vector<int>;

namespace {

// Owner of what the shell may show while it finds the desktop's icon.
HWND ShellOwner = nullptr;

// The shell's small icon of the desktop folder; a new icon the caller owns.
HICON DesktopSmallIcon() {
    ScopedItemIdList desktop;
    if (FAILED(SHGetSpecialFolderLocation(ShellOwner, CSIDL_DESKTOP, desktop.put())) || !desktop)
        return nullptr;
    SHFILEINFOA info = {};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(desktop.get()), 0, &info, sizeof(info),
                   SHGFI_PIDL | SHGFI_ICON | SHGFI_SMALLICON);
    return info.hIcon;
}

// The thread that last did not hand out an icon in time, and when: its
// other windows (a hung program's documents, listed as its item opens) are
// not asked again for a while, each at the cost of the whole wait.
DWORD SilentThread = 0;
DWORD SilentSince = 0;

// The class's small icon, else the window's own. The window may belong to
// a hung program: its answer is awaited only so long, and meanwhile no
// other message reaches this thread (one could destroy the tree under the
// caller's feet).
HICON WindowSmallIcon(HWND window) {
    if (HICON icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICONSM))) return icon;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (thread == SilentThread && GetTickCount() - SilentSince < kIconRetryMs) return nullptr;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             kIconAnswerMs, &answer)) {
        SilentThread = thread;
        SilentSince = GetTickCount();
        return nullptr;
    }
    return reinterpret_cast<HICON>(answer);
}

// The tree view that shows the images.
HWND ImagesShownIn = nullptr;

// An empty list of that image size, backdrop the window colour, attached to
// the tree view in place of the one before.
HIMAGELIST AttachNewImageList(int width, int height) {
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR24, 0, 1);
    if (!list) return nullptr;
    ImageList_SetBkColor(list, GetSysColor(COLOR_WINDOW));
    SendMessageA(ImagesShownIn, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list));
    return list;
}

}  // namespace

HIMAGELIST CreateTreeImageList(HWND treeView) {
    ShellOwner = GetParent(treeView);
    ImagesShownIn = treeView;
    IconCache.clear();
    FreeImages.clear();
    TreeImageList.reset(AttachNewImageList(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)));
    return TreeImageList.get();
}

void SetTreeImageSize(int size) {
    int width = 0, height = 0;
    if (!TreeImageList || !ImageList_GetIconSize(TreeImageList.get(), &width, &height) ||
        (width == size && height == size))
        return;
    ScopedImageList resized(AttachNewImageList(size, size));
    if (!resized) return;
    // Places first: an image that cannot be copied leaves its own place
    // blank, not the next image's.
    const int count = ImageList_GetImageCount(TreeImageList.get());
    ImageList_SetImageCount(resized.get(), static_cast<UINT>(count));
    for (int index = 0; index < count; ++index) {
        ScopedIcon image(ImageList_GetIcon(TreeImageList.get(), index, ILD_NORMAL));
        if (image) ImageList_ReplaceIcon(resized.get(), index, image.get());
    }
    // The tree view shows the new list now: the old one may go.
    TreeImageList = std::move(resized);
}

void DestroyTreeImageList() {
    ShellOwner = nullptr;
    ImagesShownIn = nullptr;
    // The cached indices point into this list and go with it.
    IconCache.clear();
    FreeImages.clear();
    TreeImageList.reset();
}

int CachedImageIndex(HICON icon, const UiText& className) {
    auto found = IconCache.find(icon);
    if (found == IconCache.end()) {
        int place = -1;
        if (!FreeImages.empty()) {
            place = FreeImages.back();
            FreeImages.pop_back();
        }
        int index = ImageList_ReplaceIcon(TreeImageList.get(), place, icon);
        // The freed place stays free when the list refuses the icon there.
        if (index < 0 && place >= 0) FreeImages.push_back(place);
        IconCache[icon] = IconCacheEntry{className, index, 1};
        return index;
    }
    IconCacheEntry& entry = found->second;
    if (entry.className != className) {
        // Handle values are reused once their icon is destroyed: this is
        // another icon. It takes the old image's place, so that every index
        // handed out stays valid and the list does not grow.
        entry.imageIndex = ImageList_ReplaceIcon(TreeImageList.get(), entry.imageIndex, icon);
        entry.className = className;
    }
    ++entry.users;
    return entry.imageIndex;
}

void ReleaseImage(int imageIndex) {
    if (imageIndex < 0) return;
    // Each image belongs to one entry: a new icon gets a place of its own.
    for (auto entry = IconCache.begin(); entry != IconCache.end(); ++entry) {
        if (entry->second.imageIndex != imageIndex) continue;
        if (--entry->second.users <= 0) {
            IconCache.erase(entry);
            FreeImages.push_back(imageIndex);
        }
        return;
    }
}

int GetWindowImageIndex(HWND window, const UiText& className, bool desktop) {
    ScopedIcon desktopIcon;
    HICON icon = nullptr;
    if (desktop) {
        desktopIcon.reset(DesktopSmallIcon());
        icon = desktopIcon.get();
    } else {
        icon = WindowSmallIcon(window);
    }
    if (!icon) return -1;
    return CachedImageIndex(icon, className);
}
