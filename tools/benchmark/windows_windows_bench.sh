#!/usr/bin/env bash
# tessaly.exe's windows under wine, timed from outside by tessaly-windriver:
# Get Status and Set Status from the click to the message box, over the waits
# the protocol fixes for them (1.84 s and 2.64 s, each with one 3-byte read that
# runs out its 40 ms on a display that does not answer the display selection;
# the virtual display answers it, so 1.80 s and 2.60 s are what it allows), and
# the start, from the program's creation to its main window shown, beside a
# bare Win32 window's (win32_driven_window of the test tree), with the prefix's
# wineserver already running. Prints each run and the medians and ratios of
# this one run.
#   windows_windows_bench.sh [RUNS]    (from the source tree; builds nothing)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-5}
windows_build=${TESSALY_WINDOWS_BUILD_DIR:-$top/build-windows}
exe=$windows_build/app/tessaly.exe
driver=$windows_build/tools/windriver/tessaly-windriver.exe
bare=$windows_build/tests/tools/win32_driven_window.exe
vdisplay=${TESSALY_LINUX_BUILD_DIR:-$top/build}/tools/tessaly-vdisplay
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
for program in "$exe" "$driver" "$bare" "$vdisplay"; do
    [ -x "$program" ] || { echo "missing $program" >&2; exit 1; }
done
# shellcheck source=scripts/windows-sessions
. "$top/scripts/windows-sessions"

work=$(mktemp -d /tmp/tessaly-wine-bench.XXXXXX)
display_pid=
cleanup() {
    [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null || true
    "$top/scripts/wine-prefix" remove "$work/prefix" || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=scripts/xvfb-lib
. "$top/scripts/xvfb-lib"
start_xvfb private

"$top/scripts/wine-prefix" create "$work/prefix" 2>/dev/null
"$top/scripts/wine-prefix" map "$work/prefix" COM5 "$work/com5"
export WINEPREFIX=$work/prefix
"$wineserver" -p </dev/null >/dev/null 2>&1
"$vdisplay" --link "$work/com5" >/dev/null &
display_pid=$!
sleep 0.5

drive() {
    "$top/scripts/wine-run" "$driver" "$@"
}
# One run of each first, for the page cache and the prefix's first-use work.
drive "start=$(windows_path "$exe")" "${escpos_steps[@]}" exit=0 >/dev/null
drive "start=$(windows_path "$bare")" "window=Driven window" close exit=3 >/dev/null

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
: >"$work/start" >"$work/bare" >"$work/get" >"$work/set"
for i in $(seq "$runs"); do
    drive "start=$(windows_path "$exe")" "${escpos_steps[@]}" exit=0 >"$work/run"
    start=$(awk '/after start/ { print $(NF - 3); exit }' "$work/run")
    # The messages come in order: the check, Get Status, Set Status.
    get=$(awk '/click to message/ { n++; if (n == 2) print $4 }' "$work/run")
    set=$(awk '/click to message/ { n++; if (n == 3) print $4 }' "$work/run")
    bare_start=$(drive "start=$(windows_path "$bare")" "window=Driven window" close exit=3 |
        awk '/after start/ { print $(NF - 3) }')
    echo "run $i: start $start ms (bare window $bare_start ms), Get Status $get ms, Set Status $set ms"
    echo "$start" >>"$work/start"
    echo "$bare_start" >>"$work/bare"
    echo "$get" >>"$work/get"
    echo "$set" >>"$work/set"
done
awk -v start="$(median <"$work/start")" -v bare="$(median <"$work/bare")" \
    -v get="$(median <"$work/get")" -v set="$(median <"$work/set")" -v runs="$runs" 'BEGIN {
    printf "medians over %d runs under wine:\n", runs
    printf "  Get Status, click to message: %.0f ms, %.4f x 1840 ms, %.4f x 1800 ms\n", get, get / 1840, get / 1800
    printf "  Set Status, click to message: %.0f ms, %.4f x 2640 ms, %.4f x 2600 ms\n", set, set / 2640, set / 2600
    printf "  start to main window shown: %.0f ms; bare window %.0f ms; ratio %.4f\n", start, bare, start / bare
}'
