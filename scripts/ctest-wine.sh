#!/bin/sh
# ctest's emulator for the test programs (see cmake/mingw-*.cmake): runs one
# under Wine with the loader given first. Inside scripts/test.sh, which
# prepares a prefix and a display for the run and names the prefix in
# HL_TEST_PREFIX, it runs there. Plain ctest never uses the user's own Wine
# prefix (~/.wine) nor display: listing the tests (ctest -N) runs the
# programs in a prefix of the build tree without a display, and running a
# test says how to run it.
loader=$1
shift
if [ ! -x "$loader" ]; then
    echo "$loader is missing: scripts/test.sh installs what the tests need (wine32:i386 for i686)" >&2
    exit 1
fi
if [ -n "${HL_TEST_PREFIX:-}" ] && [ "${WINEPREFIX:-}" = "$HL_TEST_PREFIX" ]; then
    # The test program marks its start first thing (test_main.cpp). Under
    # load Wine has, about once in 1,600 starts, ended a test program with
    # no output at all before its main() ran: such a program is started once
    # more, and the output says so and with which exit code it ended.
    mark=$(mktemp "${TMPDIR:-/tmp}/hl-started-XXXXXX")
    rm -f "$mark"
    export HL_START_MARK="Z:$mark"
    rc=0
    "$loader" "$@" || rc=$?
    if [ "$rc" -ne 0 ] && [ ! -e "$mark" ]; then
        echo "ctest-wine.sh: the test program ended with exit code $rc before its main() ran; starting it once more"
        rc=0
        "$loader" "$@" || rc=$?
    fi
    rm -f "$mark"
    exit "$rc"
fi

case " $* " in
*" --gtest_list_tests "*)
    # The build tree: the folder above the program that holds CMakeCache.txt.
    build=$(dirname "$1")
    while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
    export WINEPREFIX="$build/wine/list" WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
    unset DISPLAY WAYLAND_DISPLAY
    mkdir -p "$WINEPREFIX"
    # Wine's services start here, outside ctest's pipe, which they would hold
    # open; the server stays a minute for the next program's listing.
    # The same loader throughout: a prefix made without Wine's 32-bit side
    # cannot start a 32-bit program once it is installed.
    wineserver -p60 >/dev/null 2>&1
    "$loader" wineboot </dev/null >>"$WINEPREFIX.log" 2>&1
    exec "$loader" "$@"
    ;;
esac
echo "Hoverlane's tests run under Wine on a private display, in a prefix made for the run:" \
    "use scripts/test.sh [x64|x86|x86-95] -R <test name>" >&2
exit 1
