#!/bin/sh
# Builds hoverlane for x86_64 and runs the benchmark programs under Wine on a
# private virtual display, printing their figures. Arguments go to
# tree_bench (for example /refreshes:1000 for a shorter memory run).
set -eu
. "$(dirname "$0")/lib.sh"

hl_install_deps
hl_build x64
hl_headless_session "$HL_BUILD/benchprefix"
# Into a file first: Wine's services may hold a pipe open for ever.
result="$HL_BUILD/bench/tree_bench.txt"
wine "$HL_BUILD/bench/tree_bench.exe" "$@" >"$result" 2>/dev/null </dev/null
tr -d '\r' <"$result"
