#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Each manual page says what its program's --help says: the same synopsis,
# form by form, and the same options with the same argument names, in English
# (docs/man) and in Japanese (docs/man/ja). Fails naming every difference.
#
# The pages write their synopsis and the tags of their options (the line after
# .TP in OPTIONS) with .B, .I, .BR-like macros, font escapes and plain text;
# .br separates the forms of the synopsis.
#
#   bash tests/docs/manual_pages_test.sh --pages docs/man PROGRAM...
set -euo pipefail
# Sorting and comparing in one fixed order; each program gets its own locale.
export LC_ALL=C.UTF-8

pages=""
programs=()
while (($#)); do
    case "$1" in
        --pages) pages="$2"; shift ;;
        *) programs+=("$1") ;;
    esac
    shift
done
[[ -n "$pages" && ${#programs[@]} -gt 0 ]] || {
    echo "manual_pages_test: --pages FOLDER and the programs are needed" >&2
    exit 2
}

# The text a roff line puts on the page: a font macro's arguments (joined
# without blanks by the alternating ones), plain text as it is, "\n" for .br,
# nothing for other requests.
roff_awk='
function arguments(line, words,    count, word, quoted, i, c) {
    count = 0; word = ""; quoted = 0
    for (i = 1; i <= length(line); i++) {
        c = substr(line, i, 1)
        if (c == "\"") { quoted = !quoted; continue }
        if (c == " " && !quoted) { if (word != "") words[++count] = word; word = ""; continue }
        word = word c
    }
    if (word != "") words[++count] = word
    return count
}
function text(line,    words, count, macro, joiner, result, i) {
    if (line !~ /^\./) return line
    count = arguments(line, words)
    macro = words[1]
    if (macro == ".br") return "\n"
    if (macro == ".B" || macro == ".I") joiner = " "
    else if (macro ~ /^\.(BR|RB|IR|RI|BI|IB)$/) joiner = ""
    else return ""
    result = ""
    for (i = 2; i <= count; i++) result = result (i > 2 ? joiner : "") words[i]
    return result
}
function plain(s) {
    gsub(/\\f(\[[^]]*\]|\(..|.)/, "", s)
    gsub(/\\-/, "-", s); gsub(/\\&/, "", s); gsub(/\\ /, " ", s); gsub(/\\e/, "\\", s)
    gsub(/[ \t]+/, " ", s); sub(/^ /, "", s); sub(/ $/, "", s)
    return s
}
'

# The synopsis of a page, a form per line.
page_synopsis() {
    awk "$roff_awk"'
        /^\.SH/ { inside = ($2 == "SYNOPSIS" || $2 == "書式"); next }
        inside { all = all " " text($0) }
        END { n = split(all, forms, "\n"); for (i = 1; i <= n; i++) if (plain(forms[i]) != "") print plain(forms[i]) }
    ' "$1"
}

# The options of a page: each tag of OPTIONS split at ", ", a line each.
page_options() {
    awk "$roff_awk"'
        /^\.SH/ { inside = ($2 == "OPTIONS" || $2 == "オプション"); next }
        inside && tag { n = split(plain(text($0)), names, ", "); for (i = 1; i <= n; i++) print names[i] }
        { tag = inside && /^\.TP/ }
    ' "$1" | sort -u
}

# The usage forms of a help: from the "usage:" line to the first line that
# does not start with a blank, a form starting at each line that starts with
# the program's name.
help_synopsis() {
    awk -v program="$2" '
        NR == 1 { sub(/^[^ ]+: */, ""); form = $0; next }
        !/^ / { exit }
        { line = $0; sub(/^ +/, "", line)
          if (index(line, program " ") == 1 || line == program) { print form; form = line }
          else form = form " " line }
        END { print form }
    ' <<<"$1" | sed 's/[[:space:]]\+/ /g; s/ $//'
}

# The options of a help: the lines that start with blanks and "-", up to two
# blanks in a row, split at ", ".
help_options() {
    grep -E '^ +-' <<<"$1" | sed -E 's/^ +//; s/  .*//; s/, /\n/g' | sed 's/ *$//' | sort -u
}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

check_page() {
    local program="$1" page="$2" locale="$3"
    local name help
    name="$(basename "$program")"
    [[ -f "$page" ]] || { fail "$page is missing"; return; }
    help="$(LC_ALL="$locale" LANG="$locale" "$program" --help)" || { fail "$name --help failed"; return; }
    local from_help from_page
    from_help="$(help_synopsis "$help" "$name")"
    from_page="$(page_synopsis "$page")"
    if [[ "$from_help" != "$from_page" ]]; then
        fail "$page: the synopsis differs from $name --help ($locale):"
        diff <(echo "$from_help") <(echo "$from_page") | sed -n 's/^</  --help:/p; s/^>/  page:  /p' || true
    fi
    from_help="$(help_options "$help")"
    from_page="$(page_options "$page")"
    [[ -n "$from_page" ]] || fail "$page: no options found in its OPTIONS"
    while IFS= read -r option; do
        fail "$page: \"$option\" is in $name --help ($locale) but not in the page"
    done < <(comm -23 <(echo "$from_help") <(echo "$from_page") | grep -v '^$' || true)
    while IFS= read -r option; do
        fail "$page: \"$option\" is in the page but not in $name --help ($locale)"
    done < <(comm -13 <(echo "$from_help") <(echo "$from_page") | grep -v '^$' || true)
}

for program in "${programs[@]}"; do
    name="$(basename "$program")"
    check_page "$program" "$pages/$name.1" C.UTF-8
    check_page "$program" "$pages/ja/$name.1" ja_JP.UTF-8
done

if ((failures)); then
    echo "$failures difference(s) between the manual pages and the programs' --help"
    exit 1
fi
echo "every page's synopsis and options match its program's --help"
