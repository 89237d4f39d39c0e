#!/bin/sh
# Takes screenshots of hoverlane under Wine on a private virtual display:
# the main window with the sample MDI program's item opened (its documents
# listed and the program selected), and the whole screen. Writes PNG files
# to the folder given (default build/x64/screenshots) and prints their paths.
set -eu
. "$(dirname "$0")/lib.sh"

out=${1:-$HL_BUILD/screenshots}
hl_install_deps
hl_build x64
hl_headless_session "$HL_BUILD/shotprefix"
mkdir -p "$out"

# wait_for <seconds> <command...>: runs the command until it succeeds.
wait_for() {
    limit=$1
    shift
    i=0
    while ! "$@" >/dev/null 2>&1; do
        i=$((i + 1))
        [ $i -gt $((limit * 5)) ] && return 1
        sleep 0.2
    done
}

# Right of the main window, which the system places at the top left.
wine "$HL_BUILD/sample/sample_mdi.exe" "/frame:Sample MDI" "/at:420,80,760,560" \
    "Report@10,10,420,300" "Notes@200,120,420,300" "Letter@60,220,420,260" \
    >/dev/null 2>&1 &
wait_for 30 xdotool search --name '^Sample MDI$'
wine "$HL_BUILD/nt/hoverlane.exe" >/dev/null 2>&1 &
wait_for 30 xdotool search --name '^Hoverlane$'
wine "$HL_BUILD/tools/show_program.exe" "Sample MDI" </dev/null >/dev/null 2>&1 ||
    { hl_log "could not open the sample's item"; exit 1; }

# Nothing more to wait for but the painting of the windows.
sleep 2
main=$(xdotool search --name '^Hoverlane$' | head -n 1)
import -window "$main" "$out/main-window.png"
import -window root "$out/desktop.png"
echo "$out/main-window.png"
echo "$out/desktop.png"
