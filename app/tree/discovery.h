// Keeping the tree in step with the live windows: programs are found by
// their windows alone, a top-level window that holds a container of
// captioned child windows.
#pragma once

#include <windows.h>

#include "window_node.h"

// Re-reads the node's title, keeps its item in step, decides whether the
// node is dead and refreshes its children when due.
void Refresh(WindowNode& node);
// Removes the node's dead children and discovers new ones, in one walk over
// the windows of its level.
void RefreshChildren(WindowNode& node);
// The window that holds W's document windows: its "MDIClient", or else the
// parent of its first acceptable descendant; none without either.
HWND FindContainer(HWND window);
// Enumeration callback of the children discovery; context is the node.
BOOL CALLBACK AddChildWindow(HWND window, LPARAM context);
// Refreshes every program and checks its registration again.
void RefreshPrograms();
