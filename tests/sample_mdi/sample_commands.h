// Commands of the sample MDI program. Tests post them as WM_COMMAND to its
// frame window; the same commands are on its menu.
#pragma once

#define SAMPLE_FRAME_CLASS    "HoverlaneSampleFrame"
#define SAMPLE_DOC_CLASS      "HoverlaneSampleDoc"
#define SAMPLE_PANEL_CLASS    "HoverlaneSamplePanel"

#define SAMPLE_NEW_DOC        100  // opens "Document N"
#define SAMPLE_CLOSE_DOC      101  // closes the active document
#define SAMPLE_EXIT           102
#define SAMPLE_TILE           110
#define SAMPLE_CASCADE        111
#define SAMPLE_MAXIMIZE_DOC   112  // maximizes the active document
#define SAMPLE_RESTORE_DOC    113
#define SAMPLE_MINIMIZE_DOC   114
#define SAMPLE_POPUP_MENU     120  // opens a popup menu beside the pointer
#define SAMPLE_END_MENU       121  // closes that menu
#define SAMPLE_CAPTURE        122  // the active document captures the mouse
#define SAMPLE_RELEASE        123  // releases the capture
#define SAMPLE_MOVE_DOC       124  // starts moving the active document (keyboard move loop)
#define SAMPLE_FOREGROUND     125  // makes the frame the foreground window
#define SAMPLE_HANG           126  // stops answering for lParam milliseconds
#define SAMPLE_MODAL          127  // opens a modal "Find" dialog, which disables the frame
#define SAMPLE_END_MODAL      128  // closes it
#define SAMPLE_LAST_COMMAND   SAMPLE_END_MODAL
