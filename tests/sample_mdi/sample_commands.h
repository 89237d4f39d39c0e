// Commands of the sample MDI program. Tests post them as WM_COMMAND to its
// frame window; the same commands are on its menu.
#pragma once

#define SAMPLE_FRAME_CLASS    "HoverlaneSampleFrame"
#define SAMPLE_DOC_CLASS      "HoverlaneSampleDoc"
#define SAMPLE_PANEL_CLASS    "HoverlaneSamplePanel"

// /unicode: the frame and documents of a program written with the Unicode
// functions, titled in three scripts (Cyrillic, Japanese, Greek).
#define SAMPLE_UNICODE_FRAME_CLASS L"HoverlaneSampleUnicodeFrame"
#define SAMPLE_UNICODE_DOC_CLASS   L"HoverlaneSampleUnicodeDoc"
#define SAMPLE_UNICODE_FRAME  L"\x0414\x043E\x043A\x0443\x043C\x0435\x043D\x0442\x044B Unicode"
#define SAMPLE_UNICODE_DOCS   L"\x041E\x0442\x0447\x0451\x0442 \x0437\x0430 \x0433\x043E\x0434", \
                              L"\x6771\x4EAC\x306E\x5730\x56F3", L"\x0395\x03BB\x03BB\x03B7\x03BD\x03B9\x03BA\x03AC"
// The product name of the sample_mdi_cyrillic variant's version resource.
#define SAMPLE_CYRILLIC_PRODUCT L"\x041F\x0440\x0438\x043C\x0435\x0440"

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
#define SAMPLE_CAPTURE_CHILD  129  // a field inside the active document captures the mouse
#define SAMPLE_LAST_COMMAND   SAMPLE_CAPTURE_CHILD
