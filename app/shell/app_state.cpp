#include "app_state.h"

#include "icon_cache.h"
#include "window_node.h"

HINSTANCE Instance = nullptr;
HWND SyncWindow = nullptr;
std::string InstallDirectory;

HWND MainWindow = nullptr;
HWND TreeView = nullptr;
HWND StatusBar = nullptr;
bool MainWindowHidden = false;
UINT TaskbarCreatedMessage = 0;

DWORD MonitorDelay = 0;
int AlwaysInSight = 0;
WORD SliderPosition = 0;

bool MonitoringPaused = false;
POINT LastActivationPoint = {0, 0};

// Before the tree: a tree still alive when the process exits (after a fatal
// error) gives its images back as its nodes go, so the cache must outlive
// it, and statics go in the reverse order of their definitions.
ScopedImageList TreeImageList;
std::map<HICON, IconCacheEntry, HandleOrder> IconCache;
std::vector<int> FreeImages;

std::unique_ptr<WindowNode> RootNode;
WindowNode* SelectedNode = nullptr;
WindowNode* TargetNode = nullptr;
int SelectionsUnderWay = 0;
bool RootExpansionPending = false;

HWND RegisteredProgramsWindow = nullptr;

void ResetApplicationState() {
    // The tree first: its nodes clear the references to themselves, and its
    // items use the image list.
    RootNode.reset();
    SelectedNode = nullptr;
    TargetNode = nullptr;
    SelectionsUnderWay = 0;
    RootExpansionPending = false;
    DestroyTreeImageList();

    Instance = nullptr;
    SyncWindow = nullptr;
    InstallDirectory.clear();
    MainWindow = nullptr;
    TreeView = nullptr;
    StatusBar = nullptr;
    MainWindowHidden = false;
    TaskbarCreatedMessage = 0;
    MonitorDelay = 0;
    AlwaysInSight = 0;
    SliderPosition = 0;
    MonitoringPaused = false;
    LastActivationPoint = {0, 0};
    RegisteredProgramsWindow = nullptr;
}
