#!/bin/sh
# Builds a release of the checked-out commit and writes dist/: the setup of
# each Windows family and width, a zip per width for running hoverlane
# without installing it, and SHA256SUMS. The same commit gives the same
# bytes, wherever and whenever it is built.
#   scripts/release.sh                      unsigned
#   scripts/release.sh --sign <file.pfx>    Authenticode-signed with that
#                                           certificate (password in
#                                           HL_SIGN_PASSWORD; a timestamp
#                                           server in HL_SIGN_TIMESTAMP_URL)
set -eu
. "$(dirname "$0")/lib.sh"
. "$HL_ROOT/scripts/release_plan.sh"

pfx=""
while [ $# -gt 0 ]; do
    case "$1" in
    --sign)
        [ $# -ge 2 ] || { hl_log "--sign needs a certificate file (.pfx)"; exit 2; }
        pfx=$2
        shift 2
        ;;
    *) hl_log "unknown argument \"$1\" (scripts/release.sh [--sign <file.pfx>])"; exit 2 ;;
    esac
done
if [ -n "$pfx" ]; then
    [ -f "$pfx" ] || { hl_log "no certificate file \"$pfx\""; exit 2; }
    pfx=$(cd "$(dirname "$pfx")" && pwd)/$(basename "$pfx")
fi

cd "$HL_ROOT"
# What the commit holds and nothing else: no change, no file git does not
# know (ignored ones, such as build/, do not count).
if [ -n "$(git status --porcelain)" ]; then
    hl_log "the checkout has changes or new files (git status): a release is built only from a clean tree"
    exit 1
fi
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD)
export SOURCE_DATE_EPOCH

hl_install_deps release ${pfx:+sign}

log="$HL_LOGS/release.log"
mkdir -p "$HL_LOGS"
: >"$log"
trees="$HL_ROOT/build/release"
rm -rf "$trees"
for preset in x64 x86; do
    hl_step "$log" cmake --preset "release-$preset" || exit 1
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$trees/x64/CMakeCache.txt")
[ -n "$version" ] || { hl_log "no project version in $trees/x64/CMakeCache.txt"; exit 1; }

# The password reaches osslsigncode in a file only we can read, never on a
# command line that every user's process list shows.
passfile=""
if [ -n "$pfx" ]; then
    passfile=$(umask 077 && mktemp)
    trap 'rm -f "$passfile"' EXIT
    printf '%s' "${HL_SIGN_PASSWORD-}" >"$passfile"
fi
sign() {
    hl_step "$log" osslsigncode sign -pkcs12 "$pfx" -readpass "$passfile" \
        -n Hoverlane -h sha256 -time "$SOURCE_DATE_EPOCH" \
        ${HL_SIGN_TIMESTAMP_URL:+-ts "$HL_SIGN_TIMESTAMP_URL"} -in "$1" -out "$1.signed" &&
        mv "$1.signed" "$1"
}

# Each stage builds its programs; signed, each is signed before the next
# stage builds what carries it.
hl_release_signing_stages | while IFS= read -r stage; do
    preset=${stage%%:*}
    rest=${stage#*:}
    targets=${rest%%=*}
    files=${rest#*=}
    hl_log "building $targets ($preset)"
    # shellcheck disable=SC2086 # the lists split on blanks
    hl_step "$log" cmake --build --preset "release-$preset" -j "$(nproc)" --target $targets || exit 1
    [ -n "$pfx" ] || continue
    for f in $files; do
        hl_log "signing $preset/$f"
        sign "$trees/$preset/$f" || exit 1
    done
done

dist="$HL_ROOT/dist"
rm -rf "$dist"
mkdir -p "$dist"
hl_release_setups "$version" | while read -r name path; do
    cp "$trees/$path" "$dist/$name"
done
for width in $HL_RELEASE_WIDTHS; do
    hl_release_zip_members "$version" "$width" | sed -e "s#|src/#|$HL_ROOT/#" -e "s#|\([^/]\)#|$trees/\1#" |
        python3 -B "$HL_ROOT/scripts/reproducible_zip.py" "$dist/Hoverlane-$version-$width.zip"
done
(cd "$dist" && LC_ALL=C ls | grep -v '^SHA256SUMS$' | xargs sha256sum >SHA256SUMS)

hl_log "dist/ (commit $(git rev-parse --short HEAD), version $version${pfx:+, signed}):"
(cd "$dist" && stat -c '   %10s  %n' -- *)
