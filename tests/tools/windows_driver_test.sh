#!/usr/bin/env bash
# tessaly-windriver against a small window of our own under wine: the steps it
# takes, what it prints, and a clear failure (status 1, the reason, the started
# program ended) when a window, a control or a message is not as the steps say.
#   windows_driver_test.sh DRIVER_EXE WINDOW_EXE SOURCE_DIR WINE_RUN
# Needs WINEPREFIX; starts a private Xvfb when no display is usable.
set -euo pipefail
driver=$(realpath "$1")
window="Z:$(realpath "$2" | tr / '\\')"
top=$(realpath "$3")
wine_run=$(realpath "$4")
# shellcheck source=scripts/xvfb-lib
. "$top/scripts/xvfb-lib"
start_xvfb
trap '[ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT
failures=0

# drive NAME STATUS EXPECTED_OUT EXPECTED_ERR STEP...: the driver's status, its
# output without timings, and the start of its reason.
drive() {
    local name=$1 want_status=$2 want_out=$3 want_err=$4 status=0 out err
    shift 4
    out=$("$wine_run" "$driver" --bound-ms 3000 "start=$window" "window=Driven window" "$@" \
        2>/tmp/windriver-test.$$) || status=$?
    err=$(cat /tmp/windriver-test.$$)
    rm -f /tmp/windriver-test.$$
    out=$(grep -v ' ms' <<<"$out" || true)
    if [ "$status" = "$want_status" ] && [ "$out" = "$want_out" ] && [[ $err == "$want_err"* ]]; then
        echo "ok: $name"
    else
        echo "FAILED: $name: status $status, output [$out], error [$err]"
        failures=$((failures + 1))
    fi
}

drive "a choice, a message and the close box" 0 $'text 200: third\ntext 101: chosen\nmessage: third' "" \
    select=200:2 text=200 text=101 click=100 message close exit=3
drive "a missing window" 1 "" "tessaly-windriver: no window titled \"Elsewhere\"" \
    window=Elsewhere
drive "a missing control" 1 "" "tessaly-windriver: no control 999 in \"Driven window\"" click=999
drive "a disabled button" 1 "" "tessaly-windriver: control 101 of \"Driven window\" takes no input" \
    click=101
drive "an item the list lacks" 1 "" "tessaly-windriver: no item 7 in list 200" select=200:7
drive "a message where none should come" 1 "" \
    "tessaly-windriver: unexpected message box: \"first\"" click=100 quiet=2000
drive "no message where one should come" 1 "" "tessaly-windriver: no message box" message
drive "a program that ends otherwise" 1 "" "tessaly-windriver: the program ended with 3, not 0" \
    close exit=0
drive "a step that is none" 2 "" "tessaly-windriver: not a step: press=1" press=1

# Each failed run ended the window it started.
if "$wine_run" "$driver" --bound-ms 500 "window=Driven window" >/dev/null 2>&1; then
    echo "FAILED: a driven window was left running"
    failures=$((failures + 1))
fi
[ "$failures" -eq 0 ]
