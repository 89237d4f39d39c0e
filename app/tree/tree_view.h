// What the tree view's notifications do to the nodes, and the root's first
// expansion.
#pragma once

#include <windows.h>
#include <commctrl.h>

// Tree view notifications (WM_NOTIFY from the tree view) of the main window.
LRESULT OnTreeNotify(const NMHDR* header);
// Expands the root's item, which runs the first discovery. Where that found
// no program the item cannot open yet; the periodic refresh then calls
// ExpandRootItemIfPending, which opens it once the first program is listed.
void ExpandRootItem();
void ExpandRootItemIfPending();
// No selection under way, no expansion pending.
void ResetTreeView();
