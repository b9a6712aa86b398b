#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The bash completions of KOR, korsetup and korlogo, loaded with
# bash-completion as a shell loads them: what a Tab offers on a few command
# lines, options, commands and files of the right kinds, in a scratch folder.
#
#   bash tests/completions/completions_test.sh COMPLETIONS_FOLDER
set -uo pipefail

completions="$(realpath "$1")"
# shellcheck disable=SC1091 # the system's bash-completion
source /usr/share/bash-completion/bash_completion || {
    echo "FAIL: bash-completion is not installed" >&2
    exit 1
}
for program in KOR korsetup korlogo; do
    # shellcheck disable=SC1090
    source "$completions/$program"
done

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
touch LOGO.SYS logow.sys holiday.jpg photo.PNG notes.txt
mkdir folder

# What a Tab after LINE (its last word is completed) offers, sorted, on one line.
offered() {
    local line="$1"
    COMP_LINE="$line"
    COMP_POINT=${#line}
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    local function
    function="$(complete -p "${COMP_WORDS[0]}" | sed -E 's/.*-F ([^ ]+).*/\1/')"
    "$function" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | xargs
}

failures=0
while IFS='|' read -r line expected; do
    [[ -z "$line" ]] && continue
    got="$(offered "$line")"
    if [[ "$got" != "$expected" ]]; then
        echo "FAIL: \"$line<Tab>\" offers \"$got\", not \"$expected\""
        failures=$((failures + 1))
    fi
done <<'CASES'
KOR --|-- --add-machine --drives --dry-run --help --list-machines --machine --verbose --version
KOR --dr|--drives --dry-run
KOR --add-machine Win95 hol|holiday.jpg
korsetup --|--help --machine --version
korsetup -platform |offscreen wayland xcb
korlogo |check convert preview
korlogo --|--help --version
korlogo check |LOGO.SYS folder logow.sys
korlogo check --|--help --pc98
korlogo convert --|--animate-from --fill --fit --help --pc98 --square-pixels --stretch
korlogo convert |folder holiday.jpg photo.PNG
korlogo convert --fit holiday.jpg |LOGO.SYS folder logow.sys
korlogo convert --animate-from 236 holiday.jpg |LOGO.SYS folder logow.sys
korlogo convert holiday.jpg LOGO.SYS |
korlogo preview --|--help --interval --pc98 --save --square-pixels
korlogo preview --save |folder photo.PNG
korlogo preview --interval |
korlogo preview --save out.png |LOGO.SYS folder logow.sys
korlogo preview LOGO.SYS |
CASES

if ((failures)); then
    echo "$failures completion(s) wrong"
    exit 1
fi
echo "every completion offers what it should"
