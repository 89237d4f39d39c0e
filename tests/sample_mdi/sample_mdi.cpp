// A small multiple-document program for Hoverlane's tests and demo: a frame
// with an "MDIClient" and captioned document windows named on the command
// line.
//
//   sample_mdi [/frame:Title] [/at:x,y,w,h] [/panel] [/plain] [/palette:x,y,w,h]
//              [/maxhalf] [/docs:N] [/bars] [/badinstance] [/unicode] [Doc[@x,y,w,h] ...]
//
// /panel puts the documents in a plain child window instead of an MDI client;
// /plain makes a frame with no captioned child windows at all. /palette adds
// a small captioned child of the frame, "Palette", lying over the document
// area and above it in z-order, as tool palettes do. /docs:N opens N more
// documents named "Document K". /maxhalf limits a maximized document to the
// left half of the container, as programs with a fixed page width do, so
// that other documents stay in reach beside it. Documents are placed in
// client coordinates of their container, the palette in the frame's. /bars
// gives the frame a tool bar above and a status bar below the MDI client,
// made before it and so above it in z-order, as many programs make them.
// /badinstance sets an instance handle that names no module on the frame.
// /unicode makes the frame and its documents of Unicode window classes,
// titled in three scripts, as a program written with the W functions does.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sample_commands.h"

namespace {

HINSTANCE instance;
HWND frame;
HWND client;  // the MDI client, or the panel in /panel mode
bool panelMode = false;
bool plainMode = false;
int documentCount = 0;
bool withPalette = false;
bool maximizeToHalf = false;
bool withBars = false;
HWND toolBar;
HWND statusBar;
constexpr int kToolBarHeight = 28;
constexpr int kStatusBarHeight = 22;
RECT paletteRect = {};

struct DocumentRequest {
    std::string title;
    bool placed = false;
    RECT rect = {};
};

std::vector<std::string> SplitCommandLine(const char* text) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (const char* p = text; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            any = true;
        } else if ((*p == ' ' || *p == '\t') && !quoted) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += *p;
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

bool ParseRect(const std::string& text, RECT* rect) {
    int x, y, w, h;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d", &x, &y, &w, &h) != 4) return false;
    *rect = {x, y, x + w, y + h};
    return true;
}

HWND ActiveDocument() {
    if (panelMode) return GetTopWindow(client);
    return reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
}

HWND OpenDocument(const DocumentRequest& wanted) {
    ++documentCount;
    std::string title = wanted.title;
    if (title.empty()) title = "Document " + std::to_string(documentCount);
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, w = CW_USEDEFAULT, h = CW_USEDEFAULT;
    if (wanted.placed) {
        x = wanted.rect.left;
        y = wanted.rect.top;
        w = wanted.rect.right - wanted.rect.left;
        h = wanted.rect.bottom - wanted.rect.top;
    }
    if (panelMode) {
        if (!wanted.placed) {
            x = 10 + 20 * (documentCount - 1);
            y = x;
            w = 200;
            h = 120;
        }
        HWND doc = CreateWindowExA(0, SAMPLE_DOC_CLASS, title.c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_CLIPSIBLINGS | WS_THICKFRAME,
                                   x, y, w, h, client, nullptr, instance, nullptr);
        SetWindowPos(doc, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return doc;
    }
    return CreateMDIWindowA(SAMPLE_DOC_CLASS, title.c_str(), WS_VISIBLE, x, y, w, h, client,
                            instance, 0);
}

void ShowPopupMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "First");
    AppendMenuA(menu, MF_STRING, 2, "Second");
    // Beside the pointer, not under it, so that the window under the pointer
    // stays the one it was.
    POINT at;
    GetCursorPos(&at);
    SetForegroundWindow(frame);
    TrackPopupMenu(menu, 0, at.x + 16, at.y + 16, 0, frame, nullptr);
    PostMessageA(frame, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

bool modalOpen = false;

// As a Find dialog does: the frame is disabled while it is open. It lies
// below the frame, away from the documents.
void RunModalDialog() {
    RECT at;
    GetWindowRect(frame, &at);
    HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, SAMPLE_PANEL_CLASS, "Find",
                                  WS_POPUP | WS_CAPTION | WS_VISIBLE, at.left, at.bottom + 10, 240, 80,
                                  frame, nullptr, instance, nullptr);
    EnableWindow(frame, FALSE);
    modalOpen = true;
    MSG message;
    while (modalOpen && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    EnableWindow(frame, TRUE);
    DestroyWindow(dialog);
}

void OnCommand(int id) {
    HWND active = ActiveDocument();
    switch (id) {
    case SAMPLE_NEW_DOC:
        OpenDocument(DocumentRequest());
        break;
    case SAMPLE_CLOSE_DOC:
        if (!active) break;
        if (panelMode)
            DestroyWindow(active);
        else
            SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(active), 0);
        break;
    case SAMPLE_EXIT:
        DestroyWindow(frame);
        break;
    case SAMPLE_TILE:
        if (!panelMode) SendMessageA(client, WM_MDITILE, MDITILE_VERTICAL, 0);
        break;
    case SAMPLE_CASCADE:
        if (!panelMode) SendMessageA(client, WM_MDICASCADE, 0, 0);
        break;
    case SAMPLE_MAXIMIZE_DOC:
        if (active) SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(active), 0);
        break;
    case SAMPLE_RESTORE_DOC:
        if (active) SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(active), 0);
        break;
    case SAMPLE_MINIMIZE_DOC:
        if (active) ShowWindow(active, SW_MINIMIZE);
        break;
    case SAMPLE_POPUP_MENU:
        ShowPopupMenu();
        break;
    case SAMPLE_END_MENU:
        EndMenu();
        break;
    case SAMPLE_CAPTURE:
        if (active) SetCapture(active);
        break;
    case SAMPLE_CAPTURE_CHILD:
        // As an edit field does while text is selected with the mouse.
        if (active)
            SetCapture(CreateWindowExA(0, SAMPLE_PANEL_CLASS, "Field", WS_CHILD | WS_VISIBLE, 10, 10, 60, 20,
                                       active, nullptr, instance, nullptr));
        break;
    case SAMPLE_RELEASE:
        ReleaseCapture();
        break;
    case SAMPLE_MOVE_DOC:
        // Keyboard move loop: runs until Escape or Return.
        if (active) PostMessageA(active, WM_SYSCOMMAND, SC_MOVE, 0);
        break;
    case SAMPLE_FOREGROUND:
        SetForegroundWindow(frame);
        break;
    case SAMPLE_MODAL:
        if (!modalOpen) RunModalDialog();
        break;
    case SAMPLE_END_MODAL:
        modalOpen = false;
        break;
    default:
        break;
    }
}

LRESULT CALLBACK DocumentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        char title[260];
        GetWindowTextA(window, title, sizeof(title));
        RECT area;
        GetClientRect(window, &area);
        DrawTextA(dc, title, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetCapture(window);
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        return 0;
    case WM_GETMINMAXINFO:
        if (maximizeToHalf && !panelMode) {
            DefMDIChildProcA(window, message, wParam, lParam);
            RECT area;
            GetClientRect(client, &area);
            MINMAXINFO* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMaxSize.x = area.right / 2;
            limits->ptMaxSize.y = area.bottom;
            limits->ptMaxPosition.x = 0;
            limits->ptMaxPosition.y = 0;
            limits->ptMaxTrackSize = limits->ptMaxSize;
            return 0;
        }
        break;
    default:
        break;
    }
    return panelMode ? DefWindowProcA(window, message, wParam, lParam)
                     : DefMDIChildProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        RECT area;
        GetClientRect(window, &area);
        if (plainMode) return 0;
        if (panelMode) {
            client = CreateWindowExA(0, SAMPLE_PANEL_CLASS, "",
                                     WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, area.right,
                                     area.bottom, window, nullptr, instance, nullptr);
            return 0;
        }
        int top = 0, height = area.bottom;
        if (withBars) {
            toolBar = CreateWindowExA(0, SAMPLE_PANEL_CLASS, "Tool bar", WS_CHILD | WS_VISIBLE | WS_BORDER,
                                      0, 0, area.right, kToolBarHeight, window, nullptr, instance,
                                      nullptr);
            statusBar = CreateWindowExA(0, SAMPLE_PANEL_CLASS, "Status bar",
                                        WS_CHILD | WS_VISIBLE | WS_BORDER, 0,
                                        area.bottom - kStatusBarHeight, area.right, kStatusBarHeight,
                                        window, nullptr, instance, nullptr);
            top = kToolBarHeight;
            height -= kToolBarHeight + kStatusBarHeight;
        }
        CLIENTCREATESTRUCT create = {};
        // The Window menu lists the documents, except where Wine reports a
        // 95-family Windows: there a 32-bit program that keeps that list
        // takes seconds per document to end (a fault in Wine's user32 as
        // the list goes, which its 16-bit kernel's handler repeats a
        // million times).
        const bool family95 = (GetVersion() & 0x80000000) != 0;
        create.hWindowMenu = family95 ? nullptr : GetSubMenu(GetMenu(window), 1);
        create.idFirstChild = 1000;
        client = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                 WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0,
                                 top, area.right, height, window, nullptr, instance, &create);
        return 0;
    }
    case WM_SIZE:
        if (panelMode && client) MoveWindow(client, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        if (withBars && client) {
            const int width = LOWORD(lParam), height = HIWORD(lParam);
            MoveWindow(toolBar, 0, 0, width, kToolBarHeight, TRUE);
            MoveWindow(statusBar, 0, height - kStatusBarHeight, width, kStatusBarHeight, TRUE);
            MoveWindow(client, 0, kToolBarHeight, width, height - kToolBarHeight - kStatusBarHeight,
                       TRUE);
            return 0;  // the frame's own layout would give the client the whole area
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == SAMPLE_HANG) {
            Sleep(static_cast<DWORD>(lParam));
            return 0;
        }
        if (LOWORD(wParam) >= SAMPLE_NEW_DOC && LOWORD(wParam) <= SAMPLE_LAST_COMMAND) {
            OnCommand(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    if (panelMode || plainMode) return DefWindowProcA(window, message, wParam, lParam);
    return DefFrameProcA(window, client, message, wParam, lParam);
}

HMENU BuildMenu() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, SAMPLE_NEW_DOC, "&New Document");
    AppendMenuA(file, MF_STRING, SAMPLE_CLOSE_DOC, "&Close Document");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, SAMPLE_EXIT, "E&xit");
    HMENU window = CreatePopupMenu();
    AppendMenuA(window, MF_STRING, SAMPLE_TILE, "&Tile");
    AppendMenuA(window, MF_STRING, SAMPLE_CASCADE, "&Cascade");
    AppendMenuA(window, MF_STRING, SAMPLE_MAXIMIZE_DOC, "&Maximize Document");
    AppendMenuA(window, MF_STRING, SAMPLE_RESTORE_DOC, "&Restore Document");
    AppendMenuA(window, MF_STRING, SAMPLE_MINIMIZE_DOC, "M&inimize Document");
    HMENU test = CreatePopupMenu();
    AppendMenuA(test, MF_STRING, SAMPLE_POPUP_MENU, "&Popup Menu");
    AppendMenuA(test, MF_STRING, SAMPLE_CAPTURE, "&Capture Mouse");
    AppendMenuA(test, MF_STRING, SAMPLE_CAPTURE_CHILD, "Capture Mouse in a &Field");
    AppendMenuA(test, MF_STRING, SAMPLE_MOVE_DOC, "&Move Document");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "&Window");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(test), "&Test");
    return bar;
}

void RegisterClasses() {
    WNDCLASSEXA frameClass = {};
    frameClass.cbSize = sizeof(frameClass);
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    frameClass.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                       GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    frameClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    frameClass.lpszClassName = SAMPLE_FRAME_CLASS;
    RegisterClassExA(&frameClass);

    WNDCLASSEXA docClass = frameClass;
    docClass.lpfnWndProc = DocumentProc;
    docClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    docClass.hIconSm = nullptr;
    docClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    docClass.lpszClassName = SAMPLE_DOC_CLASS;
    RegisterClassExA(&docClass);

    WNDCLASSEXA panelClass = frameClass;
    panelClass.lpfnWndProc = DefWindowProcA;
    panelClass.hIcon = nullptr;
    panelClass.hIconSm = nullptr;
    panelClass.lpszClassName = SAMPLE_PANEL_CLASS;
    RegisterClassExA(&panelClass);
}

LRESULT CALLBACK UnicodeFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        CLIENTCREATESTRUCT create = {};
        create.idFirstChild = 1000;
        client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                 window, nullptr, instance, &create);
        return client ? 0 : -1;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefFrameProcW(window, client, message, wParam, lParam);
}

int RunUnicode(const RECT& at) {
    WNDCLASSEXW frameClass = {};
    frameClass.cbSize = sizeof(frameClass);
    frameClass.lpfnWndProc = UnicodeFrameProc;
    frameClass.hInstance = instance;
    frameClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    frameClass.lpszClassName = SAMPLE_UNICODE_FRAME_CLASS;
    RegisterClassExW(&frameClass);
    WNDCLASSEXW docClass = frameClass;
    docClass.lpfnWndProc = DefMDIChildProcW;
    docClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    docClass.lpszClassName = SAMPLE_UNICODE_DOC_CLASS;
    RegisterClassExW(&docClass);
    frame = CreateWindowExW(0, SAMPLE_UNICODE_FRAME_CLASS, SAMPLE_UNICODE_FRAME,
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, at.left, at.top, at.right - at.left,
                            at.bottom - at.top, nullptr, nullptr, instance, nullptr);
    if (!frame) return 1;
    ShowWindow(frame, SW_SHOWNORMAL);
    int offset = 0;
    for (const wchar_t* title : {SAMPLE_UNICODE_DOCS}) {
        MDICREATESTRUCTW create = {};
        create.szClass = SAMPLE_UNICODE_DOC_CLASS;
        create.szTitle = title;
        create.hOwner = instance;
        create.x = create.y = offset;
        create.cx = 300;
        create.cy = 200;
        SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create));
        offset += 40;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateMDISysAccel(client, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR commandLine, int) {
    instance = hInstance;
    std::string title = "Sample MDI";
    RECT at = {200, 160, 200 + 760, 160 + 560};
    bool badInstance = false;
    std::vector<DocumentRequest> documents;
    int moreDocuments = 0;
    bool unicode = false;
    for (const std::string& word : SplitCommandLine(commandLine)) {
        if (word == "/unicode") {
            unicode = true;
        } else if (word.rfind("/frame:", 0) == 0) {
            title = word.substr(7);
        } else if (word.rfind("/at:", 0) == 0) {
            ParseRect(word.substr(4), &at);
        } else if (word == "/panel") {
            panelMode = true;
        } else if (word == "/plain") {
            plainMode = true;
        } else if (word == "/maxhalf") {
            maximizeToHalf = true;
        } else if (word == "/bars") {
            withBars = true;
        } else if (word == "/badinstance") {
            badInstance = true;
        } else if (word.rfind("/palette:", 0) == 0) {
            withPalette = ParseRect(word.substr(9), &paletteRect);
        } else if (word.rfind("/docs:", 0) == 0) {
            moreDocuments = std::atoi(word.c_str() + 6);
        } else {
            DocumentRequest wanted;
            const size_t mark = word.rfind('@');
            wanted.title = word.substr(0, mark);
            if (mark != std::string::npos) wanted.placed = ParseRect(word.substr(mark + 1), &wanted.rect);
            documents.push_back(wanted);
        }
    }

    if (unicode) return RunUnicode(at);
    RegisterClasses();
    frame = CreateWindowExA(0, SAMPLE_FRAME_CLASS, title.c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, at.left, at.top,
                            at.right - at.left, at.bottom - at.top, nullptr, BuildMenu(), instance,
                            nullptr);
    if (!frame) return 1;
    if (badInstance) SetWindowLongPtrA(frame, GWLP_HINSTANCE, 0x10000);
    ShowWindow(frame, SW_SHOWNORMAL);
    UpdateWindow(frame);
    if (!plainMode) {
        for (const DocumentRequest& wanted : documents) OpenDocument(wanted);
        for (int i = 0; i < moreDocuments; ++i) OpenDocument(DocumentRequest());
    }
    if (withPalette) {
        HWND palette = CreateWindowExA(
            0, SAMPLE_PANEL_CLASS, "Palette", WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_CLIPSIBLINGS,
            paletteRect.left, paletteRect.top, paletteRect.right - paletteRect.left,
            paletteRect.bottom - paletteRect.top, frame, nullptr, instance, nullptr);
        SetWindowPos(palette, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!panelMode && !plainMode && TranslateMDISysAccel(client, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
