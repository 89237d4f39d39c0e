#!/bin/sh
# Checks what scripts/release.sh promises, on the checked-out commit (about
# five minutes; not part of CI, which never builds a release):
# - two clones in different folders, built one after the other, give the
#   same dist/, byte for byte;
# - signed with a throwaway certificate made here, every program verifies
#   with osslsigncode, each carries the signed program inside it, and the
#   hoverlane.exe that the signed setup installs under Wine is signed too.
set -eu
. "$(dirname "$0")/lib.sh"

hl_install_deps x64 release sign
command -v openssl >/dev/null || { hl_log "openssl is missing"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/hoverlane-release-test-XXXXXX")
# The folder goes with the script; Wine's server, Xvfb and the prefix first.
trap 'hl_cleanup; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
commit=$(git -C "$HL_ROOT" rev-parse HEAD)

clone() {
    git clone -q --no-hardlinks "$HL_ROOT" "$1"
    git -C "$1" checkout -q "$commit"
}
clone "$work/first"
clone "$work/second clone"
hl_log "release of $commit in $work/first"
"$work/first/scripts/release.sh" >"$work/first.log" 2>&1 || { cat "$work/first.log"; exit 1; }
hl_log "release of $commit in $work/second clone"
"$work/second clone/scripts/release.sh" >"$work/second.log" 2>&1 || { cat "$work/second.log"; exit 1; }
(cd "$work/first/dist" && sha256sum -- *)
if ! diff -r "$work/first/dist" "$work/second clone/dist" >/dev/null; then
    hl_log "FAILED: the two clones' dist/ differ:"
    (cd "$work/second clone/dist" && sha256sum -- *)
    exit 1
fi
hl_log "the two clones' dist/ are the same"

# A throwaway certificate of our own, for code signing.
cert="$work/cert.pem"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Hoverlane test signing" \
    -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$cert" 2>/dev/null
export HL_SIGN_PASSWORD=throwaway
openssl pkcs12 -export -inkey "$work/key.pem" -in "$cert" -out "$work/test.pfx" -passout env:HL_SIGN_PASSWORD
signed="$work/second clone"
hl_log "signed release in $signed"
"$signed/scripts/release.sh" --sign "$work/test.pfx" >"$work/signed.log" 2>&1 || { cat "$work/signed.log"; exit 1; }

failed=0
verify() {
    if osslsigncode verify -CAfile "$cert" -in "$1" >"$work/verify.log" 2>&1; then
        hl_log "signed: ${1#"$signed"/} ($(grep -m1 'Signature verification' "$work/verify.log"))"
    else
        hl_log "FAILED: no valid signature on $1:"; cat "$work/verify.log"; failed=1
    fi
}
# carries <outer> <inner>: the outer program holds the signed inner one.
carries() {
    python3 -c 'import sys; sys.exit(open(sys.argv[2], "rb").read() not in open(sys.argv[1], "rb").read())' "$1" "$2" ||
        { hl_log "FAILED: ${1#"$signed"/} does not carry the signed ${2#"$signed"/}"; failed=1; }
}
trees="$signed/build/release"
for f in "$signed"/dist/*.exe "$trees"/x64/uninstall/*.exe "$trees"/x86/uninstall/*.exe \
    "$trees"/x64/nt/hoverlane.exe "$trees"/x86/nt/hoverlane.exe "$trees"/x86/95/hoverlane.exe; do
    verify "$f"
done
for t in x64/nt x86/nt x86/95; do
    carries "$trees/$t/hoverlane.exe" "$trees/${t%/*}/uninstall/hoverlane_uninst.exe"
    carries "$trees/$t/setup.exe" "$trees/$t/hoverlane.exe"
done

# What a Windows user gets from the signed 64-bit setup.
hl_start_xvfb
hl_prepare_prefix "$work/wine"
wine "$signed/dist/"*-Setup-64-bit.exe /S '/D=C:\SignedHoverlane' </dev/null >/dev/null 2>&1 ||
    { hl_log "FAILED: the signed setup ended with $?"; exit 1; }
installed="$WINEPREFIX/drive_c/SignedHoverlane/hoverlane.exe"
verify "$installed"
cmp -s "$installed" "$trees/x64/nt/hoverlane.exe" || { hl_log "FAILED: the installed hoverlane.exe is not the signed one"; failed=1; }
[ "$failed" -eq 0 ] || exit 1
hl_log "every program is signed, inner ones first"
