#!/usr/bin/env bash
# Every command and option that tessaly-cli's help lists, at the top and for
# each command, must be described in its manual page: a top-level option in
# an entry of its own ("*--port* _PORT_" at the start of a line), a command in
# an entry under COMMANDS, and a command's option in an entry indented inside
# that command's entry.
#
# usage: man_page_covers_help.sh PROGRAM PAGE.scd
set -euo pipefail
program=$1
page=$2

# "NAME" for each command, "--OPT"/"-O" for each option, from `PROGRAM [COMMAND] --help`.
help_words() {
    "$program" "$@" --help | awk '
        /^[A-Za-z][A-Za-z ]*:$/ { section = $0; next }
        section == "Subcommands:" && /^  [a-z]/ { print $1; next }
        section == "Options:" && /^  -/ { n = split($1, names, ","); for (i = 1; i <= n; i++) print names[i] }'
}

# Heading lines of entries: "*NAME*..." at the start of a line.
headings=$(grep '^\*' "$page")

# The entry of one command in COMMANDS: from its heading line to the next one.
entry() {
    sed -n "/^# COMMANDS/,/^# /p" "$page" |
        awk -v name="$1" '/^\*[a-z]/ { inside = ($0 ~ "^\\*" name "\\*") } inside'
}

has_heading() {  # TEXT WORD [INDENT]: a heading line in TEXT names *WORD*
    grep -qE -- "^${3:-}\*([^ ]*\*, \*)?$2\*" <<<"$1"
}

missing=0
commands=()
top=$(help_words)
[ -n "$top" ] || { echo "$program --help printed no commands or options" >&2; exit 1; }
while IFS= read -r word; do
    if [[ $word == -* ]]; then
        has_heading "$headings" "$word" || { echo "$page: option $word has no entry" >&2; missing=1; }
    else
        commands+=("$word")
    fi
done <<<"$top"

for command in "${commands[@]}"; do
    text=$(entry "$command")
    if [ -z "$text" ]; then
        echo "$page: command $command has no entry under COMMANDS" >&2
        missing=1
        continue
    fi
    while IFS= read -r word; do
        [[ $word == -h || $word == --help ]] && continue  # described once for all
        has_heading "$text" "$word" $'\t' ||
            { echo "$page: option $word of $command has no entry inside its entry" >&2; missing=1; }
    done < <(help_words "$command")
done
exit "$missing"
