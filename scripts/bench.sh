#!/bin/sh
# Builds hoverlane for x86_64 and runs every benchmark program under Wine on a
# private virtual display, printing their figures. Arguments go to each
# benchmark (for example /refreshes:1000 for a shorter memory run of the tree).
set -eu
. "$(dirname "$0")/lib.sh"

hl_install_deps x64
hl_build x64
hl_headless_session "$HL_BUILD/wine/bench"
for bench in "$HL_BUILD"/bench/*_bench.exe; do
    hl_log "$(basename "$bench")"
    # Into a file first: Wine's services may hold a pipe open for ever.
    result="${bench%.exe}.txt"
    wine "$bench" "$@" >"$result" 2>/dev/null </dev/null || hl_log "$(basename "$bench") failed"
    tr -d '\r' <"$result"
done
