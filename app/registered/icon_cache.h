// The tree view's image list and the cache that fills it.
#pragma once

#include <windows.h>
#include <commctrl.h>

// Owned by the main window: created with the tree view, destroyed at shutdown
// after the window tree.
extern HIMAGELIST TreeImageList;

// Small-icon sized, 24-bit, no mask, backdrop the window colour; attached to
// the tree view as its normal image list.
HIMAGELIST CreateTreeImageList(HWND treeView);
void DestroyTreeImageList();
