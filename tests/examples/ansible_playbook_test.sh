#!/usr/bin/env bash
# The example playbook against three tills whose displays start out as a store's
# would: two differ from the status file, one holds it already. A fourth till's
# display is silent.
#
# usage: ansible_playbook_test.sh CLI VDISPLAY EXAMPLE_DIR
set -uo pipefail
cli=$1
vdisplay=$2
example=$3
work=$(mktemp -d /tmp/tessaly-ansible.XXXXXX)
cleanup() {
    # shellcheck disable=SC2046
    [ -s "$work/pids" ] && kill $(cat "$work/pids") 2>/dev/null
    wait
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Ansible's own files and the program's state stay in the scratch folder; printers
# are borrowed only from a test scheduler.
export ANSIBLE_HOME=$work/ansible ANSIBLE_LOCAL_TEMP=$work/ansible/tmp
export ANSIBLE_REMOTE_TEMP=$work/ansible/remote ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0
export XDG_STATE_HOME=$work/state
[ -n "${TESSALY_TEST_CUPS:-}" ] || export CUPS_SERVER=$work/no-cups.sock

TESSALY_VDISPLAY=$vdisplay TESSALY_CLI=$cli \
    bash "$example/virtual-tills.sh" "$work" till1 till2 till3 till4:silent || exit 1

# The store's settings, saved from till3; till1 and till2 hold a fresh display's.
"$cli" --port "$work/till3.tty" set --code-table "PC858 (Euro)" --brightness 60% >/dev/null &&
    "$cli" --port "$work/till3.tty" save "$work/store.sts" || exit 1

# play EXPECTED_STATUS LIMIT: runs the playbook, keeps its output in $work/out.
play() {
    ansible-playbook -i "$work/inventory.ini" "$example/apply-status.yml" \
        -e "tessaly_status_file=$work/store.sts" --limit "$2" >"$work/out" 2>&1
    local status=$?
    cat "$work/out"
    [ "$status" -eq "$1" ] || fail "ansible-playbook --limit $2 exited with $status, not $1"
}

# "HOST STATUS" for each till in the task that applies the file, sorted.
applied() {
    awk '/^TASK \[/ { inside = ($0 ~ /^TASK \[The display holds the file.s settings\]/); next }
        inside && /^[a-z]+: \[/ { status = $1; host = $2; sub(/:$/, "", status)
                                  gsub(/[\[\]:]/, "", host); print host, status }' "$work/out" | sort
}

expect_applied() {
    local got
    got=$(applied)
    [ "$got" = "$(printf '%s\n' "$@")" ] || fail "run $run: applied [$got], expected [$*]"
}

run=first
play 0 till1,till2,till3
expect_applied "till1 changed" "till2 changed" "till3 ok"
grep -q '"Character code table: PC437 (USA: Standard Europe) -> PC858 (Euro)"' "$work/out" ||
    fail "the first run does not show what changed"

run=second
play 0 till1,till2,till3
expect_applied "till1 ok" "till2 ok" "till3 ok"
[ "$(grep -cE '^till[123] +: ok=[0-9]+ +changed=0 +unreachable=0 +failed=0' "$work/out")" -eq 3 ] ||
    fail "the second run changed something"

run=silent
play 2 till4
grep -qF 'fatal: [till4]: FAILED! => {"changed": false, "msg": "The display did not answer. Check the cable and the line settings."}' \
    "$work/out" || fail "the silent till does not fail with the display's sentence"

exit $((failures > 0))
