#!/usr/bin/env bash
# Runs the Windows link test program under wine with a silent Linux virtual
# display behind COM5 ($TESSALY_WINE_PORTS_DIR/com5, mapped by scripts/test-windows).
#   windows_link_test.sh LINK_TESTS_EXE VDISPLAY WINE_RUN
set -euo pipefail
com5=${TESSALY_WINE_PORTS_DIR:?}/com5
rm -f "$com5"
"$2" --fault silent --link "$com5" >/dev/null &
display=$!
trap 'kill "$display" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    [ -L "$com5" ] && break
    sleep 0.05
done
"$3" "$1"
