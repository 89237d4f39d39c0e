// The nodes' items in the tree view, and the status text of the selection.
#pragma once

#include <string>

#include "window_node.h"

// Inserts the node's item, with its icon, as the last below its parent's.
void InsertTreeItem(WindowNode& node);
// Reads back the item's expanded state and its text.
void ReadItemState(WindowNode& node);
void ReadItemText(WindowNode& node);
void SetItemText(WindowNode& node, const UiText& text);
// Some tree views drop the button with an item's last child.
void ShowExpandButton(WindowNode& node);

// What status part 0 shows for a selected node whose program file cannot
// be read, and for one that runs with higher rights.
extern const UiChar kUnreadableProgramText[];
extern const UiChar kHigherRightsText[];
// Status part 0 for the selected node (none: the empty text).
const UiChar* SelectionStatusText(const WindowNode* node);

// Image index of the node's small icon (the desktop's for the root), -1 when
// its window has none.
int GetWindowImageIndex(const WindowNode& node);
