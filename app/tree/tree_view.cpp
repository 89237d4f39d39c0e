#include "tree_view.h"

#include "discovery.h"
#include "status_bar.h"
#include "tree_items.h"

namespace {

// Selections the tree view has announced and not yet reported done.
int SelectionsUnderWay = 0;
// The tree view cannot expand an item without children: when no program
// runs at start-up, "desktop" stays collapsed until one arrives.
bool RootExpansionPending = false;

// Only the notifications that come as an NMTREEVIEW carry an item; the others
// (clicks, custom drawing, keys) are smaller structures.
const NMTREEVIEWA* TreeChange(const NMHDR* header) {
    // The ANSI and wide forms carry the items at the same places.
    return reinterpret_cast<const NMTREEVIEWA*>(header);
}

WindowNode* NewItemNode(const NMTREEVIEWA* change) {
    return change->itemNew.hItem ? reinterpret_cast<WindowNode*>(change->itemNew.lParam) : nullptr;
}

}  // namespace

void ResetTreeView() {
    SelectionsUnderWay = 0;
    RootExpansionPending = false;
}

void ExpandRootItem() {
    if (!RootNode || !RootNode->treeItem) return;
    SendMessageA(TreeView, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(RootNode->treeItem));
    ReadItemState(*RootNode);
    RootExpansionPending = !(RootNode->itemState & TVIS_EXPANDED);
}

void ExpandRootItemIfPending() {
    if (RootExpansionPending && RootNode && !RootNode->children.empty()) ExpandRootItem();
}

LRESULT OnTreeNotify(const NMHDR* header) {
    switch (header->code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        WindowNode* node = NewItemNode(TreeChange(header));
        if (!node) return 0;
        node->itemState = TVIS_EXPANDED;
        // Selecting a hidden item (also in place of a deleted one) makes the
        // tree view expand its parent by itself. A refresh then could delete
        // the very item being selected or deleted, which the tree view does
        // not survive; the next periodic refresh catches up instead.
        if (SelectionsUnderWay > 0) return 0;
        {
            // The pointer the user had comes back afterwards: no cursor at
            // all would hide it until the mouse moves, which after an
            // expansion by keyboard may be a long time.
            const HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
            RefreshChildren(*node);
            SetCursor(previous);
        }
        return 0;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
        const NMTREEVIEWA* change = TreeChange(header);
        WindowNode* node = NewItemNode(change);
        // Collapsing a program forgets its documents; the root keeps its
        // programs, which it refreshes whatever its item shows.
        if (node && (change->action & (TVE_COLLAPSE | TVE_EXPAND)) == TVE_COLLAPSE &&
            node != RootNode.get()) {
            node->DeleteChildren();
            // Some tree views drop the expand button with the last child
            // item; without it the program could never be expanded again.
            ShowExpandButton(*node);
        }
        return 0;
    }
    case TVN_SELCHANGINGA:
    case TVN_SELCHANGINGW:
        ++SelectionsUnderWay;
        return 0;
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        if (SelectionsUnderWay > 0) --SelectionsUnderWay;
        WindowNode* node = NewItemNode(TreeChange(header));
        SelectedNode = node;
        SetStatusText(0, SelectionStatusText(node));
        return 0;
    }
    default:
        return 0;
    }
}
