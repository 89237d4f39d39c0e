#include "keep_in_sight.h"

#include "in_sight_geometry.h"

namespace {

// Documents are the container's children: the container's client
// coordinates are their own parent's. The window's own thread is asked to
// move it; waiting for it would hang hoverlane with a hung program.
void MoveKeepingSize(HWND v, LONG x, LONG y, const RECT& size) {
    SetWindowPos(v, nullptr, x, y, size.right - size.left, size.bottom - size.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

}  // namespace

void ScreenRectToClient(HWND window, RECT* rect) {
    POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    ScreenToClient(window, &corners[0]);
    ScreenToClient(window, &corners[1]);
    rect->left = corners[0].x;
    rect->top = corners[0].y;
    rect->right = corners[1].x;
    rect->bottom = corners[1].y;
}

void ShiftRectIntoClient(HWND window, RECT* rect) {
    RECT client = {};
    GetClientRect(window, &client);
    ShiftRectInto(rect, client.right, client.bottom);
}

void KeepInSight(HWND top, HWND container, int cy) {
    // Only documents give way. When the container itself comes to the top,
    // the windows above it are the frame's own bars and palettes, which
    // have their places outside the document area.
    if (GetAncestor(top, GA_PARENT) != container) return;

    RECT r = {};
    if (!GetWindowRect(top, &r)) return;
    ScreenRectToClient(container, &r);

    for (HWND v = GetWindow(top, GW_HWNDPREV); v; v = GetWindow(v, GW_HWNDPREV)) {
        RECT q = {};
        if (!GetWindowRect(v, &q)) continue;  // gone meanwhile
        ScreenRectToClient(container, &q);
        ShiftRectIntoClient(container, &q);
        if (!IsCoveredBy(q, r, cy)) continue;

        // Pulled inside first: the rooms are measured from there.
        MoveKeepingSize(v, q.left, q.top, q);

        // Read again: pulling a window inside may take away the container's
        // scroll bars and so change its client size.
        RECT client = {};
        GetClientRect(container, &client);
        const POINT to = InSightPosition(q, r, client.right, client.bottom, cy);
        MoveKeepingSize(v, to.x, to.y, q);
    }
}
