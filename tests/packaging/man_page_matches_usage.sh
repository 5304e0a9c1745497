#!/usr/bin/env bash
# A manual page must show no scdoc markup as text once rendered ("COM_n_" where
# an underline was meant), and, given its program, describe every option that
# the program's usage names in an entry of its own ("*--port* _NAME_" at the
# start of a line) and every word its usage lists for NAME ("--fault NAME") as
# *word*.
#
# usage: man_page_matches_usage.sh PAGE.scd [PROGRAM]
set -euo pipefail
page=$1
program=${2:-}
failed=0

# Underscores or asterisks left around a word in the rendered text.
rendered=$(scdoc <"$page" | LC_ALL=C.UTF-8 MANWIDTH=200 man -l - 2>/dev/null | col -b)
if shown=$(grep -nE '[A-Za-z0-9+)]_[a-z0-9+-]+_|(^|[ (])_[a-z0-9]|\*[A-Za-z_-]+\*' <<<"$rendered"); then
    echo "$page: markup shown as text:" >&2
    echo "$shown" >&2
    failed=1
fi

if [ -n "$program" ]; then
    usage=$("$program" --help)
    for option in $(grep -oE -- '--[a-z][a-z-]*' <<<"$usage" | sort -u); do
        grep -qE -- "^\*([^ ]*\*, \*)?$option\*" "$page" ||
            { echo "$page: option $option has no entry" >&2; failed=1; }
    done
    # "  NAME: a, b," and its indented continuation lines.
    words=$(awk '/^  NAME:/ { on = 1; sub(/^  NAME:/, ""); print; next }
                 on && /^        / { print; next } { on = 0 }' <<<"$usage" | tr ', ' '\n\n')
    for word in $words; do
        grep -qF -- "*$word*" "$page" || { echo "$page: $word is not described" >&2; failed=1; }
    done
fi
exit "$failed"
