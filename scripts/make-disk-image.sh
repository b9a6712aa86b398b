#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a new disk image as an emulator keeps a Windows 95 disk: an MBR with
# one FAT partition from sector START, holding a copy of a host folder tree.
#
#   bash scripts/make-disk-image.sh IMAGE HOST-FOLDER [START [SECTORS [FAT]]]
#
# START defaults to 63 (as the partitioners of the period), SECTORS to 65536
# (32 MiB), FAT to 16 (32 gives a FAT32 partition). mtools writes ASCII 8.3
# names only, so a name beyond ASCII (壁紙) is made under a placeholder first
# and then given the Shift-JIS bytes of an 8.3 name in its directory entry, as
# Japanese Windows stores it. Needs sfdisk, mkfs.fat, mtools and python3.
set -euo pipefail

image="$1" source="$2" start="${3:-63}" sectors="${4:-65536}" fat="${5:-16}"
type=6
[[ "$fat" == 32 ]] && type=c
export PATH="$PATH:/usr/sbin:/sbin"
# mtools in its own code page, whatever the user's configuration says.
MTOOLSRC="$(mktemp)"
trap 'rm -f "$MTOOLSRC"' EXIT
printf 'default_codepage=850\n' >"$MTOOLSRC"
export MTOOLSRC MTOOLS_LOWER_CASE=0
drive="$image@@$((start * 512))"

rm -f "$image"
truncate -s $(((start + sectors) * 512)) "$image"
echo "start=$start, size=$sectors, type=$type" | sfdisk --quiet "$image"
mkfs.fat -F "$fat" --offset="$start" -h "$start" "$image" $((sectors / 2)) >/dev/null

declare -A japanese_names=()
copy_into_image() { # host-folder image-folder ("" for the root)
    local entry name target
    for entry in "$1"/*; do
        [[ -e "$entry" ]] || continue
        name="$(basename "$entry")"
        target="$name"
        if LC_ALL=C grep -q '[^ -~]' <<<"$name"; then
            target="$(printf 'KOR%05d' "$((${#japanese_names[@]} + 1))")"
            japanese_names[$target]="$name"
        fi
        if [[ -d "$entry" ]]; then
            mmd -i "$drive" "::$2/$target"
            copy_into_image "$entry" "$2/$target"
        else
            mcopy -i "$drive" "$entry" "::$2/$target"
        fi
    done
}
copy_into_image "$source" ""

for placeholder in "${!japanese_names[@]}"; do
    python3 - "$image" $((start * 512)) $((sectors * 512)) "$placeholder" \
        "${japanese_names[$placeholder]}" <<'PYTHON'
import sys

image, offset, length, placeholder, name = sys.argv[1:]
offset, length = int(offset), int(length)

def field(raw):  # an 8.3 name as its directory entry holds it
    base, dot, ext = raw.rpartition(b".") if b"." in raw else (raw, b"", b"")
    if not base or len(base) > 8 or len(ext) > 3:
        sys.exit(f"make-disk-image: {name} is no 8.3 name in Shift-JIS")
    entry = base.ljust(8) + ext.ljust(3)
    return b"\x05" + entry[1:] if entry[0] == 0xE5 else entry

old, new = field(placeholder.encode("ascii")), field(name.encode("cp932"))
with open(image, "r+b") as f:
    f.seek(offset)
    volume = f.read(length)
    # Directory entries sit on 32-byte boundaries; 0x0F marks a long-name part.
    found = [at for at in range(0, len(volume), 32)
             if volume[at:at + 11] == old and volume[at + 11] != 0x0F]
    if len(found) != 1:
        sys.exit(f"make-disk-image: {len(found)} entries named {placeholder} in {image}, not one")
    f.seek(offset + found[0])
    f.write(new)
PYTHON
done
