#!/usr/bin/env bash
# tessaly-cli.exe under wine against Linux virtual displays, each command run the
# same way by the Linux tessaly-cli against a display of its own: the exit status,
# standard output and error, the bytes each display received and the status file
# saved must be the same. The faults: a silent display, one that hangs up in the
# middle of the switch writes, and a line that stops taking bytes.
#   windows_cli_test.sh TESSALY_CLI_EXE LINUX_BUILD_DIR WINE_RUN
# Needs WINEPREFIX and TESSALY_WINE_PORTS_DIR: COM5 in the prefix must be mapped
# to $TESSALY_WINE_PORTS_DIR/com5 (scripts/test-windows does both).
set -euo pipefail
exe=$(realpath "$1")
linux_cli=$(realpath "$2")/cli/tessaly-cli
vdisplay=$(realpath "$2")/tools/tessaly-vdisplay
wine_run=$(realpath "$3")
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
com5=${TESSALY_WINE_PORTS_DIR:?}/com5
for program in "$exe" "$linux_cli" "$vdisplay"; do
    [ -x "$program" ] || { echo "missing $program (build the Linux tree first)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/tessaly-wine-cli.XXXXXX)
display_pid=
cleanup() {
    [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
failures=0

# A server that a command under test started would keep that command's standard
# error and write there if someone stopped it; one of our own, lingering a few
# seconds after its last program, does not (none is started when one runs).
start_server() {
    "$wineserver" -p5 </dev/null >/dev/null 2>&1 || true
}

# start_display LINK RECORD [vdisplay options]: a display whose device LINK names.
start_display() {
    local link=$1 record=$2
    shift 2
    rm -f "$link"
    "$vdisplay" --link "$link" --record "$record" "$@" >/dev/null &
    display_pid=$!
    for _ in $(seq 100); do
        [ -L "$link" ] && return 0
        sleep 0.05
    done
    echo "the virtual display did not start" >&2
    exit 1
}

stop_display() {
    kill -TERM "$display_pid"
    wait "$display_pid" || true
    display_pid=
}

# run_session SIDE SESSION [vdisplay options]: every command of SESSION (a file of
# command lines; @PORT@ is the side's port) on one display, results in $work/SIDE.
run_session() {
    local side=$1 session=$2 link port n=0
    shift 2
    mkdir -p "$work/$side"
    if [ "$side" = linux ]; then link=$work/linux-tty port=$link; else link=$com5 port=COM5; fi
    start_display "$link" "$work/$side/bytes" "$@"
    while read -r -a words; do
        n=$((n + 1))
        local args=("${words[@]//@PORT@/$port}") status=0
        if [ "$side" = linux ]; then
            (cd "$work/$side" && "$linux_cli" --port "$port" "${args[@]}") \
                >"$work/$side/$n.out" 2>"$work/$side/$n.err" || status=$?
        else
            start_server
            (cd "$work/$side" && "$wine_run" "$exe" --port "$port" "${args[@]}") \
                >"$work/$side/$n.out" 2>"$work/$side/$n.err" || status=$?
        fi
        echo "$status" >"$work/$side/$n.status"
        # The port's own name is the one thing the two sides may print differently.
        sed -i "s|$port|PORT|g" "$work/$side/$n.out" "$work/$side/$n.err"
        echo "${words[*]}" >"$work/$side/$n.command"
    done <"$session"
    stop_display
}

# compare NAME SESSION [vdisplay options]
compare() {
    local name=$1
    shift
    rm -rf "$work/linux" "$work/windows"
    run_session linux "$@"
    run_session windows "$@"
    if [ -s "$work/linux/bytes" ] && diff -r -u "$work/linux" "$work/windows"; then
        echo "ok: $name"
    else
        echo "FAILED: $name (linux is ---, windows is +++)"
        failures=$((failures + 1))
    fi
}

cat >"$work/main.session" <<'END'
check
get
set --brightness 40%
get --json
save till.sts
set --brightness 100%
load till.sts
show till.sts
show --json till.sts
scan --port @PORT@ --baud 9600
END
compare "commands against a sound display" "$work/main.session"

printf 'check\nget\nset --brightness 40%%\n' >"$work/silent.session"
compare "a silent display" "$work/silent.session" --fault silent

printf 'set --brightness 40%%\n' >"$work/hang-up.session"
compare "a hang-up in the middle of the switch writes" "$work/hang-up.session" \
    --fault hang-up --hang-up-after 100

# Output that stops after the check's greeting: the self test cannot go out, and
# the write gives up at its 2 s bound.
printf 'self-test\n' >"$work/stall.session"
compare "a line that stops taking bytes" "$work/stall.session" --fault stall --hang-up-after 15

# Ctrl-C, which wine turns SIGINT into, stops the run between two commands: the
# status is 128 + SIGINT as on Linux, and a display that was put in user setting
# mode is told to leave it before the port closes. The signal comes while `set`
# writes as a rule; should a slow start make it come during the read, the run
# must say that nothing was changed.
start_display "$com5" "$work/interrupted.bytes"
start_server
(cd "$work" && exec "$wine_run" "$exe" --port COM5 set --brightness 20%) \
    >"$work/interrupted.out" 2>"$work/interrupted.err" &
cli=$!
sleep 4
kill -INT "$cli"
status=0
wait "$cli" || status=$?
stop_display
hex() { od -An -tx1 -v | tr -d ' \n'; }
enter=$(printf '\x1f\x28\x45\x03\x00\x01\x49\x4e' | hex)
leave=$(printf '\x1f\x28\x45\x04\x00\x02\x4f\x55\x54' | hex)
sent=$(hex <"$work/interrupted.bytes")
# The check enters user setting mode and leaves it once; the writes enter it again.
rest=${sent#*"$enter"}
if [[ $rest == *"$enter"* ]]; then
    said="Stopped before the end. The display's settings may be incomplete."
else
    said="Stopped before the end. Nothing was changed."
fi
if [ "$status" = 130 ] && [ "$(cat "$work/interrupted.err")" = "$said" ] &&
    [[ ${sent##*"$enter"} == *"$leave"* ]]; then
    echo "ok: Ctrl-C"
else
    echo "FAILED: Ctrl-C: status $status, sent $sent"
    cat "$work/interrupted.out" "$work/interrupted.err"
    failures=$((failures + 1))
fi

# The ports the prefix maps are listed with the fields the Linux command line gives.
start_server
if "$wine_run" "$exe" ports --json >"$work/ports.json" 2>"$work/ports.err" &&
    grep -q '"COM5"' "$work/ports.json"; then
    echo "ok: ports lists COM5"
else
    echo "FAILED: ports --json"
    cat "$work/ports.json" "$work/ports.err"
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ]
