#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a new disk image as an emulator keeps a Windows 95 disk: an MBR with
# one FAT partition from sector START, holding a copy of a host folder tree.
#
#   bash scripts/make-disk-image.sh IMAGE HOST-FOLDER [START [SECTORS [FAT [DISK]]]]
#
# START defaults to 63 (as the partitioners of the period), SECTORS to 65536
# (32 MiB), FAT to 16 (32 gives a FAT32 partition). DISK is mbr (the default),
# or hdi or nhd for a PC-98's disk as Neko Project and T98-Next keep it: a
# PC-98 partition table (8 heads of 17 sectors; START a whole cylinder of 136
# sectors) with the partition bootable and active, after the image format's
# header (HDI: 4096 bytes, NHD: 512); mtools then finds the partition at the
# header's length plus START * 512. mtools writes ASCII 8.3
# names only, so a name beyond ASCII (壁紙) is made under a placeholder first
# and then given the Shift-JIS bytes of an 8.3 name in its directory entry, as
# Japanese Windows stores it. Needs sfdisk, mkfs.fat, mtools and python3.
set -euo pipefail

image="$1" source="$2" start="${3:-63}" sectors="${4:-65536}" fat="${5:-16}" disk="${6:-mbr}"
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
case "$disk" in
    mbr)
        truncate -s $(((start + sectors) * 512)) "$image"
        echo "start=$start, size=$sectors, type=$type" | sfdisk --quiet "$image"
        ;;
    hdi | nhd)
        if ((start == 0 || start % 136 != 0)); then
            echo "make-disk-image: a PC-98 partition starts on a cylinder: START a multiple of 136" >&2
            exit 2
        fi
        cylinders=$(((start + sectors + 135) / 136))
        sectors=$((cylinders * 136 - start)) # the partition runs to its cylinder's end
        truncate -s $((cylinders * 136 * 512)) "$image"
        # An IPL that only says what it is, and the table in sector 1: the
        # partition bootable (mid 0xA0) and active (sid 0x80 with FAT16 0x21 or
        # FAT32 0x61), its start and end as cylinders, its name.
        python3 - "$image" $((start / 136)) $((cylinders - 1)) "$fat" <<'PYTHON'
import struct, sys

image, first, last, fat = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
start = bytearray(1024)
start[0:8] = b"\xEB\x06\x90\x90IPL1"
start[510:512] = b"\x55\xAA"
sid = 0x80 | (0x61 if fat == "32" else 0x21)
start[512:544] = struct.pack("<BBHBBHBBHBBH16s", 0xA0, sid, 0, 0, 0, first, 0, 0, first,
                             0, 0, last, b"MS-DOS 6.20     ")
with open(image, "r+b") as f:
    f.write(start)
PYTHON
        ;;
    *)
        echo "make-disk-image: DISK is mbr, hdi or nhd" >&2
        exit 2
        ;;
esac
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

# The header of the PC-98 image format before the raw disk (Neko Project II's
# HDIHDR and NHDHDR): the geometry, the header's length and the disk's.
if [[ "$disk" == hdi || "$disk" == nhd ]]; then
    python3 - "$image" "$disk" <<'PYTHON'
import os, struct, sys

image, disk = sys.argv[1], sys.argv[2]
size = os.path.getsize(image)
cylinders = size // (8 * 17 * 512)
if disk == "hdi":
    header = struct.pack("<8I", 0, 0, 4096, size, 512, 17, 8, cylinders).ljust(4096, b"\0")
else:
    header = (b"T98HDDIMAGE.R0".ljust(0x110, b"\0") +
              struct.pack("<IIHHH", 512, cylinders, 8, 17, 512)).ljust(512, b"\0")
os.rename(image, image + ".raw")
with open(image + ".raw", "rb") as raw, open(image, "wb") as out:
    out.write(header)
    while chunk := raw.read(1 << 20):
        out.write(chunk)
os.remove(image + ".raw")
PYTHON
fi
