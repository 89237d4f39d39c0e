# What a release holds: the decisions of scripts/release.sh, kept apart so
# that scripts/scripts_test.py can check them. Sourced, not run.

# hl_release_setups <version>: one line per setup a Windows user runs:
# <name in dist/> <path in the release build trees>.
hl_release_setups() {
    echo "Hoverlane-$1-Setup-64-bit.exe x64/nt/setup.exe"
    echo "Hoverlane-$1-Setup-32-bit.exe x86/nt/setup.exe"
    echo "Hoverlane-$1-Setup-Windows-98-Me.exe x86/95/setup.exe"
}

# hl_release_zip_members <version> <width>: the zip of one width, for running
# hoverlane without installing it: <path in the zip>|<path in the release
# build trees, or src/ for the checkout>, one per line. The folder inside is
# the zip's own name, so that unpacking never spills files.
hl_release_zip_members() {
    top="Hoverlane-$1-$2"
    case "$2" in
    64-bit)
        echo "$top/hoverlane.exe|x64/nt/hoverlane.exe"
        ;;
    32-bit)
        echo "$top/hoverlane.exe|x86/nt/hoverlane.exe"
        echo "$top/Windows 98 and Me/hoverlane.exe|x86/95/hoverlane.exe"
        ;;
    *) return 1 ;;
    esac
    echo "$top/license.txt|src/setup/payload/license.txt"
}

HL_RELEASE_WIDTHS="64-bit 32-bit"

# hl_release_signing_stages: the programs to sign, inner ones first, one
# stage per line as <preset>:<targets>=<files>: each program is signed
# before the one that carries it is built (the uninstaller inside
# hoverlane.exe, hoverlane.exe inside setup.exe).
hl_release_signing_stages() {
    echo "x64:hoverlane_uninst=uninstall/hoverlane_uninst.exe"
    echo "x86:hoverlane_uninst=uninstall/hoverlane_uninst.exe"
    echo "x64:hoverlane_nt=nt/hoverlane.exe"
    echo "x86:hoverlane_nt hoverlane_95=nt/hoverlane.exe 95/hoverlane.exe"
    echo "x64:setup_nt=nt/setup.exe"
    echo "x86:setup_nt setup_95=nt/setup.exe 95/setup.exe"
}
