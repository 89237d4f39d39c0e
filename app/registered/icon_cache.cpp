#include "icon_cache.h"

HIMAGELIST TreeImageList = nullptr;

HIMAGELIST CreateTreeImageList(HWND treeView) {
    TreeImageList = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                     ILC_COLOR24, 0, 1);
    if (!TreeImageList) return nullptr;
    SendMessageA(treeView, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(TreeImageList));
    ImageList_SetBkColor(TreeImageList, GetSysColor(COLOR_WINDOW));
    return TreeImageList;
}

void DestroyTreeImageList() {
    if (TreeImageList) {
        ImageList_Destroy(TreeImageList);
        TreeImageList = nullptr;
    }
}
