#!/usr/bin/env bash
# The bash completion of tessaly-cli, sourced into this bash and asked as the
# shell asks it, against the built program.
#
# usage: completion_test.sh COMPLETION PROGRAM
set -uo pipefail
completion=$1
program=$2
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Sourced as bash-completion sources it: any message is a fault, even when the
# lines before it defined everything the cases below use.
errors=$(bash --norc --noprofile -c 'source "$1"' bash "$completion" 2>&1)
[ -z "$errors" ] || fail "sourcing the completion says: $errors"
# shellcheck source=/dev/null
source "$completion"

# Sets `offered` to what the completion offers for the last of the given words,
# one a line, sorted. Run in this shell, as the shell runs it, so that what the
# completion keeps between calls is kept here too.
offers() {
    local prog=$1
    shift
    COMP_WORDS=("$prog" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _tessaly_cli
    offered=
    [ ${#COMPREPLY[@]} -eq 0 ] || offered=$(printf '%s\n' "${COMPREPLY[@]}" | sort)
}

# expect_exactly "WORDS" LINE...: the offers are exactly these lines.
expect_exactly() {
    local words=$1
    shift
    local want
    eval "offers \"\$program\" $words"
    want=$(printf '%s\n' "$@" | sort)
    [ "$offered" = "$want" ] || fail "tessaly-cli $words: offered [$offered], expected [$want]"
}

# expect_among "WORDS" LINE...: each of these lines is offered.
expect_among() {
    local words=$1
    shift
    local line prog=${PROGRAM_FOR_TEST:-$program}
    eval "offers \"\$prog\" $words"
    for line in "$@"; do
        grep -qxF -- "$line" <<<"$offered" || fail "tessaly-cli $words: [$line] not among [$offered]"
    done
}

complete -p tessaly-cli >/dev/null 2>&1 || fail "sourcing the completion registers nothing for tessaly-cli"

# Commands and options, from the program's own help.
expect_among "''" check self-test get set save load show show-info version
expect_among "--" --port --baud --data-bits --parity --emulation --help --version
expect_among "set --" --code-table --intl-set --brightness --peripheral --cursor --dry-run --port
expect_exactly "get --j" --json
# An option's value is not taken for the command, nor a flag for an option with a value.
expect_among "--port COM2 s" save set self-test show show-info
expect_exactly "get --json --baud 9" 9600
# The help is asked once a shell, not at every key press.
[ ${#_tessaly_cli_help_cache[@]} -eq 3 ] ||
    fail "help asked for ${!_tessaly_cli_help_cache[*]}, expected three: the program's, get's and set's"

# Values by their list texts, matched without regard to case; texts with spaces stay whole.
expect_exactly "set --brightness 4" "40%"
expect_exactly "set --code-table pc85" "PC850 (Multilingual)" "PC852 (Latin 2)" "PC858 (Euro)"
expect_exactly "set --code-table '\"PC86'" "PC860 (Portugues)" "PC863 (Canadian-French)" \
    "PC865 (Nordic)" "PC866 (Cyrillic #2)" "PC864(Arabic)"
expect_exactly "set --peripheral B" "Both Printer and Customer Display"
expect_exactly "--emulation q" quelmar
expect_exactly "--parity e" even
expect_exactly "--baud 1" 115200 19200
expect_exactly "--port COM1" COM1 COM10

# Ports from discovery, when the program lists some; nothing more when it cannot.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/tessaly-cli" <<SCRIPT
#!/bin/sh
if [ "\$1" = ports ]; then
    echo "/dev/ttyUSB7  0403:6001 Serial adapter"
    echo "/dev/serial/by-id/usb-Maker_Display-if00-port0"
    exit 0
fi
exec "$program" "\$@"
SCRIPT
chmod +x "$work/tessaly-cli"
PROGRAM_FOR_TEST=$work/tessaly-cli expect_among "--port /dev/" /dev/ttyUSB7 \
    /dev/serial/by-id/usb-Maker_Display-if00-port0
printf '#!/bin/sh\n[ "$1" = ports ] && { echo "no such thing" >&2; exit 2; }\nexec "%s" "$@"\n' \
    "$program" >"$work/failing-cli"
chmod +x "$work/failing-cli"
offers "$work/failing-cli" --port ""
[ "$offered" = "$(printf 'COM%s\n' 1 2 3 4 5 6 7 8 9 10 | sort)" ] ||
    fail "--port with a failing ports command: offered [$offered]"

# Status files for the commands that take one.
touch "$work/till.sts" "$work/my till.sts"
expect_among "load $work/ti" "$work/till.sts"
expect_exactly "load '$work/my'" "$work/my till.sts"

# The other names the command line takes for an item: its name in parentheses, and
# the right spelling of an item the list spells wrong.
expect_among "set --code-table Lat" "Latin 1"
expect_exactly "set --code-table eu" "Euro"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "completion: all cases passed"
