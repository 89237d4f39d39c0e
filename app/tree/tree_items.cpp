#include "tree_items.h"

#include "icon_cache.h"
#include "text.h"

const char kUnreadableProgramText[] = "Program file cannot be read";
const char kHigherRightsText[] = "Runs as administrator: Hoverlane cannot switch its documents";

const char* SelectionStatusText(const WindowNode* node) {
    if (!node) return "";
    if (node->elevated) return kHigherRightsText;
    return node->FileUnreadable() ? kUnreadableProgramText : node->programName.c_str();
}

int GetWindowImageIndex(const WindowNode& node) {
    return GetWindowImageIndex(node.window, node.className, !node.parent);
}

void InsertTreeItem(WindowNode& node) {
    node.imageIndex = GetWindowImageIndex(node);

    char text[kItemTextBuffer];
    CopyBounded(text, sizeof(text), ItemTextFor(node.windowText));
    TVINSERTSTRUCTA insert = {};
    insert.hParent = node.parent ? node.parent->treeItem : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = text;
    // -1 would ask this window for the image at every paint; without an
    // icon the item names no image at all.
    const int image = node.imageIndex >= 0 ? node.imageIndex : I_IMAGENONE;
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    // The expand button shows before any child is known.
    insert.item.cChildren = node.leaf ? 0 : 1;
    insert.item.lParam = reinterpret_cast<LPARAM>(&node);
    node.treeItem = reinterpret_cast<HTREEITEM>(
        SendMessageA(TreeView, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void ReadItemState(WindowNode& node) {
    if (!node.treeItem) return;
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_STATE;
    item.hItem = node.treeItem;
    item.stateMask = TVIS_EXPANDED;
    SendMessageA(TreeView, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    node.itemState = item.state;
}

void ReadItemText(WindowNode& node) {
    if (!node.treeItem) return;
    char text[kItemTextBuffer] = {};
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = node.treeItem;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(TreeView, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    text[sizeof(text) - 1] = '\0';
    node.itemText = text;
}

void SetItemText(WindowNode& node, const std::string& shown) {
    char text[kItemTextBuffer];
    CopyBounded(text, sizeof(text), shown);
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = node.treeItem;
    item.pszText = text;
    SendMessageA(TreeView, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void ShowExpandButton(WindowNode& node) {
    if (!node.treeItem || node.leaf) return;
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = node.treeItem;
    item.cChildren = 1;
    SendMessageA(TreeView, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}
