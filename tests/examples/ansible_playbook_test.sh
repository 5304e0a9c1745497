#!/usr/bin/env bash
# The example playbook against three tills whose displays start out as a store's
# would: two differ from the status file, one holds it already. A fourth till's
# display is silent.
#
# usage: ansible_playbook_test.sh CLI VDISPLAY EXAMPLE_DIR
set -uo pipefail
cli=$1
example=$3
work=$(mktemp -d /tmp/tessaly-ansible.XXXXXX)
# shellcheck disable=SC2046
trap '[ -s "$work/pids" ] && kill $(cat "$work/pids"); wait; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2 && failures=1; }

# Ansible's own files and the program's state stay in the scratch folder; printers
# are borrowed only from a test scheduler.
export ANSIBLE_HOME=$work/ansible ANSIBLE_LOCAL_TEMP=$work/ansible/tmp ANSIBLE_NOCOLOR=1
export ANSIBLE_REMOTE_TEMP=$work/ansible/remote XDG_STATE_HOME=$work/state
[ -n "${TESSALY_TEST_CUPS:-}" ] || export CUPS_SERVER=$work/no-cups.sock

TESSALY_VDISPLAY=$2 TESSALY_CLI=$cli \
    bash "$example/virtual-tills.sh" "$work" till1 till2 till3 till4:silent || exit 1
# The store's settings, saved from till3; till1 and till2 hold a fresh display's.
"$cli" --port "$work/till3.tty" set --code-table "PC858 (Euro)" --brightness 60% >/dev/null &&
    "$cli" --port "$work/till3.tty" save "$work/store.sts" || exit 1

# play STATUS LIMIT EXPECTED: runs the playbook on LIMIT; it must exit with STATUS,
# and the task that applies the file must end as EXPECTED ("till1 changed ...").
play() {
    ansible-playbook -i "$work/inventory.ini" "$example/apply-status.yml" \
        -e "tessaly_status_file=$work/store.sts" --limit "$2" >"$work/out" 2>&1
    local status=$? got
    cat "$work/out"
    [ "$status" -eq "$1" ] || fail "--limit $2: ansible-playbook exited with $status, not $1"
    got=$(awk '/^TASK \[/ { inside = ($0 ~ /^TASK \[The display holds the file.s settings\]/) }
        inside && /^[a-z]+: \[/ { gsub(/[\[\]:]/, ""); print $2, $1 }' "$work/out" | sort | xargs)
    [ "$got" = "$3" ] || fail "--limit $2: the apply task ended [$got], expected [$3]"
}

play 0 till1,till2,till3 "till1 changed till2 changed till3 ok"
grep -q '"Brightness: no selection (field value 0) -> 60%"' "$work/out" ||
    fail "the first run does not show what changed"
play 0 till1,till2,till3 "till1 ok till2 ok till3 ok"
[ "$(grep -cE '^till[123] +: .* changed=0 .* failed=0 ' "$work/out")" -eq 3 ] ||
    fail "the second run changed something"
play 2 till4 "till4 ok"
grep -qF 'fatal: [till4]: FAILED! => {"changed": false, "msg": "The display did not answer. Check the cable and the line settings.' \
    "$work/out" || fail "the silent till does not fail with the display's sentence"
exit $failures
