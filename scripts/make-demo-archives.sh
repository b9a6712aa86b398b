#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Packs the pictures of examples/demo-machine into the LZH archives of
# examples/demo-machine-archives, as LHA archivers of the period would:
# method -lh5-, member names in Shift-JIS (CP932), and each archive with
# another header level (2, 1 and 0), as a collection gathered from several
# archivers would have.
#
# The archives are committed; this script is only needed to make them anew.
# It uses jlha from Debian's jlha-utils (apt-get install jlha-utils), a Java
# LHA archiver that writes Shift-JIS member names when told to.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
pictures="$here/examples/demo-machine/c/LOGOS"
drive_c="$here/examples/demo-machine-archives/c"

if ! command -v java >/dev/null || [[ ! -f /usr/share/java/jlhafrontend.jar ]]; then
    echo "make-demo-archives: needs jlha-utils (sudo apt-get install jlha-utils)" >&2
    exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# pack ARCHIVE LEVEL SOURCE=MEMBER...: each picture is staged under its
# member name, dated the day Windows 95 came out, and added in the order given.
pack() {
    local archive="$1" level="$2"
    shift 2
    local stage="$work/stage"
    rm -rf "$stage"
    mkdir -p "$stage"
    local members=()
    local pair
    for pair in "$@"; do
        local source="${pair%%=*}" member="${pair#*=}"
        cp "$pictures/$source" "$stage/$member"
        TZ=UTC touch -d '1995-08-24 09:50:00' "$stage/$member"
        members+=("$member")
    done
    mkdir -p "$(dirname "$archive")"
    rm -f "$archive"
    # lha.encoding makes the names Shift-JIS; -lh5- is the method jlha uses by
    # default (the result is checked below).
    (cd "$stage" && TZ=UTC java -Dlha.encoding=MS932 -jar /usr/share/java/jlhafrontend.jar \
        "a${level}q" "$work/new.lzh" "${members[@]}")
    mv "$work/new.lzh" "$archive"
    echo "wrote ${archive#"$here"/} (header level $level)"
}

pack "$drive_c/LOGOS/OPENING.LZH" 2 \
    OPENING/CLOUDS.BMP=CLOUDS.BMP OPENING/FUJI.BMP=FUJI.BMP \
    OPENING/TEAL.BMP=TEAL.BMP OPENING/SEIGAIHA.BMP=SEIGAIHA.BMP
pack "$drive_c/LOGOS/WAIT.LZH" 1 \
    WAIT/MOON.BMP=MOON.BMP WAIT/SUNSET.BMP=SUNSET.BMP WAIT/HOURGLAS.BMP=HOURGLAS.BMP
# 壁紙 is "wallpaper", 和風 "Japanese style"; the members are 夜桜 (cherry
# blossoms at night), 富士山 (Mt. Fuji), 鳥居 (a shrine gate) and 桜 (cherry
# blossoms).
pack "$drive_c/LOGOS/壁紙/和風.LZH" 0 \
    壁紙/YOZAKURA.BMP=夜桜.BMP 壁紙/FUJINITE.BMP=富士山.BMP \
    壁紙/TORII.BMP=鳥居.BMP 壁紙/SAKURA.BMP=桜.BMP

# Check what was written: every member -lh5-, the header level asked for, and
# (with lhasa's lha) every member's CRC.
check() {
    local archive="$1" level="$2"
    python3 - "$archive" "$level" <<'PYTHON'
import sys
data, level = open(sys.argv[1], "rb").read(), int(sys.argv[2])
offset, count = 0, 0
while offset < len(data) and data[offset] != 0:
    method, packed = data[offset + 2:offset + 7], int.from_bytes(data[offset + 7:offset + 11], "little")
    found = data[offset + 20]
    if method != b"-lh5-" or found != level:
        sys.exit(f"{sys.argv[1]}: member {count + 1}: {method!r}, header level {found}")
    if level == 2:
        size = int.from_bytes(data[offset:offset + 2], "little")
    else:
        size = data[offset] + 2
        if level == 1:  # the extended headers follow the base header
            next_size = int.from_bytes(data[offset + size - 2:offset + size], "little")
            while next_size:
                packed -= next_size
                size += next_size
                next_size = int.from_bytes(data[offset + size - 2:offset + size], "little")
    offset += size + packed
    count += 1
print(f"  {count} members, all -lh5-, header level {level}")
PYTHON
    if command -v lha >/dev/null; then
        lha t "$archive" >/dev/null
    fi
}
check "$drive_c/LOGOS/OPENING.LZH" 2
check "$drive_c/LOGOS/WAIT.LZH" 1
check "$drive_c/LOGOS/壁紙/和風.LZH" 0
