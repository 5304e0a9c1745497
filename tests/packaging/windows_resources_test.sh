#!/usr/bin/env bash
# windows_resources_test.sh PROGRAM.exe console|windows
# A Windows program's icon and manifest as the build put them in, read back with
# icoutils: icon 128 (IDR_MAINFRAME) with the shell's four sizes, and a
# well-formed manifest (Windows refuses to start a program whose manifest is
# not; wine starts it regardless) that runs as the user and asks for themed
# controls and per-monitor DPI only in a program with windows.
set -euo pipefail
program=$1
kind=$2
fail() {
    echo "windows_resources_test: $(basename "$program"): $*" >&2
    exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! wrestool --extract --type=group_icon --name=128 --output="$work/icon.ico" "$program" ||
    ! [ -s "$work/icon.ico" ]; then
    fail "no icon 128"
fi
sizes=$(icotool --list "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | sort -n | xargs)
[ "$sizes" = "16 32 48 256" ] || fail "the icon's sizes are '$sizes', not 16 32 48 256"

wrestool --extract --raw --type=24 --name=1 "$program" >"$work/manifest.xml"
[ -s "$work/manifest.xml" ] || fail "no manifest"
xmllint --noout "$work/manifest.xml" || fail "the manifest is not well-formed XML"
grep -q 'level="asInvoker"' "$work/manifest.xml" || fail "the manifest does not run as the user"
parts=0
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$work/manifest.xml" &&
    parts=$((parts + 1))
grep -q '>PerMonitorV2,PerMonitor<' "$work/manifest.xml" && parts=$((parts + 1))
case $kind in
console) [ "$parts" -eq 0 ] || fail "a console program's manifest asks for the windows' parts" ;;
windows) [ "$parts" -eq 2 ] || fail "the manifest lacks Common Controls 6 or per-monitor DPI" ;;
esac
echo "windows_resources_test: $(basename "$program"): icon and $kind manifest in place"
