# Shared steps of the project's scripts; sourced, not run.
# HL_ROOT is the checkout, HL_BUILD the x86_64 build tree, HL_LOGS the folder
# where every step keeps its output.

HL_ROOT=$(cd "$(dirname "$0")/.." && pwd)
HL_BUILD=${HL_BUILD:-$HL_ROOT/build/x64}
HL_LOGS=${HL_LOGS:-$HL_ROOT/build/logs}
# The Debian packages each build preset needs to be built and run: x64 for
# the x86_64 programs (the main job, the benchmarks, the pictures), x86 adds
# the i686 compiler and Wine's 32-bit side (wine32, an i386 package).
HL_PACKAGES_x64="cmake make g++-mingw-w64-x86-64-win32 googletest \
wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick python3"
HL_PACKAGES_x86="g++-mingw-w64-i686-win32 wine32:i386"
# A release builds the shipped programs of both widths, and may sign them.
HL_PACKAGES_release="cmake make g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 python3"
HL_PACKAGES_sign="osslsigncode"
# Every test variant: its build preset, Wine loader and the Windows version
# Wine reports in its prefix (none: Wine's default, an NT system).
HL_VARIANTS="x64 x86 x86-95"

hl_log() { printf '== %s\n' "$*" >&2; }

# hl_step <log> <command> [<argument>...]: runs the command with its output
# added to the log; on failure shows the end of the log (HL_STEP_TAIL lines)
# and returns the command's exit code.
hl_step() {
    hl_step_log=$1
    shift
    printf '\n$ %s\n' "$*" >>"$hl_step_log"
    "$@" </dev/null >>"$hl_step_log" 2>&1 && return 0
    hl_step_rc=$?
    hl_log "exit code $hl_step_rc from: $*; the end of $hl_step_log:"
    tail -n "${HL_STEP_TAIL:-12}" "$hl_step_log" | sed 's/^/   /' >&2
    return $hl_step_rc
}

hl_apt_get() {
    $hl_sudo env DEBIAN_FRONTEND=noninteractive apt-get -q -o DPkg::Lock::Timeout=600 "$@"
}

# hl_packages <preset>...: the packages those presets need, each once.
hl_packages() {
    hl_packages_list=""
    for preset in "$@"; do
        eval "hl_packages_of=\${HL_PACKAGES_$preset-}"
        [ -n "$hl_packages_of" ] || { hl_log "no packages known for preset \"$preset\""; return 1; }
        for p in $hl_packages_of; do
            case " $hl_packages_list " in *" $p "*) ;; *) hl_packages_list="$hl_packages_list $p" ;; esac
        done
    done
    echo $hl_packages_list
}

# The codename of the installed Debian release (bookworm), from the system.
hl_codename() {
    (. "${HL_OS_RELEASE:-/etc/os-release}" && echo "${VERSION_CODENAME:-}")
}

# hl_install_deps <preset>...: installs the Debian packages those presets
# need, when any is missing. A package mirror in the middle of a sync serves
# indexes that do not match their files ("Mirror sync in progress?"): apt-get
# update fails for one archive, and its packages (the security updates) are
# then newer for one architecture than for the other, which Multi-Arch
# packages (wine32's i386 libraries) cannot be. So a failed install is tried
# again at once with the release's own versions (-t <codename>), and only
# then, after a pause, all over again, a bounded number of times.
hl_install_deps() {
    hl_wanted=$(hl_packages "$@") || return 1
    missing=""
    for p in $hl_wanted; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    mkdir -p "$HL_LOGS"
    log="$HL_LOGS/apt.log"
    printf '\n==== %s: installing%s\n' "$(date)" "$missing" >>"$log"
    hl_log "installing:$missing (apt-get's output: $log)"
    hl_sudo=""
    [ "$(id -u)" -ne 0 ] && hl_sudo="sudo"
    case "$missing" in
    *:i386*)
        dpkg --print-foreign-architectures | grep -qx i386 ||
            hl_step "$log" $hl_sudo dpkg --add-architecture i386 || return 1
        ;;
    esac
    codename=$(hl_codename) || codename=""
    HL_STEP_TAIL=2
    tries=${HL_APT_TRIES:-4}
    pause=${HL_APT_PAUSE:-45}
    try=1
    while :; do
        why=""
        hl_step "$log" hl_apt_get update || why="apt-get update failed"
        # Lists that failed to update may still hold everything needed.
        if hl_step "$log" hl_apt_get install -y --no-install-recommends $missing; then
            printf '==== installed with the newest versions (try %s)\n' "$try" >>"$log"
            unset HL_STEP_TAIL
            return 0
        fi
        if [ -n "$codename" ]; then
            hl_log "installing again with $codename's own versions"
            if hl_step "$log" hl_apt_get install -y --no-install-recommends -t "$codename" $missing; then
                printf '==== installed with the versions of %s (try %s)\n' "$codename" "$try" >>"$log"
                unset HL_STEP_TAIL
                return 0
            fi
        fi
        why="${why:+$why, }apt-get install failed${codename:+ with the newest and with $codename's versions}"
        [ "$try" -ge "$tries" ] && break
        hl_log "$why (try $try of $tries); trying again in ${pause}s, in case the mirror is in the middle of a sync"
        sleep "$pause"
        try=$((try + 1))
    done
    unset HL_STEP_TAIL
    printf '==== not installed: %s\n' "$why" >>"$log"
    hint="the package mirror may be in the middle of a sync: run the command again in an hour, or install these packages yourself"
    # An i386 index behind the amd64 libraries already installed blocks only
    # the i686 programs.
    case "$missing" in *:i386*) hint="$hint; without them, scripts/run.sh and scripts/test.sh x64 work" ;; esac
    hl_log "cannot install:$missing ($why, $tries tries; $log): $hint"
    return 1
}

# hl_build <preset> [<target>...]: configure and build one preset (x64 or
# x86), all of it or only the targets named.
hl_build() {
    mkdir -p "$HL_LOGS"
    : >"$HL_LOGS/configure-$1.log"
    hl_step "$HL_LOGS/configure-$1.log" cmake --preset "$1" || return 1
    hl_build_preset=$1
    shift
    [ $# -eq 0 ] || set -- --target "$@"
    cmake --build --preset "$hl_build_preset" -j "$(nproc)" "$@"
}

# Starts a private Xvfb on a display it picks itself (so that several runs on
# one machine never share a display) and exports DISPLAY.
hl_start_xvfb() {
    mkdir -p "$HL_LOGS"
    f=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$f" >>"$HL_LOGS/xvfb.log" 2>&1 &
    HL_XVFB_PID=$!
    i=0
    while [ ! -s "$f" ]; do
        i=$((i + 1))
        [ $i -gt 200 ] && { hl_log "Xvfb did not start (see $HL_LOGS/xvfb.log)"; rm -f "$f"; return 1; }
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$f")"
    rm -f "$f"
    hl_log "Xvfb on $DISPLAY"
}

# hl_prepare_prefix <folder> [<windows version>]: a fresh Wine prefix in a
# new folder below <folder>, exported as WINEPREFIX, with one wineserver
# kept alive for the whole run and Wine's services started outside any pipe
# of ctest (they would hold its output open for ever). Shortcuts that tests
# make must not turn into menu entries of the build machine: no
# winemenubuilder. A program that crashes ends there: no debugger that would
# hold ctest's output open and wait for ever. With a version (win98), Wine
# reports that Windows to every program.
#
# Each run gets a folder of its own, never one removed and made again under
# the same name, and the prefixes of earlier runs go only once their
# wineserver has ended. A step that fails is shown with its output, and the
# preparation starts again in another new folder, a bounded number of times.
hl_prepare_prefix() {
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
    mkdir -p "$1"
    hl_remove_old_prefixes "$1"
    try=1
    while :; do
        WINEPREFIX=$(mktemp -d "$1/run-$$-XXXXXX")
        export WINEPREFIX
        hl_log "preparing Wine prefix $WINEPREFIX${2:+ (Windows version $2)}"
        hl_prefix_steps "$WINEPREFIX.log" "${2:-}" && return 0
        hl_prefix_step_failed=$?
        wineserver -k >/dev/null 2>&1 || true
        [ "$try" -ge 3 ] && break
        # 53 is Wine's status c0000135 (a DLL not found) cut to a byte: it could
        # not load the program, as when Wine's 32-bit side (wine32) came or went
        # while the prefix was being made.
        [ "$hl_prefix_step_failed" -eq 53 ] &&
            hl_log "exit code 53: Wine could not load a program or its DLLs (status c0000135)"
        hl_log "preparing the prefix failed (exit code $hl_prefix_step_failed, see above); once more in a new folder (try $((try + 1)) of 3)"
        try=$((try + 1))
    done
    hl_log "could not prepare a Wine prefix in $1 (3 tries; logs: $1/run-*.log)"
    return 1
}

# The steps of one preparation, each with its output in the log.
hl_prefix_steps() {
    log=$1
    : >"$log"
    hl_step "$log" wineboot -i || return
    hl_step "$log" wineserver -w || return
    # The user folders link to $HOME: make them real folders inside the prefix.
    u="$WINEPREFIX/drive_c/users/$(whoami)"
    for d in Desktop Documents Downloads Music Pictures Videos Templates; do
        if [ -L "$u/$d" ]; then rm "$u/$d" && mkdir "$u/$d" || return; fi
    done
    hl_step "$log" cp /usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/tahoma*.ttf \
        "$WINEPREFIX/drive_c/windows/Fonts/" || return
    # No window manager: Wine draws the captions itself.
    hl_step "$log" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f || return
    if [ -n "$2" ]; then
        hl_step "$log" wine reg add 'HKCU\Software\Wine' /v Version /d "$2" /f || return
    fi
    hl_step "$log" wineserver -w || return
    hl_step "$log" wineserver -p || return
    hl_step "$log" wineboot || return
    hl_keep_desktop "$log"
}

# hl_remove_old_prefixes <folder>: removes the prefixes of earlier runs below
# the folder (a run that still goes keeps its own), once each one's
# wineserver has ended, and their logs.
hl_remove_old_prefixes() {
    for old in "$1"/run-*; do
        [ -d "$old" ] || continue
        owner=${old##*/run-}
        owner=${owner%%-*}
        [ "$owner" != "$$" ] && kill -0 "$owner" 2>/dev/null && continue
        # wineserver -k returns once the server has ended (it waits for its
        # lock), and fails when none runs.
        WINEPREFIX="$old" wineserver -k >/dev/null 2>&1 || true
        rm -rf "$old" "$old.log"
    done
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
    printf '\n$ wine %s (in the background)\n' "$keeper" >>"$1"
    wine "$keeper" "Z:$(printf '%s' "$ready" | tr / '\\')" </dev/null >>"$1" 2>&1 &
    keeper_pid=$!
    i=0
    while [ ! -f "$ready" ]; do
        i=$((i + 1))
        if ! kill -0 "$keeper_pid" 2>/dev/null; then
            keeper_rc=0
            wait "$keeper_pid" || keeper_rc=$?
            hl_log "the desktop keeper ended (exit code $keeper_rc) before Wine's desktop was there (log: $1)"
            return 1
        fi
        [ $i -gt 300 ] && { hl_log "Wine's desktop did not start (log: $1)"; return 1; }
        sleep 0.1
    done
    return 0
}

# hl_headless_session <folder> [<windows version>]: a private Xvfb and a
# fresh Wine prefix below the folder, both ended when the script ends.
hl_headless_session() {
    trap hl_cleanup EXIT
    trap 'exit 130' INT TERM
    hl_start_xvfb
    hl_prepare_prefix "$@"
}

hl_cleanup() {
    [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true
    [ -z "${HL_XVFB_PID:-}" ] || kill "$HL_XVFB_PID" 2>/dev/null || true
}

# hl_variant <name>: the build tree (HL_VARIANT_BUILD), its preset and the
# Windows version Wine reports (HL_VARIANT_VERSION) of a test variant.
hl_variant() {
    case "$1" in
    x64) HL_VARIANT_PRESET=x64 HL_VARIANT_VERSION="" ;;
    x86) HL_VARIANT_PRESET=x86 HL_VARIANT_VERSION="" ;;
    x86-95) HL_VARIANT_PRESET=x86 HL_VARIANT_VERSION=win98 ;;
    *) hl_log "no variant \"$1\" (variants: $HL_VARIANTS)"; return 1 ;;
    esac
    HL_VARIANT_BUILD="$HL_ROOT/build/$HL_VARIANT_PRESET"
}

# hl_test_variant <name> [<ctest argument>...]: the suite of one variant in
# a session of its own (display, prefix); ctest's output goes to stdout.
hl_test_variant() {
    hl_variant "$1" || return 1
    hl_variant_name=$1
    shift
    if [ "$HL_VARIANT_PRESET" = x86 ] && [ ! -x /usr/lib/wine/wine ]; then
        hl_log "$hl_variant_name: Wine's 32-bit side is missing (package wine32:i386)"
        return 1
    fi
    (
        HL_BUILD=$HL_VARIANT_BUILD
        hl_headless_session "$HL_BUILD/wine/$hl_variant_name" "$HL_VARIANT_VERSION" || exit 1
        # ctest's emulator runs the test programs in this prefix only.
        export HL_TEST_PREFIX="$WINEPREFIX"
        mkdir -p "$HL_LOGS"
        results="$HL_LOGS/ctest-$hl_variant_name.xml"
        rm -f "$results"
        rc=0
        ctest --test-dir "$HL_BUILD" --output-on-failure --output-junit "$results" "$@" || rc=$?
        [ ! -f "$results" ] || python3 -B "$HL_ROOT/scripts/skipped_cases.py" "$results"
        exit $rc
    )
}
