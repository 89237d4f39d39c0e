// The tree view's image list and the cache that fills it: one image per
// distinct icon handle, whatever number of windows share it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "handles.h"
#include "tree_rules.h"

// Small-icon sized, 24-bit, no mask, backdrop the window colour; attached to
// the tree view as its normal image list. The tree view's parent owns what
// the shell may show while the desktop's icon is looked up.
HIMAGELIST CreateTreeImageList(HWND treeView);
void DestroyTreeImageList();
// The images drawn again at size x size pixels (for another DPI), each at
// its index, so that every index handed out stays valid.
void SetTreeImageSize(int size);

struct IconCacheEntry {
    // Class of the window whose icon made or last replaced the entry.
    UiText className;
    // Image in TreeImageList; -1 when the image list refused the icon.
    int imageIndex = -1;
    // Nodes showing the image; the entry goes when the last one does.
    int users = 0;
};

// How long another program's window may take to hand out its icon before
// it counts as having none, and how long its thread is not asked again.
constexpr UINT kIconAnswerMs = 500;
constexpr DWORD kIconRetryMs = 5000;

// Image index of the window's small icon, -1 when it has none; for the
// desktop the shell's small icon of the desktop folder.
int GetWindowImageIndex(HWND window, const UiText& className, bool desktop);
// The image for icon met on a window of class className: cached, added, or
// put in place of the image of an earlier icon that had the same handle.
// Each call counts one user of the image, until ReleaseImage.
int CachedImageIndex(HICON icon, const UiText& className);
// A node that showed the image is gone. An image nobody shows any more is
// forgotten, and its place in the list goes to the next new icon: programs
// that make a fresh icon at every start do not grow the list for ever.
void ReleaseImage(int imageIndex);

// The tree view's image list, what each icon handle's image is in it, and
// the places of images that no node shows any more.
extern ScopedImageList& TreeImageList;
extern std::map<HICON, IconCacheEntry, HandleOrder>& IconCache;
extern std::vector<int>& FreeImages;
