#include "keep_in_sight.h"

#include "in_sight_geometry.h"

namespace {

// Moves v to (x, y) of the container's client coordinates. Document windows
// are the container's children and use them as they are; any other window
// (a sibling of the container, when the container itself comes to the top)
// is placed in its own parent's coordinates, or it would creep by the
// container's offset at every activation.
void MoveKeepingSize(HWND v, HWND container, LONG x, LONG y, const RECT& size) {
    POINT at = {x, y};
    HWND parent = GetAncestor(v, GA_PARENT);
    if (parent && parent != container) MapWindowPoints(container, parent, &at, 1);
    MoveWindow(v, at.x, at.y, size.right - size.left, size.bottom - size.top, TRUE);
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
        MoveKeepingSize(v, container, q.left, q.top, q);

        // Read again: pulling a window inside may take away the container's
        // scroll bars and so change its client size.
        RECT client = {};
        GetClientRect(container, &client);
        const POINT to = InSightPosition(q, r, client.right, client.bottom, cy);
        MoveKeepingSize(v, container, to.x, to.y, q);
    }
}
