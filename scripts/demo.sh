#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds KOR and runs it once on a demo Windows 95 machine, then shows what it
# changed: the three logo files before and after, and the picture each one
# now is.
#
#   bash scripts/demo.sh                   # BMP mode: folders of .BMP pictures
#   bash scripts/demo.sh --archives        # archive mode: LZH archives
#   bash scripts/demo.sh --image           # drive C: is a FAT16 disk image
#   bash scripts/demo.sh --image --format qcow2  # the same disk as a qcow2 image
#   bash scripts/demo.sh --format hdi      # a PC-98 whose drive A: is in an HDI
#   bash scripts/demo.sh --machine         # an 86Box machine: KOR --machine FOLDER
#
# The demo machine is copied from examples/ into build/ first, so the one in
# the repository stays as it is and every run of this script starts afresh.
# With --image its drive C: is written into build/<machine>.img instead (an MBR
# disk with one FAT16 partition, as an emulator's Windows 95 disk), and
# $KOR_ROOT/c is a link to that file; the image is read with mtools. With
# --format qcow2 (vhd for a dynamic VHD, vdi, vmdk) the disk is converted by
# qemu-img into build/<machine>.<format>, which KOR works on in place through
# qemu-storage-daemon; this script reads it through a raw copy.
# --format hdi (or nhd) makes the machine a PC-98 instead, as Neko Project (or
# T98-Next) keeps it: a PC-98 partition table in an HDI (or NHD) image, the
# boot partition drive A: ($KOR_ROOT/a, WINDIR=A:\WINDOWS), pc98Check=on, and
# every picture and logo converted to a PC-98 logo by korlogo.
# --machine makes the raw image the disk of an 86Box machine instead, in the
# folder build/<machine>-86box (its 86box.cfg and win95.img, with MSDOS.SYS
# in C:\ as Windows 95 writes it), and runs `KOR --machine FOLDER`: no
# KOR_ROOT, no WINDIR; KOR reads the disk from 86box.cfg and the Windows
# folder from MSDOS.SYS.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
machine_name="demo-machine"
install_deps=yes
kor=""
image=no
machine=no
converted=() # qemu-img convert's options, for an image in one of QEMU's formats
format=raw

while (($#)); do
    case "$1" in
        --archives) machine_name="demo-machine-archives" ;;
        --image) image=yes ;;
        --machine) machine=yes image=yes ;;
        --format)
            case "${2:-}" in
                raw | qcow2 | vhd | vdi | vmdk | hdi | nhd) format="$2" ;;
                *)
                    echo "demo: --format takes raw, qcow2, vhd, vdi, vmdk, hdi or nhd" >&2
                    exit 2
                    ;;
            esac
            image=yes
            shift
            ;;
        --no-install) install_deps=no ;;
        --kor)
            kor="$(realpath "${2:?--kor needs the path of a KOR program}")"
            install_deps=no
            shift
            ;;
        -h | --help)
            sed -n '2,20s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"
            echo "Options: --archives      archive mode"
            echo "         --image         drive C: is a disk image (with --archives too)"
            echo "         --format NAME   the image's format: raw (the default); qcow2, vhd"
            echo "                         (dynamic), vdi or vmdk; hdi or nhd for a PC-98 (BMP mode)"
            echo "         --machine       an 86Box machine's folder, run as KOR --machine FOLDER"
            echo "         --no-install    do not look for missing Debian packages"
            echo "         --kor PATH      run this KOR program instead of building one"
            exit 0
            ;;
        *)
            echo "demo: unknown option $1 (try --help)" >&2
            exit 2
            ;;
    esac
    shift
done

# A PC-98 boots from drive A:; its logos are 16-colour pictures.
letter=c
case "$format" in
    raw | qcow2 | vhd | vdi | vmdk) ;;
    hdi | nhd)
        letter=a
        if [[ "$machine_name" != demo-machine ]]; then
            echo "demo: the PC-98 demo is in BMP mode only (the archives hold Windows 95 pictures)" >&2
            exit 2
        fi
        ;;
esac
windir="${letter^^}:\\WINDOWS"
if [[ "$machine" == yes && "$format" != raw ]]; then
    echo "demo: --machine makes a raw image, as 86Box keeps its disks" >&2
    exit 2
fi

if [[ -t 1 ]]; then
    heading() { printf '\n\033[1m== %s\033[0m\n' "$*"; }
else
    heading() { printf '\n== %s\n' "$*"; }
fi

# --- dependencies and build ------------------------------------------------

if [[ "$install_deps" == yes ]]; then
    heading "Debian packages"
    bash "$here/scripts/install-deps.sh"
fi

if [[ -z "$kor" ]]; then
    heading "Building KOR (Release, in build/)"
    (cd "$here" && cmake --preset release >/dev/null)
    cmake --build "$here/build" --target KOR
    kor="$here/build/changer/KOR"
fi
korlogo="$(dirname "$kor")/../korlogo/korlogo"
if [[ "$letter" == a && ! -x "$korlogo" ]]; then
    heading "Building korlogo (Release, in build/), to make PC-98 logos"
    (cd "$here" && cmake --preset release >/dev/null)
    cmake --build "$here/build" --target korlogo
    korlogo="$here/build/korlogo/korlogo"
fi

# When run with sudo, give build/ back to the user who asked for it, so that
# later builds without sudo still work.
# shellcheck disable=SC2317 # called by the trap
give_back() {
    if [[ -n "${SUDO_UID:-}" && -n "${SUDO_GID:-}" && "$EUID" == 0 ]]; then
        chown -R "$SUDO_UID:$SUDO_GID" "$here/build" 2>/dev/null || true
    fi
}
trap give_back EXIT

# --- the machine ------------------------------------------------------------

source_machine="$here/examples/$machine_name"
root="$here/build/$machine_name"
mkdir -p "$here/build"
rm -rf "$root"
cp -a "$source_machine" "$root"
# git keeps no empty folders; these stand for the rest of a Windows install.
find "$root" -name .gitkeep -delete
if [[ "$letter" == a ]]; then
    # The PC-98's drive A:, its settings naming A:, and PC-98 pictures.
    mv "$root/c" "$root/a"
    LC_ALL=C sed -i 's/C:\\/A:\\/g; s/pc98Check=off/pc98Check=on/' "$root/a/WINDOWS/KOR.INI"
    while IFS= read -r -d '' picture; do
        "$korlogo" convert --pc98 "$picture" "$picture.pc98" >/dev/null
        mv "$picture.pc98" "$picture"
    done < <(find "$root/a" -type f \( -iname '*.bmp' -o -iname 'logo*.sys' \) -print0)
fi

if [[ "$machine" == yes ]]; then
    # MSDOS.SYS as Windows 95 writes it (CRLF lines, padded past 1024 bytes),
    # where KOR finds the Windows folder.
    {
        printf '[Paths]\r\nWinDir=C:\\WINDOWS\r\nWinBootDir=C:\\WINDOWS\r\nHostWinBootDrv=C\r\n\r\n'
        printf '[Options]\r\nBootMulti=1\r\nBootGUI=1\r\nNetwork=0\r\n;\r\n'
        printf ';The following lines are required for compatibility with other programs.\r\n'
        printf ';Do not remove them (MSDOS.SYS needs to be >1024 bytes).\r\n'
        for _ in $(seq 18); do printf ';%s\r\n' "$(printf 'x%.0s' $(seq 69))"; done
    } >"$root/c/MSDOS.SYS"
fi

heading "The demo machine"
if [[ "$machine" == yes ]]; then
    echo "Drive C: holds a fresh copy of examples/$machine_name/c, and MSDOS.SYS"
    echo "  (written below into the disk of an 86Box machine)"
else
    echo "KOR_ROOT=$root"
    echo "  (a fresh copy of examples/$machine_name; drive ${letter^^}: is $root/$letter)"
    echo "WINDIR=$windir"
fi
echo
echo "$windir\\KOR.INI (stored in Shift-JIS with CRLF line ends):"
iconv -f CP932 -t UTF-8 "$root/$letter/WINDOWS/KOR.INI" | tr -d '\r' | sed 's/^/    /'

# --- naming pictures by their bytes -------------------------------------------

# catalogue: sha256 -> where that picture comes from, in Windows terms.
declare -A catalogue=()
windows_path() { # host path below $root -> C:\...
    local relative="${1#"$root"/}"
    local drive="${relative%%/*}"
    local rest="${relative#*/}"
    printf '%s:\\%s' "${drive^^}" "${rest//\//\\}"
}
hash_of() { sha256sum "$1" | cut -c1-64; }

for logo in logo.sys WINDOWS/logow.sys WINDOWS/logos.sys; do
    catalogue[$(hash_of "$root/$letter/$logo")]="the original ${logo#WINDOWS/}"
done

while IFS= read -r -d '' picture; do
    catalogue[$(hash_of "$picture")]="$(windows_path "$picture")"
done < <(find "$root/$letter" -type f -iname '*.bmp' -print0)

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"; give_back' EXIT
while IFS= read -r -d '' archive; do
    # lhasa writes the members under their stored (Shift-JIS) names.
    unpacked="$scratch/$(hash_of "$archive")"
    mkdir -p "$unpacked"
    (cd "$unpacked" && lha xq "$archive" >/dev/null)
    while IFS= read -r -d '' member; do
        name="$(basename "$member" | iconv -f CP932 -t UTF-8 2>/dev/null || basename "$member")"
        # lhasa writes the names of MS-DOS archives in lower case; DOS showed
        # them in upper case.
        catalogue[$(hash_of "$member")]="$(windows_path "$archive") : ${name^^}"
    done < <(find "$unpacked" -type f -print0)
done < <(find "$root/$letter" -type f -iname '*.lzh' -print0)

# --- drive C: as a disk image (--image) ----------------------------------------

if [[ "$image" == yes ]]; then
    PATH="$PATH:/usr/sbin:/sbin" # sfdisk and mkfs.fat, for a user without them
    image_file="$here/build/$machine_name.img"
    start=63               # where MS-DOS's FDISK put the first partition
    sectors=$((64 * 2048)) # 64 MiB
    header=0 disk=mbr table="an MBR disk"
    if [[ "$machine" == yes ]]; then
        machine_folder="$here/build/$machine_name-86box"
        rm -rf "$machine_folder"
        mkdir -p "$machine_folder"
        image_file="$machine_folder/win95.img"
    fi
    case "$format" in
        # Cylinder 1 of 8 heads of 17 sectors, after the format's header.
        hdi) image_file="$here/build/pc98.hdi" start=136 header=4096 disk=hdi ;;
        nhd) image_file="$here/build/pc98.nhd" start=136 header=512 disk=nhd ;;
    esac
    [[ "$disk" != mbr ]] && table="a PC-98 disk in ${format^^} format"
    drive="$image_file@@$((header + start * 512))" # the partition, as mtools -i names it

    bash "$here/scripts/make-disk-image.sh" "$image_file" "$root/$letter" "$start" "$sectors" 16 \
        "$disk"
    linked="$image_file"
    if [[ "$machine" == yes ]]; then
        # 86Box's own configuration: the disk on the primary IDE channel's
        # master, its geometry of 16 heads of 63 sectors.
        printf '[Hard disks]\nhdd_01_parameters = 63, 16, %d, 0, ide\nhdd_01_fn = win95.img\nhdd_01_ide_channel = 0:0\n' \
            $(((start + sectors) / (16 * 63))) >"$machine_folder/86box.cfg"
    fi
    # qemu-img's name of each format of QEMU's, and its options.
    case "$format" in
        qcow2 | vdi | vmdk) converted=(-O "$format") ;;
        vhd) converted=(-O vpc -o subformat=dynamic) ;;
    esac
    if ((${#converted[@]})); then
        linked="$here/build/$machine_name.$format"
        rm -f "$linked"
        qemu-img convert "${converted[@]}" "$image_file" "$linked"
        table="an MBR disk in $format format"
        # What this script reads: a raw copy, made anew after the run.
        image_file="$scratch/read-out.img"
        drive="$image_file@@$((start * 512))"
    fi
    rm -rf "${root:?}/$letter"
    heading "Drive ${letter^^}: as a disk image"
    if [[ "$machine" == yes ]]; then
        echo "$linked, the disk of the 86Box machine $machine_folder"
    else
        ln -s "$linked" "$root/$letter"
        echo "$root/$letter -> $linked"
    fi
    if ((${#converted[@]})); then
        echo "  ($table, one FAT16 partition from sector $start; KOR works on it through"
        echo "  qemu-storage-daemon; read here through qemu-img convert -O raw)"
    else
        echo "  ($table, one FAT16 partition from sector $start; read here with mtools -i $drive)"
    fi
fi

# The raw copy of an image in another format, read out again.
read_out() {
    if ((${#converted[@]})); then
        qemu-img convert -U -O raw "$linked" "$image_file"
    fi
}

# The image's own listing of C:\ and C:\WINDOWS.
show_listing() {
    local folder
    for folder in ::/ ::/WINDOWS; do
        mdir -i "$drive" "$folder" | sed 's/^/    /'
    done
}

logos=("$letter/logo.sys" "$letter/WINDOWS/logow.sys" "$letter/WINDOWS/logos.sys")
declare -A before=()

# Copies a logo file (c/WINDOWS/logow.sys) to $scratch/logo, out of the image
# on an image drive; fails when it is missing.
fetch_logo() {
    if [[ "$image" == yes ]]; then
        mcopy -i "$drive" "::/${1#"$letter"/}" - >"$scratch/logo" 2>/dev/null
    else
        [[ -f "$root/$1" ]] && cp "$root/$1" "$scratch/logo"
    fi
}
logo_hash() { if fetch_logo "$1"; then hash_of "$scratch/logo"; else echo missing; fi; }

show_logos() {
    local logo
    printf '    %-22s %8s  %-14s %s\n' "logo file" "bytes" "sha256" "is"
    for logo in "${logos[@]}"; do
        local file="$root/$logo" label
        label="$(windows_path "$file")"
        if fetch_logo "$logo"; then
            local hash size what
            hash="$(hash_of "$scratch/logo")"
            size="$(stat -c %s "$scratch/logo")"
            what="${catalogue[$hash]:-a picture from elsewhere}"
            printf '    %-22s %8s  %-14s %s\n' "$label" "$size" "${hash:0:12}.." "$what"
        else
            printf '    %-22s %8s  %-14s %s\n' "$label" "-" "-" "(missing)"
        fi
    done
}

remember() {
    local logo
    for logo in "${logos[@]}"; do
        before[$logo]="$(logo_hash "$logo")"
    done
}

# --- the run --------------------------------------------------------------

heading "Before"
[[ "$image" == yes ]] && read_out && show_listing
show_logos
remember

status=0
if [[ "$machine" == yes ]]; then
    heading "The 86Box machine"
    echo "$machine_folder/86box.cfg:"
    sed 's/^/    /' "$machine_folder/86box.cfg"
    echo
    echo "$kor --machine $machine_folder --drives"
    env -u KOR_ROOT -u WINDIR "$kor" --machine "$machine_folder" --drives | sed 's/^/    /'

    heading "Running KOR"
    echo "$kor --machine $machine_folder --verbose"
    # No display: KOR works unattended and reports any trouble on standard error.
    env -u DISPLAY -u WAYLAND_DISPLAY -u KOR_ROOT -u WINDIR \
        "$kor" --machine "$machine_folder" --verbose || status=$?
else
    heading "Running KOR"
    echo "KOR_ROOT=$root WINDIR='$windir' $kor"
    # No display: KOR works unattended and reports any trouble on standard error.
    env -u DISPLAY -u WAYLAND_DISPLAY KOR_ROOT="$root" WINDIR="$windir" "$kor" || status=$?
fi
echo "KOR ended with exit status $status ($( ((status == 0)) && echo "ran to its end" || echo "a failure ended it"))"

heading "After"
[[ "$image" == yes ]] && read_out && show_listing
show_logos

changed=0
for logo in "${logos[@]}"; do
    now="$(logo_hash "$logo")"
    if [[ "$now" != "${before[$logo]}" ]]; then
        changed=$((changed + 1))
    fi
done
echo
echo "$changed of 3 logo files changed."
if [[ "$image" == yes ]]; then
    leftovers="$( { mdir -a -b -i "$drive" ::/ ::/WINDOWS 2>/dev/null || true; } |
        grep -ci '\.bmp$' || true)"
else
    leftovers="$(find "$root/$letter" "$root/$letter/WINDOWS" -maxdepth 1 -type f -iname '*.bmp' | wc -l)"
fi
if [[ "$leftovers" != 0 ]]; then
    echo "Note: $leftovers picture copies were left in ${letter^^}:\\ or $windir."
fi
echo
echo "Run KOR again for another draw:"
if [[ "$machine" == yes ]]; then
    echo "    $kor --machine $machine_folder"
else
    echo "    KOR_ROOT=$root WINDIR='$windir' $kor"
fi
if [[ "$machine_name" == demo-machine && "$letter" == c ]]; then
    if [[ "$machine" == yes ]]; then
        echo "or try the LZH archives: bash scripts/demo.sh --archives --machine"
    else
        echo "or try the LZH archives: bash scripts/demo.sh --archives"
    fi
fi
if [[ "$image" == no ]]; then
    echo "or drive C: as a disk image: bash scripts/demo.sh --image"
elif [[ "$machine" == no && "$format" == raw ]]; then
    echo "or the image as the disk of an 86Box machine: bash scripts/demo.sh --machine"
    echo "or the image as qcow2 (also vhd, vdi, vmdk): bash scripts/demo.sh --image --format qcow2"
fi
exit "$status"
