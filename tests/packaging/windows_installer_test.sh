#!/usr/bin/env bash
# windows_installer_test.sh WINDOWS_BUILD_DIR VDISPLAY
# The Windows installer in the test prefix ($WINEPREFIX): a silent install (/S)
# into Program Files, the installed tessaly-cli.exe's --version and a `get`
# against a virtual display on a COM port, then a silent uninstall that must
# leave no file and no registry entry of Tessaly behind.
set -euo pipefail
build=$(cd "$1" && pwd)
vdisplay=$2
top=$(cd "$(dirname "$0")/../.." && pwd)
: "${WINEPREFIX:?windows_installer_test: set WINEPREFIX to a prefix made by scripts/wine-prefix create}"
export WINEDEBUG=-all
# Wine would copy the Start menu entries into the user's own desktop menus.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
run() { "$top/scripts/wine-run" "$@"; }
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
fail() {
    echo "windows_installer_test: $*" >&2
    exit 1
}

work=$(mktemp -d)
installed="$WINEPREFIX/drive_c/Program Files/Tessaly"
display_pid=
cleanup() {
    [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null
    # A failed run must not leave its installation to the next.
    [ -f "$installed/Uninstall.exe" ] && run "$installed/Uninstall.exe" /S && "$wineserver" -w
    run reg delete 'HKLM\Software\Wine\Ports' /v COM9 /f >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# What the installer may leave: files by name (other tests' scratch folders in
# Temp aside), and its registry keys and PATH as wine writes them out once its
# server has ended (key lines carry a time stamp, dropped here).
traces() {
    "$wineserver" -w
    find "$WINEPREFIX/drive_c" -iname '*tessaly*' -not -path '*/Temp/*' | sort
    grep -ih -e '^\[Software\\\\Tessaly' -e 'Uninstall\\\\Tessaly\]' -e '^"PATH"=.*Tessaly' \
        "$WINEPREFIX"/*.reg | sed 's/\] [0-9]*$/]/' | sort || true
}

(cd "$build" && cpack -G NSIS -B "$work/package" >/dev/null) || fail "cpack -G NSIS failed"
installer=$(ls "$work"/package/tessaly-*-win64.exe)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

before=$(traces)
run "$installer" /S
during=$(traces)
# Otherwise the comparison after the uninstall would prove nothing.
[[ $during == *'[Software\\Tessaly'* && $during == *'Uninstall\\Tessaly]'* ]] ||
    fail "the installation's registry keys are not where the check looks:"$'\n'"$during"
[ -f "$installed/bin/tessaly-cli.exe" ] || fail "no tessaly-cli.exe in $installed/bin"
[ -f "$installed/LICENSE.txt" ] || fail "no licence in $installed"
run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaly' >/dev/null ||
    fail "no uninstaller registered"

shown=$(run "$installed/bin/tessaly-cli.exe" --version | tr -d '\r')
[[ $shown == *"$version"* ]] || fail "--version says '$shown', not $version"

"$vdisplay" --link "$work/display" >/dev/null &
display_pid=$!
for _ in $(seq 50); do [ -L "$work/display" ] && break; sleep 0.1; done
"$top/scripts/wine-prefix" map "$WINEPREFIX" COM9 "$(readlink "$work/display")"
status=0
got=$(run "$installed/bin/tessaly-cli.exe" --port COM9 get | tr -d '\r') || status=$?
[ "$status" -eq 0 ] || fail "get through the installed program ended with $status"
[[ $got == *"Brightness"* ]] || fail "get printed no settings: $got"
kill "$display_pid"
display_pid=
run reg delete 'HKLM\Software\Wine\Ports' /v COM9 /f >/dev/null

# The uninstaller copies itself away and returns at once; traces waits for it.
run "$installed/Uninstall.exe" /S
after=$(traces)
[ "$after" = "$before" ] || fail "left behind after uninstall:"$'\n'"$(diff <(echo "$before") <(echo "$after"))"
echo "windows_installer_test: installed, ran --version ($version) and get, uninstalled without traces"
