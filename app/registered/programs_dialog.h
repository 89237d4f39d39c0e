// The Registered Programs dialog: lists every registration with the
// program's icon; the user removes entries, and OK unregisters what is no
// longer listed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "registered_programs.h"

// The dialog while it is shown, none otherwise.
extern HWND RegisteredProgramsWindow;

// Column widths in pixels.
constexpr int kProductNameWidth = 200;
constexpr int kProgramPathWidth = 600;
// The list view's texts are read through a buffer of this many characters
// first, and a larger one when a text fills it.
constexpr int kListTextBuffer = MAX_PATH;

INT_PTR CALLBACK RegisteredProgramsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Modal, owned by owner; returns IDOK once it has unregistered what the
// user removed (the caller then has the running programs decide anew
// whether they are registered), IDCANCEL otherwise.
INT_PTR ShowRegisteredProgramsDialog(HINSTANCE instance, HWND owner);

// Lists every registration, each new item at the top, with the first icon
// of its program file as the item's image.
void FillProgramList(HWND listView, HIMAGELIST imageList);
// Removes the item at the list view's selection mark, if there is one.
void DeleteSelectedProgram(HWND dialog);

// The registrations (module paths) that listed no longer shows. A
// registration stays when some item has its program name, letter case
// ignored, and exactly its module path.
std::vector<UiText> RemovedRegistrations(const std::vector<RegisteredProgram>& listed,
                                         const std::vector<RegisteredProgram>& registrations);

// Whole text of an item's column, however long.
UiText ListItemText(HWND listView, int item, int column);
