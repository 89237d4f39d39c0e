# Shared steps of the project's scripts; sourced, not run.
# HL_ROOT is the checkout, HL_BUILD the x86_64 build tree.

HL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
HL_BUILD=${HL_BUILD:-$HL_ROOT/build/x64}
HL_PACKAGES="cmake make g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 googletest \
wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick python3"

hl_log() { printf '== %s\n' "$*" >&2; }

# Installs the Debian packages the build and the tests need, when any is missing.
hl_install_deps() {
    missing=""
    for p in $HL_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    hl_log "installing:$missing"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
}

# hl_build <preset>: configure and build one preset (x64 or x86).
hl_build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1" -j "$(nproc)"
}

# Starts a private Xvfb on a display it picks itself (so that several runs on
# one machine never share a display) and exports DISPLAY.
hl_start_xvfb() {
    f=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$f" >/dev/null 2>&1 &
    HL_XVFB_PID=$!
    i=0
    while [ ! -s "$f" ]; do
        i=$((i + 1))
        [ $i -gt 200 ] && { hl_log "Xvfb did not start"; rm -f "$f"; return 1; }
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$f")"
    rm -f "$f"
    hl_log "Xvfb on $DISPLAY"
}

# hl_prepare_prefix <dir>: a fresh Wine prefix with one wineserver kept alive
# for the whole run, and Wine's services started outside any pipe of ctest
# (they would hold its output open for ever). Shortcuts that tests make must
# not turn into menu entries of the build machine: no winemenubuilder. A
# program that crashes ends there: no debugger that would hold ctest's
# output open and wait for ever.
hl_prepare_prefix() {
    export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    hl_log "preparing Wine prefix $WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
    # The user folders link to $HOME: make them real folders inside the prefix.
    u="$WINEPREFIX/drive_c/users/$(whoami)"
    for d in Desktop Documents Downloads Music Pictures Videos Templates; do
        if [ -L "$u/$d" ]; then rm "$u/$d" && mkdir "$u/$d"; fi
    done
    cp /usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/tahoma*.ttf \
        "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # No window manager: Wine draws the captions itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    wineserver -w
    wineserver -p
    wineboot </dev/null >/dev/null 2>&1
    hl_keep_desktop
}

# Wine closes its desktop a second after the last program ends, and the next
# program's new desktop process inherits that program's output: ctest would
# wait for it. One program keeps the desktop for the whole run, and the
# tests start only once it exists, so that no test program makes it.
hl_keep_desktop() {
    keeper="$HL_BUILD/tools/desktop_keeper.exe"
    [ -f "$keeper" ] || return 0
    ready="$WINEPREFIX/desktop.ready"
    rm -f "$ready"
    wine "$keeper" "Z:$(printf '%s' "$ready" | tr / '\\')" </dev/null >/dev/null 2>&1 &
    i=0
    while [ ! -f "$ready" ]; do
        i=$((i + 1))
        [ $i -gt 300 ] && { hl_log "Wine's desktop did not start"; return 1; }
        sleep 0.1
    done
    return 0
}

# hl_headless_session <prefix dir>: a private Xvfb and a fresh Wine prefix,
# both ended when the script ends.
hl_headless_session() {
    trap hl_cleanup EXIT
    trap 'exit 130' INT TERM
    hl_start_xvfb
    hl_prepare_prefix "$1"
}

hl_cleanup() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
    [ -n "${HL_XVFB_PID:-}" ] && kill "$HL_XVFB_PID" 2>/dev/null
    return 0
}
