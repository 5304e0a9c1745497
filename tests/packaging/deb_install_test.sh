#!/usr/bin/env bash
# Installs the Debian package into a throw-away root with dpkg, uses what it
# installed as a user would, removes it, and checks that nothing of it is left.
# The machine's own installation is not touched, so the rest of the suite
# keeps running against the build tree.
#
# usage: deb_install_test.sh PACKAGE.deb VERSION
set -euo pipefail
deb=$1
version=$2

if [ "$(id -u)" -ne 0 ]; then
    echo "not root: dpkg cannot install into a throw-away root; skipped" >&2
    exit 77
fi

root=$(mktemp -d /tmp/tessaly-root.XXXXXX)
work=$(mktemp -d /tmp/tessaly-install.XXXXXX)
vdisplay_pid=
cleanup() {
    [ -n "$vdisplay_pid" ] && kill "$vdisplay_pid" 2>/dev/null
    rm -rf "$root" "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# dpkg's own records, the only thing in the root before and after.
admin=$root/var/lib/dpkg
mkdir -p "$admin/info" "$admin/updates" "$root/var/log"
touch "$admin/status"
listing() { (cd "$root" && find . -path ./var -prune -o -print | sort); }
before=$(listing)

# The Depends must be satisfiable from this machine's archive: apt resolves
# them without installing anything.
apt-get -s -o Debug::NoLocking=1 install "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt cannot satisfy the package's Depends"; }

# The libraries come from the machine, not from the empty root.
dpkg --root="$root" --force-depends --force-script-chrootless -i "$deb" >"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log" >&2; fail "dpkg -i"; }
bin=$root/usr/bin
share=$root/usr/share

# Versions: both programs report the project's version.
[ "$("$bin/tessaly-cli" --version)" = "tessaly-cli $version" ] || fail "tessaly-cli --version"
[ "$("$bin/tessaly-cli" version)" = "tessaly-cli $version" ] || fail "tessaly-cli version"
"$bin/tessaly" --version | grep -q "^tessaly $version " || fail "tessaly --version"

# tessaly --help needs no window system.
env -u DISPLAY -u WAYLAND_DISPLAY "$bin/tessaly" --help >"$work/help" || fail "tessaly --help exit status"
grep -q "^usage: tessaly" "$work/help" || fail "tessaly --help prints no usage"

# The installed virtual display, read by the installed command line.
mkfifo "$work/device"
"$bin/tessaly-vdisplay" >"$work/device" &
vdisplay_pid=$!
read -r -t 10 device <"$work/device" || fail "tessaly-vdisplay printed no device"
timeout 30 "$bin/tessaly-cli" --port "$device" get >"$work/get" || fail "tessaly-cli get"
grep -q "Brightness" "$work/get" || fail "tessaly-cli get printed no settings"
kill "$vdisplay_pid"
wait "$vdisplay_pid" || true
vdisplay_pid=

# Manual pages where man finds them.
for page in tessaly tessaly-cli tessaly-vdisplay; do
    found=$(MANPATH=$share/man man -w "$page") || fail "man -w $page"
    [ "$found" = "$share/man/man1/$page.1.gz" ] || fail "man -w $page found $found"
done

# The completion, sourced by a fresh bash, completing with the installed program.
completion=$share/bash-completion/completions/tessaly-cli
[ -f "$completion" ] || fail "no completion in $completion"
offered=$(PATH=$bin:$PATH bash --norc --noprofile -c '
    source "$1" 2>&1 | grep . >&2 && exit 1
    source "$1"
    COMP_WORDS=(tessaly-cli set --brightness 4); COMP_CWORD=3; _tessaly_cli
    printf "%s\n" "${COMPREPLY[@]}"
    COMP_WORDS=(tessaly-cli sh); COMP_CWORD=1; _tessaly_cli
    printf "%s\n" "${COMPREPLY[@]}"' bash "$completion") || fail "sourcing the installed completion"
[ "$offered" = "$(printf '40%%\nshow\nshow-info')" ] || fail "completion offered [$offered]"

# The menu entry starts an installed program and finds its icon at every size.
desktop=$share/applications/org.tessaly.Tessaly.desktop
[ -f "$desktop" ] || fail "no desktop entry"
[ -x "$bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")" ] || fail "Exec names no installed program"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$icon.png
    [ "$(identify -format '%wx%h' "$png")" = "${size}x$size" ] || fail "icon $png"
done
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon"
[ -f "$share/metainfo/$icon.metainfo.xml" ] || fail "no AppStream data under the icon's id"

# Removed, nothing of it is left.
dpkg --root="$root" --force-script-chrootless --purge tessaly >"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log" >&2; fail "dpkg --purge"; }
after=$(listing)
[ "$after" = "$before" ] || fail "left after removal: $(comm -13 <(echo "$before") <(echo "$after"))"
echo "installed, used and removed cleanly"
