#!/usr/bin/env bash
# Runs a window test program of the Windows tree under wine with a socat relay
# behind COM5: each connection to 127.0.0.1:$TESSALY_VDISPLAY_PORT gets a
# pseudo-terminal of its own, and $TESSALY_WINE_PORTS_DIR/com5 (mapped by
# scripts/test-windows) points at the newest. The program's virtual displays
# connect to that port. The link stays when its relay ends, so that a display
# that ends never takes away the link of the one after it.
#   windows_window_test.sh WINE_RUN PROGRAM [ARGS]
set -euo pipefail
wine_run=$1
shift
com5=${TESSALY_WINE_PORTS_DIR:?}/com5
log=$(mktemp)
relay=
cleanup() {
    if [ -n "$relay" ]; then
        kill "$relay" 2>/dev/null || true
    fi
    rm -f "$log" "$com5"
}
trap cleanup EXIT
rm -f "$com5"
# Another run on this machine may hold a port: try others until one listens.
for _ in $(seq 20); do
    port=$((20000 + RANDOM % 20000))
    socat -d -d -t 0.05 "TCP-LISTEN:$port,bind=127.0.0.1,reuseaddr,fork" \
        "PTY,link=$com5,rawer,unlink-close=0" 2>"$log" &
    relay=$!
    for _ in $(seq 100); do
        grep -q 'listening on' "$log" && break
        kill -0 "$relay" 2>/dev/null || break
        sleep 0.02
    done
    grep -q 'listening on' "$log" && break
    kill "$relay" 2>/dev/null || true
    wait "$relay" 2>/dev/null || true
    relay=
done
if [ -z "$relay" ]; then
    echo "windows_window_test.sh: socat found no free port" >&2
    cat "$log" >&2
    exit 1
fi
export TESSALY_VDISPLAY_PORT=$port
"$wine_run" --once-more-if-unserved "$@"
