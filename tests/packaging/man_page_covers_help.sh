#!/usr/bin/env bash
# Every command and option that tessaly-cli's help lists, at the top and for
# each command, must be described in its manual page: a top-level option
# anywhere in the page, a command's option in that command's own entry.
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

# The page without its markup: *bold* and _underlined_ words read as plain words.
plain=$(sed -e 's/\*//g' -e 's/\b_\([^_]*\)_\b/\1/g' "$page")

# The entry of one command in COMMANDS: from its heading line to the next one.
entry() {
    sed -n "/^# COMMANDS/,/^# /p" "$page" |
        awk -v name="$1" '/^\*[a-z]/ { inside = ($0 ~ "^\\*" name "\\*") } inside' |
        sed -e 's/\*//g'
}

contains() {  # TEXT WORD
    grep -qE -- "(^|[^[:alnum:]-])$2([^[:alnum:]-]|\$)" <<<"$1"
}

missing=0
commands=()
top=$(help_words)
[ -n "$top" ] || { echo "$program --help printed no commands or options" >&2; exit 1; }
while IFS= read -r word; do
    if [[ $word == -* ]]; then
        contains "$plain" "$word" || { echo "$page: option $word is not described" >&2; missing=1; }
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
        contains "$text" "$word" ||
            { echo "$page: option $word of $command is not in its entry" >&2; missing=1; }
    done < <(help_words "$command")
done
exit "$missing"
