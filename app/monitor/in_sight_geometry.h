// Geometry of Always In Sight. Everything is in client coordinates of the
// container (the MDI client): rectangles are (left, top, right, bottom) with
// right and bottom exclusive, cy is the caption height. No window is
// touched here, so the rules can be checked with plain numbers.
#pragma once

#include <windows.h>

#include <climits>

// Sides a covered window may be moved to, in the order they are tried.
enum class InSightSide { None, Up, Down, Left, Right };

// Space on each side between the covered window and the new top window's
// edge; zero where the new top window is less than cy from the container's
// edge on that side.
struct InSightRooms {
    LONG up;
    LONG down;
    LONG left;
    LONG right;
};

namespace in_sight_detail {

// Sums are taken in 64 bits and pinned to the 32-bit range, so that a
// program that parks windows far outside never makes them wrap around.
inline LONG Pin(long long value) {
    if (value < LONG_MIN) return LONG_MIN;
    if (value > LONG_MAX) return LONG_MAX;
    return static_cast<LONG>(value);
}

}  // namespace in_sight_detail

// Shifts r, keeping its size, so that it lies inside (0, 0, width, height).
// A rectangle bigger than that area ends with its right and bottom edges on
// the area's edges and its left or top edge negative.
inline void ShiftRectInto(RECT* r, LONG width, LONG height) {
    using in_sight_detail::Pin;
    if (r->left < 0) {
        r->right = Pin(static_cast<long long>(r->right) - r->left);
        r->left = 0;
    }
    if (r->top < 0) {
        r->bottom = Pin(static_cast<long long>(r->bottom) - r->top);
        r->top = 0;
    }
    if (r->right > width) {
        r->left = Pin(r->left + (static_cast<long long>(width) - r->right));
        r->right = width;
    }
    if (r->bottom > height) {
        r->top = Pin(r->top + (static_cast<long long>(height) - r->bottom));
        r->bottom = height;
    }
}

// Whether q lies inside r widened by cy on every side (strict on all four).
inline bool IsCoveredBy(const RECT& q, const RECT& r, LONG cy) {
    const long long c = cy;
    if (!(q.left + c > r.left)) return false;
    if (!(q.top + c > r.top)) return false;
    if (!(q.bottom < r.bottom + c)) return false;
    return q.right < r.right + c;
}

// Rooms of a covered window q around the new top window r in a container
// whose client area is width x height.
inline InSightRooms RoomsAround(const RECT& q, const RECT& r, LONG width, LONG height, LONG cy) {
    using in_sight_detail::Pin;
    const long long c = cy;
    InSightRooms rooms;
    rooms.up = r.top >= c ? Pin(static_cast<long long>(q.top) - r.top) : 0;
    rooms.down = r.bottom <= height - c ? Pin(static_cast<long long>(r.bottom) - q.bottom) : 0;
    rooms.left = r.left >= c ? Pin(static_cast<long long>(q.left) - r.left) : 0;
    rooms.right = r.right <= width - c ? Pin(static_cast<long long>(r.right) - q.right) : 0;
    return rooms;
}

// The first side, in the order up, down, left, right, whose room is not zero
// and not greater than any positive room. So the smallest positive room
// wins, the earlier side on a tie, and a negative room (the window already
// sticks out on that side by less than cy) wins when it comes first.
inline InSightSide ChooseSide(const InSightRooms& rooms) {
    const LONG room[4] = {rooms.up, rooms.down, rooms.left, rooms.right};
    bool anyPositive = false;
    LONG smallestPositive = 0;
    for (LONG r : room)
        if (r > 0 && (!anyPositive || r < smallestPositive)) {
            smallestPositive = r;
            anyPositive = true;
        }
    const InSightSide sides[4] = {InSightSide::Up, InSightSide::Down, InSightSide::Left,
                                  InSightSide::Right};
    for (int i = 0; i < 4; ++i)
        if (room[i] != 0 && (!anyPositive || room[i] <= smallestPositive)) return sides[i];
    return InSightSide::None;
}

// Where the covered window q goes so that a strip cy wide stays visible
// beside r: its edge on the chosen side ends cy beyond r's. Never left of or
// above the container's origin.
inline POINT InSightPosition(const RECT& q, const RECT& r, LONG width, LONG height, LONG cy) {
    using in_sight_detail::Pin;
    const InSightRooms rooms = RoomsAround(q, r, width, height, cy);
    long long x = q.left;
    long long y = q.top;
    switch (ChooseSide(rooms)) {
    case InSightSide::Up:
        y -= static_cast<long long>(rooms.up) + cy;
        break;
    case InSightSide::Down:
        y += static_cast<long long>(rooms.down) + cy;
        break;
    case InSightSide::Left:
        x -= static_cast<long long>(rooms.left) + cy;
        break;
    case InSightSide::Right:
        x += static_cast<long long>(rooms.right) + cy;
        break;
    case InSightSide::None:
        break;
    }
    POINT to;
    to.x = x < 0 ? 0 : Pin(x);
    to.y = y < 0 ? 0 : Pin(y);
    return to;
}
