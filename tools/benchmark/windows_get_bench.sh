#!/usr/bin/env bash
# How long `tessaly-cli.exe get` takes as a whole process under wine, with the
# prefix's wineserver already running, against the 2.48 s the protocol itself
# waits (the check's 0.6 s and the read's 1.8 s of fixed waits, and two 3-byte
# reads that find nothing and run out their 40 ms). Prints each run and the
# ratio of their mean to 2.48 s, all measured in this one run.
#   windows_get_bench.sh [RUNS]    (from the source tree; builds nothing)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-5}
exe=${TESSALY_WINDOWS_BUILD_DIR:-$top/build-windows}/cli/tessaly-cli.exe
vdisplay=${TESSALY_LINUX_BUILD_DIR:-$top/build}/tools/tessaly-vdisplay
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

work=$(mktemp -d /tmp/tessaly-wine-bench.XXXXXX)
display_pid=
cleanup() {
    [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null || true
    "$top/scripts/wine-prefix" remove "$work/prefix" || true
    rm -rf "$work"
}
trap cleanup EXIT

"$top/scripts/wine-prefix" create "$work/prefix" 2>/dev/null
"$top/scripts/wine-prefix" map "$work/prefix" COM5 "$work/com5"
export WINEPREFIX=$work/prefix
"$wineserver" -p </dev/null >/dev/null 2>&1
"$vdisplay" --link "$work/com5" >/dev/null &
display_pid=$!
sleep 0.5
"$top/scripts/wine-run" "$exe" --port COM5 get >/dev/null  # warms the page cache

total=0
for i in $(seq "$runs"); do
    start=$(date +%s%N)
    "$top/scripts/wine-run" "$exe" --port COM5 get >/dev/null
    ms=$((($(date +%s%N) - start) / 1000000))
    total=$((total + ms))
    echo "run $i: $ms ms"
done
awk -v total="$total" -v runs="$runs" 'BEGIN {
    mean = total / runs
    printf "tessaly-cli.exe get under wine: mean %.0f ms over %d runs, %.3f x the protocol'"'"'s 2480 ms\n", mean, runs, mean / 2480
}'
