#!/bin/sh
# Builds hoverlane and runs the test suite under Wine in every variant:
#   x64     x86_64 programs, NT family
#   x86     i686 programs, NT family
#   x86-95  i686 programs, 95 family (Wine reports Windows 98)
# each on a private virtual display and in a fresh Wine prefix inside its
# build tree. Variants named first run alone; the other arguments go to ctest:
#   scripts/test.sh                  every variant
#   scripts/test.sh x86-95 -R Setup  the 95 family's setup tests
# Several variants run side by side, each writing its output to
# build/logs/test-<variant>.log; at the end come ctest's summary of each, and
# the whole output of any that failed.
set -eu
. "$(dirname "$0")/lib.sh"

variants=""
while [ $# -gt 0 ]; do
    case " $HL_VARIANTS " in
    *" $1 "*) variants="$variants $1"; shift ;;
    *) break ;;
    esac
done
variants=${variants:-$HL_VARIANTS}

presets=""
for v in $variants; do
    hl_variant "$v"
    case " $presets " in *" $HL_VARIANT_PRESET "*) ;; *) presets="$presets $HL_VARIANT_PRESET" ;; esac
done
# Every variant runs in a prefix whose shell is the 64-bit one.
hl_install_deps x64 $presets
for p in $presets; do hl_build "$p"; done

if [ "$(echo $variants | wc -w)" -eq 1 ]; then
    hl_test_variant $variants "$@"
    exit
fi

# A build tree that serves two variants lists its tests once, before they
# start side by side (each would otherwise write the same lists at once).
for p in $presets; do
    n=0
    for v in $variants; do
        hl_variant "$v"
        [ "$HL_VARIANT_PRESET" != "$p" ] || n=$((n + 1))
    done
    [ "$n" -lt 2 ] || ctest --test-dir "$HL_ROOT/build/$p" -N >/dev/null
done
mkdir -p "$HL_LOGS"
pids=""
for v in $variants; do
    hl_log "$v: tests running (output: $HL_LOGS/test-$v.log)"
    hl_test_variant "$v" "$@" >"$HL_LOGS/test-$v.log" 2>&1 &
    pids="$pids $!"
done
failed=""
set -- $pids
for v in $variants; do
    wait "$1" || failed="$failed $v"
    shift
done
for v in $variants; do
    log="$HL_LOGS/test-$v.log"
    case " $failed " in
    *" $v "*)
        hl_log "$v: FAILED; its whole output:"
        tr -d '\r' <"$log"
        ;;
    *)
        hl_log "$v:"
        # ctest's summary: from "N% tests passed" to the end.
        tr -d '\r' <"$log" | sed -n '/tests passed, /,$p'
        ;;
    esac
done
[ -z "$failed" ] || { hl_log "failed:$failed"; exit 1; }
