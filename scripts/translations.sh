#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Keeps translations/kor_en.ts, the English of every Japanese source text, in
# step with the sources, through Qt's lupdate:
#   scripts/translations.sh update   adds the new source texts (without English
#                                    yet) and drops those no source has any more
#   scripts/translations.sh check    changes nothing; fails, naming them, when a
#                                    source text has no English, an English
#                                    holds Japanese, the file holds one that
#                                    no source has, or a Japanese string in the
#                                    sources is no source text at all
# lupdate finds the texts passed to language::translate() and those marked with
# KOR_TRANSLATE_NOOP (language/include/language/translation.h).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
translations=translations/kor_en.ts
folders=(language platform diskimage machines unlha32 core pictures korlogo changer setup)
lupdate=/usr/lib/qt6/bin/lupdate
[[ -x "$lupdate" ]] || lupdate="$(command -v lupdate || true)"
if [[ -z "$lupdate" ]]; then
    echo "translations.sh: lupdate is missing (Debian package qt6-l10n-tools)" >&2
    exit 1
fi

# run_lupdate TS OPTION...: reads the sources into TS. Without line numbers, so
# that moving a text changes nothing.
run_lupdate() {
    local ts="$1"
    shift
    "$lupdate" -silent -locations none -extensions cpp,h \
        -tr-function-alias QT_TRANSLATE_NOOP+=KOR_TRANSLATE_NOOP \
        -source-language ja -target-language en "$@" "${folders[@]}" -ts "$ts"
}

case "${1:-}" in
update)
    run_lupdate "$translations" -no-obsolete
    ;;
check)
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    cp "$translations" "$work/kor_en.ts"
    run_lupdate "$work/kor_en.ts"
    python3 - "$work/kor_en.ts" "${folders[@]}" <<'PYTHON'
import pathlib
import re
import sys
import xml.etree.ElementTree as tree

# Kana, kanji, full-width and half-width forms, Japanese punctuation.
japanese = re.compile("[\u3000-\u30ff\u4e00-\u9fff\uff00-\uffef]")
# Japanese literals that are data, not texts for the user: the name of the
# Japanese face and the Japanese comment a desktop entry carries beside its
# English one.
data = {
    ("setup/fonts.cpp", "ＭＳ Ｐゴシック"),
    ("setup/machine_launcher.cpp", "\nComment[ja]=KOR で Windows のﾛｺﾞを変えてから "),
    ("setup/machine_launcher.cpp", " で "),
    ("setup/machine_launcher.cpp", " を起動します\nExec="),
}
# A C++ source as comments, string literals (group "text", raw ones "raw") and
# the other tokens, so that adjacent literals can be joined as the compiler does.
token = re.compile(
    r"//[^\n]*|/\*.*?\*/"
    r'|(?:u8|[uUL])?R"(?P<delimiter>[^(\s]*)\((?P<raw>.*?)\)(?P=delimiter)"'
    r'|"(?P<text>(?:[^"\\\n]|\\.)*)"'
    r"|[A-Za-z_]\w*|[0-9][\w']*|'(?:[^'\\\n]|\\.)*'|\s+|.",
    re.S,
)
escape = re.compile(r'\\([n"\\])')


def literals(path):
    """Yields (line, text) of each string literal of `path`, adjacent ones joined."""
    source = path.read_text(encoding="utf-8")
    line, text = 0, None
    for match in token.finditer(source):
        piece = match.group("text")
        if piece is not None:
            piece = escape.sub(lambda m: "\n" if m[1] == "n" else m[1], piece)
        else:
            piece = match.group("raw")
        if piece is not None:
            if text is None:
                line, text = source.count("\n", 0, match.start()) + 1, ""
            text += piece
        elif not (match[0].isspace() or match[0].startswith(("//", "/*"))):
            if text is not None:
                yield line, text
            text = None
    if text is not None:
        yield line, text


lacking, stale, untranslated, bypassing = [], [], [], []
contexts = list(tree.parse(sys.argv[1]).getroot().iter("context"))
sources = {message.findtext("source") for context in contexts for message in context.iter("message")}
for folder in sys.argv[2:]:
    for path in sorted(pathlib.Path(folder).rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        for line, text in literals(path):
            if japanese.search(text) and text not in sources and (str(path), text) not in data:
                bypassing.append(f"{path}:{line}: {text!r}")
for context in contexts:
    name = context.findtext("name")
    for message in context.iter("message"):
        translation = message.find("translation")
        kind = translation.get("type", "")
        said = f"{name}: {message.findtext('source')!r}"
        if kind in ("vanished", "obsolete"):
            stale.append(said)
        elif kind == "unfinished" or not (translation.text or "").strip():
            lacking.append(said)
        elif japanese.search(translation.text):
            untranslated.append(said)
for said in lacking:
    print(f"translations.sh: no English for {said}")
for said in untranslated:
    print(f"translations.sh: Japanese left in the English of {said}")
for said in stale:
    print(f"translations.sh: no source has {said} any more")
for said in bypassing:
    print(f"translations.sh: {said} is shown without translation")
if lacking or stale or untranslated or bypassing:
    print("translations.sh: run scripts/translations.sh update, then write the English"
          " into translations/kor_en.ts")
    sys.exit(1)
PYTHON
    ;;
*)
    echo "usage: scripts/translations.sh update|check" >&2
    exit 2
    ;;
esac
