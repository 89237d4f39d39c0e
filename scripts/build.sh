#!/bin/sh
# Builds every variant: both configurations (NT and 95 family) for x86_64
# (build/x64) and for i686 (build/x86).
set -eu
. "$(dirname "$0")/lib.sh"

hl_install_deps x64 x86
hl_build x64
hl_build x86
hl_log "built: build/x64/{nt,95} and build/x86/{nt,95}"
