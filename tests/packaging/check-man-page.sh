#!/usr/bin/env bash
# check-man-page.sh MANPAGE PROGRAM [ARGS...]
# Fails when a command or option that PROGRAM's --help lists is missing from its man page. A
# command is the first word of a help line indented by exactly two spaces ("  tree BASE",
# "  key <type> <code>"; for tervane-cli's "device" the second word too); an option is any --word.
set -euo pipefail
man_page=$1
shift

help=$("$@" --help)
# The man page's text without troff's font changes and escapes.
text=$(sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/\\&//g' -e 's/\\e/\\/g' "$man_page")

wanted=()
while IFS= read -r line; do
    if [[ $line =~ ^\ \ (device\ [a-z][a-z-]*) ]] || [[ $line =~ ^\ \ ([a-z][a-z0-9-]*) ]]; then
        wanted+=("${BASH_REMATCH[1]}")
    fi
done <<<"$help"
while IFS= read -r option; do
    wanted+=("$option")
done < <(grep -oE -- '--[a-z][a-z0-9-]*' <<<"$help" | sort -u)

if [ ${#wanted[@]} -eq 0 ]; then
    echo "no command or option found in the --help of $*" >&2
    exit 1
fi

missing=0
for word in "${wanted[@]}"; do
    # A command stands as a word of its own: "rm" is not found in "format".
    if ! grep -qE -- "(^|[^a-z0-9-])${word}([^a-z0-9-]|\$)" <<<"$text"; then
        echo "$(basename "$man_page"): \"$word\" of $(basename "$1") --help is missing" >&2
        missing=1
    fi
done
[ $missing -eq 0 ] && echo "$(basename "$man_page"): ${#wanted[@]} commands and options of --help found"
exit $missing
