#!/bin/sh
# Builds hoverlane for x86_64 and runs the whole test suite under Wine, on a
# private virtual display and in a fresh Wine prefix inside the build tree.
# Arguments go to ctest (for example -R Startup).
set -eu
. "$(dirname "$0")/lib.sh"

hl_install_deps
hl_build x64
hl_headless_session "$HL_BUILD/wineprefix"
ctest --test-dir "$HL_BUILD" --output-on-failure "$@"
