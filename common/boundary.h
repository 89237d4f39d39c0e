// Windows calls window and dialog procedures, timers and enumeration
// callbacks from its own code, through which a C++ exception must not
// unwind (the i686 programs' unwinder cannot pass a Windows frame at all).
// Each such entry runs its body here: an exception (a std::bad_alloc from a
// string or a map, in practice) stops at the boundary and takes the
// program's own error path instead.
#pragma once

template <typename Body, typename Failure>
auto AtBoundary(Body body, Failure failure) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        return failure();
    }
}
