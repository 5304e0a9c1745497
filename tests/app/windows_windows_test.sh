#!/usr/bin/env bash
# tessaly.exe under wine, driven from outside by tessaly-windriver through the
# sessions of scripts/windows-sessions against a virtual display on COM5: the
# messages must be the ones the Linux windows show and the bytes the display
# received exactly those the Linux windows sent for the same steps
# (window_wire_tests of the Linux tree, run here).
#   windows_windows_test.sh TESSALY_EXE WINDRIVER_EXE LINUX_BUILD_DIR SOURCE_DIR
# Needs WINEPREFIX and TESSALY_WINE_PORTS_DIR, COM5 mapped to its com5 (as
# scripts/test-windows sets them); starts a private Xvfb when no display is usable.
set -euo pipefail
exe=$(realpath "$1")
driver=$(realpath "$2")
linux_build=$(realpath "$3")
top=$(realpath "$4")
vdisplay=$linux_build/tools/tessaly-vdisplay
linux_sessions=$linux_build/tests/app/window_wire_tests
wine_run=$top/scripts/wine-run
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
com5=${TESSALY_WINE_PORTS_DIR:?}/com5
for program in "$vdisplay" "$linux_sessions"; do
    [ -x "$program" ] || { echo "missing $program (build the Linux tree first)" >&2; exit 1; }
done
# shellcheck source=scripts/windows-sessions
. "$top/scripts/windows-sessions"
# shellcheck source=scripts/xvfb-lib
. "$top/scripts/xvfb-lib"

work=$(mktemp -d /tmp/tessaly-wine-windows.XXXXXX)
display_pid=
cleanup() {
    [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
start_xvfb
failures=0

mkdir -p "$work/linux" "$work/windows"
if ! TESSALY_WIRE_RECORD_DIR=$work/linux "$linux_sessions" >"$work/linux.log" 2>&1; then
    cat "$work/linux.log"
    echo "FAILED: the Linux windows' sessions"
    exit 1
fi

# session NAME STEPS...: tessaly.exe through STEPS on a display of its own.
session() {
    local name=$1 status=0
    shift
    rm -f "$com5"
    "$vdisplay" --link "$com5" --record "$work/windows/$name.bytes" >/dev/null &
    display_pid=$!
    for _ in $(seq 100); do
        [ -L "$com5" ] && break
        sleep 0.05
    done
    # As the command line's test does: a server of our own, not the driver's.
    "$wineserver" -p5 </dev/null >/dev/null 2>&1 || true
    "$wine_run" "$driver" "start=$(windows_path "$exe")" "$@" exit=0 \
        >"$work/windows/$name.out" 2>"$work/windows/$name.err" || status=$?
    kill -TERM "$display_pid"
    wait "$display_pid" || true
    display_pid=
    sed -n 's/^message: //p' "$work/windows/$name.out" >"$work/windows/$name.messages"
    if [ "$status" = 0 ] &&
        diff -u "$work/linux/$name.messages" "$work/windows/$name.messages" &&
        cmp "$work/linux/$name.bytes" "$work/windows/$name.bytes"; then
        echo "ok: $name"
    else
        echo "FAILED: $name (driver status $status; linux is ---, windows is +++)"
        cat "$work/windows/$name.out" "$work/windows/$name.err"
        od -An -tx1 "$work/linux/$name.bytes" >"$work/linux.hex"
        od -An -tx1 "$work/windows/$name.bytes" >"$work/windows.hex" 2>/dev/null || true
        diff -u "$work/linux.hex" "$work/windows.hex" || true
        failures=$((failures + 1))
    fi
    grep ' ms' "$work/windows/$name.out" || true
}

session escpos "${escpos_steps[@]}"
session quelmar "${quelmar_steps[@]}"
[ "$failures" -eq 0 ]
