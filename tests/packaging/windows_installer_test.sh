#!/usr/bin/env bash
# windows_installer_test.sh WINDOWS_BUILD_DIR VDISPLAY HAS_WINDOWS
# The Windows installer in the test prefix ($WINEPREFIX): a silent install (/S)
# into Program Files, the installed tessaly-cli.exe's --version and a `get`
# against a virtual display on COM9, tessaly.exe and its Start menu link (when
# HAS_WINDOWS is 1: the tree builds tessaly.exe), then a silent uninstall that
# must leave no file and no registry entry of Tessaly behind, and the user's
# journal folder as it was. COM9 is the pseudo-terminal that
# $TESSALY_WINE_PORTS_DIR/com9 links to (scripts/test-windows maps it).
set -euo pipefail
build=$(cd "$1" && pwd)
vdisplay=$2
has_windows=${3:-0}
top=$(cd "$(dirname "$0")/../.." && pwd)
: "${WINEPREFIX:?set WINEPREFIX to a prefix made by scripts/wine-prefix create}"
com9=${TESSALY_WINE_PORTS_DIR:?set TESSALY_WINE_PORTS_DIR to the folder of the COM links}/com9
export WINEDEBUG=-all
# Wine would copy the Start menu entries into the user's own desktop menus.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
# Each wine program finds a server of ours running, lingering 5 s after its last
# program: one that a program started would keep that program's output, and a
# captured output would then stay open for as long as the server lives.
run() {
    "$wineserver" -p5 </dev/null >/dev/null 2>&1 || true
    "$top/scripts/wine-run" "$@"
}
fail() {
    echo "windows_installer_test: $*" >&2
    exit 1
}

work=$(mktemp -d)
installed="$WINEPREFIX/drive_c/Program Files/Tessaly"
journals="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Tessaly"
display_pid=
cleanup() {
    [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null
    # A failed run must not leave its installation to the next.
    [ -f "$installed/Uninstall.exe" ] && run "$installed/Uninstall.exe" /S
    rm -rf "$work" "$journals/installer-test"
}
trap cleanup EXIT

# What the installer may leave: files by name (other tests' scratch folders in
# Temp aside, and the runs' own state folder in the user's AppData, which holds
# their journals and is the user's), its registry keys, and PATH.
traces() {
    find "$WINEPREFIX/drive_c" -iname '*tessaly*' -not -path '*/Temp/*' \
        -not -path '*/AppData/Local/Tessaly*' | sort
    local key
    for key in 'HKLM\Software\Tessaly' 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaly'; do
        if run reg query "$key" >/dev/null 2>&1; then echo "$key"; fi
    done
    for key in 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' 'HKCU\Environment'; do
        run reg query "$key" /v PATH 2>/dev/null | tr -d '\r' | grep -i tessaly || true
    done
}

(cd "$build" && cpack -G NSIS -B "$work/package" >/dev/null) || fail "cpack -G NSIS failed"
installer=$(ls "$work"/package/tessaly-*-win64.exe)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

before=$(traces)
run "$installer" /S
during=$(traces)
# Otherwise the comparison after the uninstall would prove nothing.
[[ $during == *'\Software\Tessaly'* && $during == *'Uninstall\Tessaly'* ]] ||
    fail "the installation's registry keys are not where the check looks:"$'\n'"$during"
[ -f "$installed/bin/tessaly-cli.exe" ] || fail "no tessaly-cli.exe in $installed/bin"
[ -f "$installed/LICENSE.txt" ] || fail "no licence in $installed"

# The Start menu link, in the all users' menu or the user's own (as the
# installer's rights decide); only for the windows' program.
menu_link() {
    find "$WINEPREFIX/drive_c" -ipath '*/Start Menu/Programs/Tessaly/Tessaly.lnk' | head -n 1
}
link=$(menu_link)
if [ "$has_windows" = 1 ]; then
    [ -f "$installed/bin/tessaly.exe" ] || fail "no tessaly.exe in $installed/bin"
    [ -n "$link" ] || fail "no Start menu link Tessaly\\Tessaly"
    # The link holds its target's full path, as the shell resolves it.
    LC_ALL=C grep -aqi 'Tessaly\\bin\\tessaly\.exe' "$link" ||
        fail "the Start menu link does not start bin\\tessaly.exe"
else
    [ -z "$link" ] || fail "a Start menu link without tessaly.exe: $link"
fi

shown=$(run "$installed/bin/tessaly-cli.exe" --version | tr -d '\r')
[[ $shown == *"$version"* ]] || fail "--version says '$shown', not $version"

"$vdisplay" --link "$com9" >/dev/null &
display_pid=$!
for _ in $(seq 50); do [ -L "$com9" ] && break; sleep 0.1; done
status=0
got=$(run "$installed/bin/tessaly-cli.exe" --port COM9 get | tr -d '\r') || status=$?
[ "$status" -eq 0 ] || fail "get through the installed program ended with $status"
[[ $got == *"Brightness"* ]] || fail "get printed no settings: $got"
kill "$display_pid"
display_pid=

# A journal of the user's, as a run that restores printers leaves it; the
# uninstaller must not take it along.
mkdir -p "$journals/installer-test"
echo "kept" >"$journals/installer-test/journal"

# The uninstaller copies itself away and returns at once: wait, at most 30 s,
# for it to finish.
run "$installed/Uninstall.exe" /S
for _ in $(seq 30); do
    after=$(traces)
    [ "$after" = "$before" ] && break
    sleep 1
done
[ "$after" = "$before" ] ||
    fail "left behind after uninstall:"$'\n'"$(diff <(echo "$before") <(echo "$after"))"
[ -z "$(menu_link)" ] || fail "the Start menu link outlived the uninstall"
[ "$(cat "$journals/installer-test/journal" 2>/dev/null)" = kept ] ||
    fail "the uninstaller took the user's journals in $journals"
echo "windows_installer_test: installed, ran --version ($version) and get, uninstalled without traces"
[ "$has_windows" = 1 ] && echo "windows_installer_test: tessaly.exe and its Start menu link came and went"
exit 0
