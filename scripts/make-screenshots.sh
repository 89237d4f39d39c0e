#!/bin/sh
# Makes the four pictures of the help pages: screenshots of the real
# hoverlane running under Wine on a private virtual display, saved as JPEGs
# into setup/payload/help/images (the results are committed). Run it by hand
# whenever the look of the main window or of a dialog changes, then rebuild
# setup.
set -eu
. "$(dirname "$0")/lib.sh"

hl_install_deps x64
hl_build x64
hl_headless_session "$HL_BUILD/wine/shot"

out="$HL_ROOT/setup/payload/help/images"
tmp=$(mktemp -d)
log="$HL_BUILD/make-screenshots.log"
: >"$log"
helper="$HL_BUILD/tools/shot_helper.exe"
hoverlane="$HL_BUILD/nt/hoverlane.exe"

# run <program> <args...>: a Windows program in the background, its output
# into the log (never into a pipe: Wine's services would hold it open).
run() { wine "$@" >>"$log" 2>&1 & }

# wait_window <title>: the X window of that exact title, once it is shown.
wait_window() {
    i=0
    while :; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        i=$((i + 1))
        [ $i -gt 150 ] && { hl_log "no window \"$1\""; return 1; }
        sleep 0.2
    done
}

# shot <title> <picture name>: that window alone, as a JPEG for the help.
shot() {
    id=$(wait_window "$1")
    sleep 1  # let it finish painting
    import -window "$id" "$tmp/shot.png"
    convert "$tmp/shot.png" -strip -quality 90 "$out/$2.jpg"
    hl_log "$out/$2.jpg"
}

# Two document programs where a user's programs would be, registered as if
# the user had chosen "Always Hoverlane this program" for each.
programs="$WINEPREFIX/drive_c/Program Files"
mkdir -p "$programs/Report Editor" "$programs/Report Editor 2"
cp "$HL_BUILD/sample/sample_mdi.exe" "$programs/Report Editor/reports.exe"
cp "$HL_BUILD/sample/sample_mdi_v2.exe" "$programs/Report Editor 2/reports2.exe"
key='HKCU\Software\Vendrabyte\Hoverlane\Registered Programs'
wine reg add "$key" /v 'C:\Program Files\Report Editor\reports.exe' /d 'Sample MDI 1.0' /f \
    </dev/null >>"$log" 2>&1
wine reg add "$key" /v 'C:\Program Files\Report Editor 2\reports2.exe' /d 'Sample MDI 2.0' /f \
    </dev/null >>"$log" 2>&1

run 'C:\Program Files\Report Editor\reports.exe' "/frame:Reports" "/at:520,60,700,480" \
    "Quarterly report@10,10,420,280" "Notes@200,110,420,280" "Letter@60,200,420,240"
run 'C:\Program Files\Report Editor 2\reports2.exe' "/frame:Reports 2" "/at:520,580,700,380" \
    "Budget@10,10,380,220" "Minutes@150,80,380,220"
wait_window "Reports" >/dev/null
wait_window "Reports 2" >/dev/null
run "$hoverlane"
wait_window "Hoverlane" >/dev/null

# The main window with a program selected and the Options menu open.
wine "$helper" expand </dev/null >>"$log" 2>&1 || hl_log "tree: see $log"
wine "$helper" place 60 120 350 200 </dev/null >>"$log" 2>&1
sleep 1
# A click on the selected program ("Reports 2", the first) gives the tree
# the focus, so that its selection shows in the picture as a user sees it.
xdotool mousemove 145 189 click 1
sleep 1
area=$(wine "$helper" menu 290 150 </dev/null 2>>"$log" | tr -d '\r') || { hl_log "no Options menu (log: $log)"; exit 1; }
set -- $area
sleep 1  # let it finish painting
import -window root -crop "$3x$4+$1+$2" +repage "$tmp/shot.png"
convert "$tmp/shot.png" -strip -quality 90 "$out/getting started.jpg"
hl_log "$out/getting started.jpg"
wine "$helper" menu-close </dev/null >>"$log" 2>&1

# The tree with the programs expanded and the first one selected.
wine "$helper" place 60 120 430 330 </dev/null >>"$log" 2>&1
shot "Hoverlane" "tree view"

# dialog_shot <command name> <caption> <picture name>
dialog_shot() {
    run "$helper" dialog "$1" "$2"
    shot "$2" "$3"
    wine "$helper" close "$2" </dev/null >>"$log" 2>&1 || true
    i=0
    while xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1 && [ $i -lt 50 ]; do
        i=$((i + 1)); sleep 0.2
    done
}
dialog_shot monitor-time "Set Monitor Time" "monitoring time"
dialog_shot registered-programs "Registered Programs" "automatic monitoring"
rm -rf "$tmp"
hl_log "pictures written to $out (log: $log)"
