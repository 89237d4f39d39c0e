#include "app_state.h"

#include "dialogs.h"
#include "errors.h"
#include "monitor.h"
#include "programs_dialog.h"
#include "settings.h"
#include "shell_state.h"
#include "tree_view.h"
#include "window_node.h"

void ResetApplicationState() {
    // The tree first: its nodes clear the references to themselves, and its
    // items use the image list.
    ResetTree();
    ResetTreeView();
    ResetShellState();
    ResetSettings();
    ResetDialogs();
    ResetMonitor();
    ResetErrors();
    RegisteredProgramsWindow = nullptr;
}
