#!/usr/bin/env bash
# Stands in for a store without hardware: one virtual display per till name,
# each on its own pseudo-terminal, and an inventory that runs the playbook on
# this machine (local connection) against them.
#
# usage: virtual-tills.sh DIR NAME[:FAULT]...
#   DIR/NAME.tty      the till's display (FAULT as tessaly-vdisplay --fault takes it)
#   DIR/NAME/         where the till keeps its copy of the status file
#   DIR/inventory.ini the group "tills"
#   DIR/pids          the displays; end them with: kill $(cat DIR/pids)
# TESSALY_VDISPLAY and TESSALY_CLI name the programs (default: from PATH).
set -euo pipefail
dir=$1
shift
vdisplay=${TESSALY_VDISPLAY:-tessaly-vdisplay}
cli=${TESSALY_CLI:-tessaly-cli}

mkdir -p "$dir"
: >"$dir/pids"
{
    echo "[tills]"
    for till in "$@"; do
        name=${till%%:*}
        fault=none
        [[ $till == *:* ]] && fault=${till#*:}
        "$vdisplay" --fault "$fault" --link "$dir/$name.tty" >/dev/null &
        echo $! >>"$dir/pids"
        echo "$name tessaly_port=$dir/$name.tty tessaly_status_copy=$dir/$name/store.sts"
    done
    echo
    echo "[tills:vars]"
    echo "ansible_connection=local"
    echo "ansible_python_interpreter=/usr/bin/python3"
    echo "tessaly_cli=$cli"
} >"$dir/inventory.ini"

# Each display makes its link once its pseudo-terminal is open.
for till in "$@"; do
    for _ in $(seq 50); do
        [ -e "$dir/${till%%:*}.tty" ] && break
        sleep 0.1
    done
    [ -e "$dir/${till%%:*}.tty" ] || { echo "virtual-tills.sh: no display for ${till%%:*}" >&2; exit 1; }
done
