# Shared by the Wine test scripts (through wine_test_lib.sh), scripts/test-all
# and scripts/reliability-long (sourced, not run): which Windows architecture a
# program is built for, which Wine runs it, whether this machine can run 32-bit
# programs at all, and (from xvfb.sh) a private Xvfb display.
#
# Debian's `wine` wrapper always starts the 32-bit loader when wine32 is
# installed, which a kernel without 32-bit support refuses. So each
# architecture calls its own loader directly, with a prefix of its own kind.

wine_lib=/usr/lib/wine
# xvfb_start / xvfb_stop: the private display.
. "$(dirname "${BASH_SOURCE[0]}")/processes.sh"
. "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

# "win32" or "win64" from the PE header of $1 (machine i386 or x86-64); nothing
# and status 1 for anything else.
pe_arch() {
    local pe machine
    pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
    [ -n "$pe" ] || return 1
    machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
    case $machine in
        014c) echo win32 ;;
        8664) echo win64 ;;
        *) return 1 ;;
    esac
}

# Can this machine run 32-bit programs? Runs the 32-bit wineserver and loader
# themselves: a kernel without 32-bit support refuses them ("Exec format
# error"). Status 0 when both run; otherwise the reason in wine32_reason.
wine32_runs() {
    local program out
    wine32_reason=
    for program in "$wine_lib/wineserver32" "$wine_lib/wine"; do
        if [ ! -x "$program" ]; then
            wine32_reason="$program is not installed"
            return 1
        fi
        if ! out=$("$program" --version 2>&1 </dev/null); then
            wine32_reason="$program: $(echo "$out" | sed -E 's/^.*: *(Exec format error|cannot execute).*$/\1/' | tail -n 1)"
            return 1
        fi
    done
    return 0
}

# Chooses the Wine of architecture $1 (win32 | win64) and the prefix $2:
# exports WINEARCH and WINEPREFIX, sets wine (the loader to call), wineserver
# and mingw (the cross compilers' prefix for helper programs).
wine_use() {
    export WINEARCH=$1 WINEPREFIX=$2
    case $1 in
        win32)
            wine=$wine_lib/wine
            mingw=i686-w64-mingw32
            ;;
        win64)
            wine=$wine_lib/wine64
            mingw=x86_64-w64-mingw32
            ;;
    esac
    # Programs that Wine starts itself (wineboot's helpers) use the same loader.
    export WINELOADER=$wine
    # wineserver64 serves 32-bit and 64-bit prefixes alike; the 32-bit one is
    # the fallback when wine64 is missing.
    if [ -x "$wine_lib/wineserver64" ]; then wineserver=$wine_lib/wineserver64; else wineserver=$wine_lib/wineserver32; fi
    export WINESERVER=$wineserver
}

