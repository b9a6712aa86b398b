#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Kills KOR at its system calls, one after another, and checks what a crash
# at that moment leaves behind, on a drive C: that is a host folder or a FAT
# disk image (--drive).
#
# For each mode (BMP folders, LZH archives) a demo machine is made from
# examples/, one run of KOR is traced to learn its steps, and then, for each
# chosen step, a fresh copy of the machine is given a run that strace kills
# with SIGKILL on entering that system call, followed by one normal run.
#
# --drive folder: the steps are all of KOR's system calls. After each pair:
#   (a) each of the three logo files exists and holds exactly the old logo or
#       one of the candidate pictures (checked after the kill and after the
#       normal run): none lost, truncated or mixed;
#   (b) KOR.INI holds the bytes it held before;
#   (c) the whole trial folder (the drives, the TEMP folder, the host's
#       temporary folder and the working folder) holds exactly the entries of
#       before (logo names compared without regard to case): no leftovers;
#   (d) the normal run ended with status 0.
# The traced run also shows whether every folder that received a name by a
# rename was synced after it, so that the rename survives a power cut.
# A second part runs four KOR processes at once on one machine, a few times,
# and checks the same, with status 0 for each.
#
# --drive image: drive C: is an image (an MBR disk, one FAT16 partition at
# sector 63; FAT32 too in BMP mode). Every change KOR makes inside it is one
# mtools process, run in its own process group so that it ends its work even
# when KOR dies. The steps are the calls that start a process (clone, clone3,
# vfork), watch one (pidfd_open) or wait for one (wait4, waitid); in the
# killed run each command that changes the image starts a little late
# (--delay), so that KOR dies while it runs. Once no process has the image
# open any more, fsck.fat -n finds the partition sound, and (a), (b) hold;
# then the normal run ends with status 0, leaves the partition sound, the
# logos as in (a), and the image and the trial folder holding exactly the
# entries of before: no ~KOR????.TMP, no extracted member.
# --drive hdi: the same on a PC-98's disk in Neko Project's HDI format: a
# PC-98 partition table with one bootable FAT partition from cylinder 1, the
# boot drive A: (WINDIR=A:\WINDOWS) a link to the image.
# Last, while another process (sleep) has the image open, KOR must end with
# status 1, name that process and its PID, and leave the image byte for byte;
# and on an image whose logo.sys has a cluster chain that loops, KOR must end
# with status 1, say that the file system is damaged, and write nothing.
#
# --drive qcow2: the same image converted to qcow2, which KOR works on through
# qemu-storage-daemon's FUSE export. After each kill, once no process has the
# image open any more (its export's daemon gone too): no FUSE mount and no
# file left in the folder of exports, `qemu-img check` finds no corruption
# (leaked clusters only, status 3, are allowed after a kill, and none after
# the next run), and the partition, read through `qemu-img convert`, is
# checked as above.
#
#   bash tests/fault_injection/kill_every_step.sh --drive folder  # every 7th step
#   bash tests/fault_injection/kill_every_step.sh --drive image --full  # every step
#   bash tests/fault_injection/kill_every_step.sh --drive hdi --calls pidfd_open
#   bash tests/fault_injection/kill_every_step.sh --drive qcow2 --calls pidfd_open
#
# The step counts depend on the pictures drawn at random, so a step of the
# traced run stands for "the k-th call of this system call" in a later one.
set -uo pipefail

# A sanitizer build's leak check cannot run under ptrace, and strace is ptrace.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
program="${KOR_PROGRAM:-$here/build/changer/KOR}"
drive=""
modes=(bmp archive)
mode_given=no
layouts=(fat16 fat32)
every=7
calls=""
rounds=3
delay=0.05
keep=no

usage() {
    sed -n '2,60s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"
    cat <<'USAGE'

Options:
  --drive KIND     folder, image, hdi or qcow2: what the boot drive is (needed)
  --program PATH   the KOR program (default: $KOR_PROGRAM, else build/changer/KOR)
  --mode MODE      bmp, archive or both (default: both)
  --full           every step (the default takes every 7th, plus the steps of
                   each change: on a folder, the steps at and right after each
                   call that creates, renames, removes or syncs a file; on an
                   image, each step of an mtools command that changes it)
  --every N        every N-th step, plus those of changes (0: only those)
  --calls LIST     only steps at these system calls, e.g. pidfd_open (on an
                   image, the moment a change runs while KOR dies) or clone3,wait4
  --keep           keep the work folder and say where it is
On a folder:
  --rounds N       rounds of four concurrent runs (default 3; 0: none)
On an image:
  --layout L       fat16, fat32 or both (default: both; fat32 runs BMP mode only
                   unless --mode says otherwise)
  --delay SECONDS  in the runs that are killed, each mtools command that
                   changes the image starts this much later (default 0.05; 0:
                   at once), so that KOR dies while it runs and it does its
                   work after KOR is gone
Exit status: 0 when every check held, 1 when one failed, 2 on bad usage,
77 when a tool it needs is missing.
USAGE
}

while (($#)); do
    case "$1" in
        --drive)
            case "${2:-}" in
                folder | image | hdi | qcow2) drive="$2" ;;
                *)
                    echo "kill_every_step: --drive takes folder, image, hdi or qcow2" >&2
                    exit 2
                    ;;
            esac
            shift
            ;;
        --program)
            program="${2:?--program needs a path}"
            shift
            ;;
        --mode)
            case "${2:-}" in
                bmp | archive) modes=("$2") ;;
                both) modes=(bmp archive) ;;
                *)
                    echo "kill_every_step: --mode takes bmp, archive or both" >&2
                    exit 2
                    ;;
            esac
            mode_given=yes
            shift
            ;;
        --layout)
            case "${2:-}" in
                fat16 | fat32) layouts=("$2") ;;
                both) layouts=(fat16 fat32) ;;
                *)
                    echo "kill_every_step: --layout takes fat16, fat32 or both" >&2
                    exit 2
                    ;;
            esac
            shift
            ;;
        --full) every=1 ;;
        --every)
            every="${2:?--every needs a number}"
            shift
            ;;
        --calls)
            calls="${2:?--calls needs a list of system calls}"
            shift
            ;;
        --rounds)
            rounds="${2:?--rounds needs a number}"
            shift
            ;;
        --delay)
            delay="${2:?--delay needs a number of seconds}"
            shift
            ;;
        --keep) keep=yes ;;
        -h | --help)
            usage
            exit 0
            ;;
        *)
            echo "kill_every_step: unknown option $1 (try --help)" >&2
            exit 2
            ;;
    esac
    shift
done

if [[ -z "$drive" ]]; then
    echo "kill_every_step: say which drive C: is, --drive folder, image, hdi or qcow2" >&2
    exit 2
fi
# A PC-98's HDI is an image drive whose boot drive is A:.
disk=mbr letter=c
if [[ "$drive" == hdi ]]; then
    drive=image disk=hdi letter=a
fi
if ! [[ "$every" =~ ^[0-9]+$ && "$rounds" =~ ^[0-9]+$ && "$delay" =~ ^[0-9]+(\.[0-9]+)?$ ]]; then
    echo "kill_every_step: --every and --rounds take a number, --delay a number of seconds" >&2
    exit 2
fi
if [[ ! -x "$program" ]]; then
    echo "kill_every_step: no KOR program at $program (build it, or pass --program)" >&2
    exit 2
fi
program="$(realpath "$program")"
tools=(strace timeout sha256sum)
if [[ "$drive" != folder ]]; then
    PATH="$PATH:/usr/sbin:/sbin" # sfdisk, mkfs.fat and fsck.fat, for a user without them
    tools+=(mtools sfdisk mkfs.fat fsck.fat fuser python3)
fi
if [[ "$drive" == qcow2 ]]; then
    tools+=(qemu-img qemu-storage-daemon fusermount3)
    if [[ ! -w /dev/fuse ]]; then
        echo "kill_every_step: no /dev/fuse here, through which a qcow2 image is exported" >&2
        exit 77
    fi
fi
for tool in "${tools[@]}"; do
    if ! command -v "$tool" >/dev/null; then
        echo "kill_every_step: $tool is missing; nothing was checked" >&2
        exit 77
    fi
done
if [[ " ${modes[*]} " == *" archive "* ]] && ! command -v lha >/dev/null; then
    echo "kill_every_step: lha (lhasa) is missing to unpack the candidate pictures" >&2
    exit 77
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/kill_every_step.XXXXXX")"
cleanup() {
    if [[ "$keep" == yes ]]; then
        echo "kill_every_step: work folder kept at $work"
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

kor_log="$work/kor.log" # what the last run wrote
failures=0

# shellcheck source=candidate_pictures.sh
source "$here/tests/fault_injection/candidate_pictures.sh"

# --- what both drives share -------------------------------------------------

# Runs KOR on the trial folder $1 with the rest of the arguments put before
# it (a tracer); unattended, with every temporary folder inside the trial,
# and without the mtools settings of this script.
run_kor() { # trial prefix...
    local trial="$1"
    shift
    # The "exit" keeps the subshell from becoming the program, so that its note
    # about a killed child goes to the log, not to the terminal.
    (
        cd "$trial" &&
            env -u DISPLAY -u WAYLAND_DISPLAY -u MTOOLSRC -u MTOOLS_LOWER_CASE \
                KOR_ROOT="$trial/root" WINDIR="${letter^^}:\\WINDOWS" XDG_RUNTIME_DIR="$work/run" \
                TMP="${letter^^}:\\WINDOWS\\TEMP" TEMP="${letter^^}:\\WINDOWS\\TEMP" \
                TMPDIR="$trial/hosttmp" \
                timeout -s KILL "$run_timeout" "$@" "$program"
        exit
    ) >"$kor_log" 2>&1
}

# Compares the entries of a trial with those of before; counts and names in
# $problems what is left over or gone. False when anything differs.
declare -A leftover_names=()
count_leftovers() { # fresh-tree trial-tree
    local extra missing name
    extra="$(LC_ALL=C comm -13 "$1" "$2")"
    missing="$(LC_ALL=C comm -23 "$1" "$2")"
    if [[ -n "$extra" ]]; then
        leftovers=$((leftovers + 1))
        while IFS= read -r name; do
            # Random parts of temporary names stand for one kind of leftover.
            name="$(sed -E 's/\.unlha32-[A-Za-z0-9]{6}/.unlha32-XXXXXX/; s/\.[0-9]+\.[0-9]+\.tmp$/.PID.N.tmp/; s/~KOR[A-Za-z0-9]{4}\.TMP/~KOR????.TMP/I' <<<"$name")"
            leftover_names[$name]=$((${leftover_names[$name]:-0} + 1))
        done <<<"$extra"
        problems+=" leftovers:[$(tr '\n' ' ' <<<"$extra" | sed 's/ $//')]"
    fi
    if [[ -n "$missing" ]]; then
        vanished=$((vanished + 1))
        problems+=" vanished:[$(tr '\n' ' ' <<<"$missing" | sed 's/ $//')]"
    fi
    [[ -z "$extra$missing" ]]
}

print_leftover_names() { # what
    ((leftovers)) || return 0
    echo "  leftover entries ($1 x name):"
    local name
    for name in "${!leftover_names[@]}"; do
        printf '    %4d x %s\n' "${leftover_names[$name]}" "$name"
    done | sort -k3
    leftover_names=()
}

# Counts the slots whose logo is missing or holds bytes that are neither the
# old logo nor a candidate picture, each read by "${drive}_fetch" into
# $work/out; names them in $problems after $stage.
stage=""
lost_logos() { # trial
    local slot hash lost_here=0
    for slot in "${logos[@]}"; do
        if ! "${drive}_fetch" "$1" "$slot"; then
            problems+=" $stage$slot:missing"
            lost_here=$((lost_here + 1))
            continue
        fi
        hash="$(hash_of "$work/out")"
        if [[ "$hash" != "${old_logo[$slot]}" && -z "${candidates[$hash]:-}" ]]; then
            problems+=" $stage$slot:foreign($(stat -c %s "$work/out")B)"
            lost_here=$((lost_here + 1))
        fi
    done
    return "$lost_here"
}

# Whether KOR.INI of the trial holds the bytes it held before; names it in
# $problems after $stage when not.
ini_kept() { # trial
    "${drive}_fetch" "$1" "$ini" && cmp -s "$work/out" "$ini_before" && return 0
    problems+=" ${stage}KOR.INI-changed"
    return 1
}

# The checks after a run ended, on the trial's drive: names each problem in
# $problems after $stage and counts it; false when any failed.
check_drive() { # trial
    local bad=0
    if ! "${drive}_sound" "$1"; then
        unsound=$((unsound + 1))
        bad=1
    fi
    if ! lost_logos "$1"; then
        lost=$((lost + 1))
        bad=1
    fi
    if ! ini_kept "$1"; then
        ini_changed=$((ini_changed + 1))
        bad=1
    fi
    return "$bad"
}

# The checks after a normal run: those of the drive, and the trial holding
# exactly the entries of before.
check_trial() { # trial
    local bad=0
    check_drive "$1" || bad=1
    "${drive}_tree" "$1" >"$work/trial.tree"
    count_leftovers "$work/fresh.tree" "$work/trial.tree" || bad=1
    return "$bad"
}

# --- a host folder as drive C: ----------------------------------------------

# A trial folder: the machine in root/, the host's temporary folder in
# hosttmp/, and the working folder KOR starts in, the trial folder itself.
folder_make_fresh() { # mode destination
    local source=demo-machine
    [[ "$1" == archive ]] && source=demo-machine-archives
    mkdir -p "$2/hosttmp"
    cp -a "$here/examples/$source" "$2/root"
    # git keeps no empty folders; these stand for the rest of a Windows install.
    find "$2/root" -name .gitkeep -delete
    mkdir -p "$2/root/c/WINDOWS/TEMP"
}

folder_new_trial() { rm -rf "$trial" && cp -a "$fresh" "$trial"; }

# Every entry below the trial folder, one a line, the logo names in lower case
# since Windows treats them without regard to case.
folder_tree() { # trial
    find "$1" -mindepth 1 -printf '%P\n' |
        sed -E 's#(^|/)([Ll][Oo][Gg][Oo][WwSs]?\.[Ss][Yy][Ss])$#\1\L\2#' | LC_ALL=C sort
}

# Copies the file $2 (a path below the trial's root), found without regard to
# case, to $work/out; fails when it is absent.
folder_fetch() { # trial path
    local file
    file="$(find "$1/root/$(dirname "$2")" -maxdepth 1 -type f -iname "$(basename "$2")" \
        -print -quit 2>/dev/null)"
    [[ -n "$file" ]] && cp "$file" "$work/out"
}

# A folder has no file system of its own to check, nor processes that go on
# writing it after KOR died.
folder_sound() { return 0; }
folder_freed() { return 0; }

folder_killed_run() { # syscall k
    run_kor "$trial" strace -f -qq -o /dev/null -e "inject=$1:signal=SIGKILL:when=$2"
}

# The steps of one traced run as "syscall k" (the k-th call of that system
# call), each marked 1 when the call creates, names, removes or syncs a file
# or takes a lock: the moments around which a crash leaves different states.
folder_trace_steps() { # trace
    sed -nE '/^[0-9]+ +[a-z_0-9]+\(/p' "$1" | awk '
        {
            name = $2; sub(/\(.*/, "", name)
            count[name]++
            changes = ($0 ~ /O_CREAT|O_TRUNC/) ||
                name ~ /^(rename|renameat|renameat2|unlink|unlinkat|link|linkat|symlink|symlinkat|mkdir|mkdirat|rmdir|fsync|fdatasync|ftruncate|flock)$/
            print name, count[name], changes
        }'
}

# The folders that received a name by a rename in the traced run (traced with
# -y, so that a descriptor shows its path) and saw no fsync after it: a power
# cut could still undo those renames. The new name is the last quoted text: a
# full path, or a name in the folder whose descriptor comes before it.
unsynced_folders() { # trace
    awk '
        / (rename|renameat|renameat2)\(/ && / = 0$/ {
            n = split($0, part, "\"")
            folder = part[n - 1]
            if (folder !~ /^\//) {
                within = part[n - 2]
                sub(/^.*</, "", within)
                sub(/>.*$/, "", within)
                folder = within "/" folder
            }
            sub(/\/[^\/]*$/, "", folder)
            pending[folder] = 1
        }
        / fsync\([0-9]+</ {
            folder = $0
            sub(/.* fsync\([0-9]+</, "", folder)
            sub(/>\).*/, "", folder)
            delete pending[folder]
        }
        END { for (folder in pending) print folder }' "$1"
}

# Makes the fresh machine of $mode in $fresh, traces one run of KOR on a copy
# and puts its steps in $steps; counts the folders a rename left unsynced.
folder_prepare() {
    fresh="$work/$mode-fresh"
    folder_make_fresh "$mode" "$fresh"
    learn_pictures "$fresh/root"
    ini_before="$fresh/root/c/WINDOWS/KOR.INI"
    folder_new_trial
    folder_tree "$trial" >"$work/fresh.tree"

    run_kor "$trial" strace -f -qq -y -o "$work/$mode.trace"
    local status=$?
    if ((status != 0)); then
        echo "kill_every_step: $label: the traced run ended with status $status; see $work/kor.log" >&2
        failures=$((failures + 1))
        return 1
    fi
    mapfile -t steps < <(folder_trace_steps "$work/$mode.trace")
    local unsynced
    unsynced="$(unsynced_folders "$work/$mode.trace")"
    if [[ -n "$unsynced" ]]; then
        echo "  $label: folders given a name by a rename and never synced after it:"
        local -a folders
        mapfile -t folders <<<"$unsynced"
        printf '    %s\n' "${folders[@]}"
        failures=$((failures + ${#folders[@]}))
    fi
}

# Four runs at once on one machine, $rounds times.
run_concurrently() { # mode
    local mode="$1" fresh="$work/$1-fresh" trial="$work/concurrent"
    local round trials=0 lost=0 ini_changed=0 unsound=0 leftovers=0 vanished=0 failed_runs=0
    local problems
    for ((round = 1; round <= rounds; ++round)); do
        trials=$((trials + 1))
        problems=""
        rm -rf "$trial" && cp -a "$fresh" "$trial"
        local -a pids=()
        local n status bad=0
        for n in 1 2 3 4; do
            kor_log="$work/concurrent-$n.log" run_kor "$trial" &
            pids+=($!)
        done
        for n in 1 2 3 4; do
            wait "${pids[n - 1]}"
            status=$?
            if ((status != 0)); then
                failed_runs=$((failed_runs + 1))
                problems+=" run$n-status:$status($(head -c 300 "$work/concurrent-$n.log" | tr '\n' ' '))"
                bad=1
            fi
        done
        stage="after-the-runs:"
        check_trial "$trial" || bad=1
        if ((bad)); then
            printf '  %s concurrent round %d:%s\n' "$mode" "$round" "$problems"
        fi
    done
    echo "kill_every_step: mode=$mode concurrent rounds=$trials runs=$((4 * trials))" \
        "lost-logos=$lost ini-changed=$ini_changed leftovers=$leftovers vanished=$vanished" \
        "failed-runs=$failed_runs"
    print_leftover_names rounds
    failures=$((failures + lost + ini_changed + leftovers + vanished + failed_runs))
}

# --- a FAT disk image as drive C: -------------------------------------------

start=63 # where MS-DOS's FDISK put the first partition
header=0
# On a PC-98's disk, cylinder 1 after the HDI header of 4096 bytes.
[[ "$disk" == hdi ]] && start=136 header=4096
offset=$((header + start * 512))
free_timeout=30 # the mtools processes a killed run leaves (they wait 20 s for a lock at most)

# Code page 850 for the short names, as the programs read them, whatever the
# user's own mtools configuration says; and the mtools of the runs that are
# killed, which waits $delay seconds before a command that changes the image.
set_up_mtools() {
    export MTOOLSRC="$work/mtoolsrc"
    printf 'default_codepage=850\n' >"$MTOOLSRC"
    export MTOOLS_LOWER_CASE=0
    mkdir -p "$work/slow"
    cat >"$work/slow/mtools" <<SLOW
#!/bin/sh
for last; do :; done
case "\$2 \$last" in
    "mcopy ::"* | mren* | mmove* | mdel* | mmd* | mrd* | mdeltree*) sleep $delay ;;
esac
exec $(command -v mtools) "\$@"
SLOW
    chmod +x "$work/slow/mtools"
}

# Writes the demo machine of mode $1 into a new image $3 of layout $2, as
# scripts/demo.sh --image does.
volume_bytes=0
make_image() { # mode layout image
    local source=demo-machine sectors fat
    [[ "$1" == archive ]] && source=demo-machine-archives
    case "$2" in
        fat16) sectors=$((32 * 2048)) fat=16 ;;
        fat32) sectors=$((40 * 2048)) fat=32 ;;
    esac
    volume_bytes=$((sectors * 512))
    local host="$work/host-$1"
    rm -rf "$host" && cp -a "$here/examples/$source/c" "$host" || return
    # git keeps no empty folders; these stand for the rest of a Windows install.
    find "$host" -name .gitkeep -delete
    mkdir -p "$host/WINDOWS/TEMP"
    # The settings name the pictures on the boot drive, A: on a PC-98.
    [[ "$letter" == c ]] || LC_ALL=C sed -i "s/C:\\\\/${letter^^}:\\\\/g" "$host/WINDOWS/KOR.INI"

    bash "$here/scripts/make-disk-image.sh" "$3" "$host" "$start" "$sectors" "$fat" "$disk" || return
}

# A trial folder: the image in disk.img, drive C: a link to it, the host's
# temporary folder in hosttmp/.
make_trial() { # fresh-image trial
    rm -rf "$2" && mkdir -p "$2/root" "$2/hosttmp"
    cp --sparse=always "$1" "$2/disk.img"
    ln -s ../disk.img "$2/root/$letter"
}

image_new_trial() { make_trial "$fresh" "$trial"; }

# fsck.fat -n on the partition, copied out (fsck.fat takes no offset); its
# findings in $fsck_said. Sound means status 0 and nothing but the summary.
fsck_said=""
partition_is_sound() { # image
    dd if="$1" of="$work/partition" bs=1M iflag=skip_bytes,count_bytes skip="$offset" \
        count="$volume_bytes" status=none || return
    fsck_said="$(fsck.fat -n "$work/partition" 2>&1)"
    local status=$?
    fsck_said="$(grep -v -e '^fsck\.fat ' -e "^$work/partition: [0-9]* files, " <<<"$fsck_said")"
    ((status == 0)) && [[ -z "$fsck_said" ]]
}

image_sound() { # trial
    partition_is_sound "$1/disk.img" && return 0
    problems+=" ${stage}fsck:[$(head -c 400 <<<"$fsck_said" | tr '\n' ' ' | sed 's/ $//')]"
    return 1
}

# Copies file $2 (a path in the image) out to $work/out; fails when missing.
image_fetch() { # trial path
    mtools -c mcopy -n -i "$1/disk.img@@$offset" "::/$2" - >"$work/out" 2>/dev/null
}

# Every entry of the image, one a line, the logo names in lower case since
# Windows treats them without regard to case; then the trial's host entries.
image_tree() { # trial
    {
        mdir -/ -a -b -i "$1/disk.img@@$offset" ::/ 2>/dev/null
        find "$1" -mindepth 1 -printf 'host:%P\n'
    } | sed -E 's#(^|/)([Ll][Oo][Gg][Oo][WwSs]?\.[Ss][Yy][Ss])$#\1\L\2#' | LC_ALL=C sort
}

# Waits until no process has the image open and, given the folder of the
# runs' exports, until no FUSE mount and no file is left in it; false after
# $free_timeout seconds, with what is left in $problems. Counts in $outlived
# the runs whose mtools process was still at work when KOR died.
wait_until_freed() { # image [exports]
    local image="$1" exports="${2:-}" waited=0 left
    fuser -s "$image" 2>/dev/null && outlived=$((outlived + 1))
    while :; do
        left="$(
            fuser -s "$image" 2>/dev/null && echo "open:$(fuser "$image" 2>/dev/null)"
            if [[ -n "$exports" ]]; then
                grep -F " $exports/" /proc/self/mountinfo | cut -d' ' -f5
                find "$exports" -mindepth 1 2>/dev/null
            fi
        )"
        [[ -z "$left" ]] && return 0
        if ((waited >= free_timeout * 20)); then
            problems+=" left-after-${free_timeout}s:[$(tr '\n' ' ' <<<"$left")]"
            return 1
        fi
        sleep 0.05
        waited=$((waited + 1))
    done
}

image_freed() { wait_until_freed "$1/disk.img"; } # trial

image_killed_run() { # syscall k
    PATH="$work/slow:$PATH" run_kor "$trial" strace -qq -o /dev/null -e trace="$1" \
        -e "inject=$1:signal=SIGKILL:when=$2"
}

# The steps of one traced run as "syscall k changes": the k-th call of that
# system call by KOR itself, and 1 when it starts, watches or waits for an
# mtools process that changes the image (mcopy into it, mren, mmove, mdel,
# mmd, mrd, mdeltree, mattrib with a flag to set). The trace follows the children (-f) only to
# see what each one runs; the steps are KOR's own calls.
traced_calls=clone,clone3,vfork,pidfd_open,wait4,waitid
image_trace_steps() { # trace
    awk '
        NR == 1 { kor = $1; n = 0 }
        / execve\("[^"]*", \["mtools", "-c", "/ {
            command = $0
            sub(/.*\["mtools", "-c", "/, "", command)
            target = command
            sub(/"\].*/, "", target)
            sub(/.*"/, "", target)
            sub(/".*/, "", command)
            changes[$1] = command ~ /^(mren|mmove|mdel|mmd|mrd|mdeltree)$/ ||
                (command == "mcopy" && target ~ /^::/) ||
                (command == "mattrib" && $0 ~ /", "[-+][ahrs]"/)
            next
        }
        $1 != kor { next }
        # The child is what a clone returns; with -f that may come on a later
        # "resumed" line.
        $2 ~ /^<\.\.\./ {
            if ($0 ~ /(clone|clone3|vfork) resumed>.* = [0-9]+$/)
                of[pending] = $NF
            next
        }
        {
            name = $2
            sub(/\(.*/, "", name)
            if (name == "execve") next
            count[name]++
            child = ""
            if (name ~ /^(clone|clone3|vfork)$/) {
                pending = n
                if ($0 ~ / = [0-9]+$/) child = $NF
            } else {
                # pidfd_open, wait4, waitid: the child is the first argument
                # (none for "any child").
                child = $0
                sub(/^[0-9]+ +[a-z_0-9]+\((P_PID, )?/, "", child)
                sub(/[^0-9].*/, "", child)
            }
            step[n] = name " " count[name]
            of[n] = child
            n++
        }
        END {
            for (i = 0; i < n; i++)
                print step[i], (of[i] != "" && changes[of[i]]) ? 1 : 0
        }' "$1"
}

# Writes the machine of $mode into a fresh image $fresh of $layout (and, on a
# qcow2 drive, converts it into $fresh_qcow2), traces one run of KOR on a copy
# and puts its steps in $steps.
image_prepare() {
    fresh="$work/$mode-$layout.img"
    fresh_qcow2="$work/$mode-$layout.qcow2"
    if ! { make_image "$mode" "$layout" "$fresh" &&
        { [[ "$drive" != qcow2 ]] || qemu-img convert -O qcow2 "$fresh" "$fresh_qcow2"; }; } \
        >"$work/make.log" 2>&1; then
        echo "kill_every_step: $label: cannot build the image: $(head -c 400 "$work/make.log")" >&2
        failures=$((failures + 1))
        return 1
    fi
    learn_pictures "$work/host-$mode"
    ini_before="$work/host-$mode/WINDOWS/KOR.INI"
    "${drive}_new_trial"
    "${drive}_tree" "$trial" >"$work/fresh.tree"

    run_kor "$trial" strace -f -qq -o "$work/$mode.trace" -e signal=none \
        -e trace="$traced_calls,execve"
    local status=$?
    if ((status != 0)); then
        echo "kill_every_step: $label: the traced run ended with status $status:" \
            "$(head -c 400 "$kor_log")" >&2
        failures=$((failures + 1))
        return 1
    fi
    mapfile -t steps < <(image_trace_steps "$work/$mode.trace")
}

# KOR on an image that another process has open: status 1, that process named
# on standard error, the image untouched.
image_in_use() { # mode
    local mode="$1" fresh="$work/$1-fat16.img" trial="$work/trial" problems=""
    [[ -f "$fresh" ]] || make_image "$mode" fat16 "$fresh" >"$work/make.log" 2>&1 || {
        echo "kill_every_step: $mode/fat16: cannot build the image" >&2
        failures=$((failures + 1))
        return
    }
    make_trial "$fresh" "$trial"
    local before holder status
    before="$(hash_of "$trial/disk.img")"
    sleep 30 3<>"$trial/disk.img" &
    holder=$!
    run_kor "$trial"
    status=$?
    kill "$holder" 2>/dev/null
    wait "$holder" 2>/dev/null
    ((status == 1)) || problems+=" status:$status"
    grep -q "sleep" "$kor_log" || problems+=" no-word-sleep"
    grep -qw "$holder" "$kor_log" || problems+=" no-PID-$holder"
    [[ "$(hash_of "$trial/disk.img")" == "$before" ]] || problems+=" image-changed"
    if [[ -n "$problems" ]]; then
        echo "kill_every_step: $mode image in use by sleep (PID $holder):$problems;" \
            "KOR said: $(head -c 400 "$kor_log" | tr '\n' ' ')"
        failures=$((failures + 1))
    else
        echo "kill_every_step: $mode image in use: status 1, sleep (PID $holder) named, image untouched"
    fi
}

# Makes the cluster chain of logo.sys in the root of the FAT16 partition of
# image $1 end by pointing back to its first cluster, in both FATs.
loop_logo_chain() { # image
    python3 - "$1" "$offset" <<'EOF'
import struct, sys
image, offset = sys.argv[1], int(sys.argv[2])
with open(image, "r+b") as disk:
    disk.seek(offset)
    boot = disk.read(512)
    sector = struct.unpack_from("<H", boot, 11)[0]
    reserved = struct.unpack_from("<H", boot, 14)[0]
    fats = boot[16]
    roots = struct.unpack_from("<H", boot, 17)[0]
    fat_start = offset + reserved * sector
    fat_bytes = struct.unpack_from("<H", boot, 22)[0] * sector
    disk.seek(fat_start + fats * fat_bytes)
    root = disk.read(roots * 32)
    entry = next(at for at in range(0, len(root), 32) if root[at:at + 11] == b"LOGO    SYS")
    first = last = struct.unpack_from("<H", root, entry + 26)[0]
    disk.seek(fat_start)
    table = disk.read(fat_bytes)
    while struct.unpack_from("<H", table, 2 * last)[0] < 0xFFF8:
        last = struct.unpack_from("<H", table, 2 * last)[0]
    for copy in range(fats):
        disk.seek(fat_start + copy * fat_bytes + 2 * last)
        disk.write(struct.pack("<H", first))
EOF
}

# KOR on an image whose file system is damaged: status 1, the damage named on
# standard error with the advice to run ScanDisk, the image untouched.
damaged_volume() { # mode
    local mode="$1" fresh="$work/$1-fat16.img" trial="$work/trial" problems=""
    [[ -f "$fresh" ]] || make_image "$mode" fat16 "$fresh" >"$work/make.log" 2>&1 || {
        echo "kill_every_step: $mode/fat16: cannot build the image" >&2
        failures=$((failures + 1))
        return
    }
    make_trial "$fresh" "$trial"
    loop_logo_chain "$trial/disk.img" || {
        echo "kill_every_step: cannot damage the chain of logo.sys" >&2
        failures=$((failures + 1))
        return
    }
    cp --sparse=always "$trial/disk.img" "$work/damaged.img"
    run_kor "$trial"
    local status=$?
    ((status == 1)) || problems+=" status:$status"
    grep -q "のﾌｧｲﾙｼｽﾃﾑが壊れています" "$kor_log" || problems+=" no-word-of-damage"
    grep -q "ScanDisk" "$kor_log" || problems+=" no-ScanDisk"
    cmp -s "$trial/disk.img" "$work/damaged.img" || problems+=" image-changed"
    if [[ -n "$problems" ]]; then
        echo "kill_every_step: $mode image with a looping chain:$problems;" \
            "KOR said: $(head -c 400 "$kor_log" | tr '\n' ' ')"
        failures=$((failures + 1))
    else
        echo "kill_every_step: $mode image with a looping chain: status 1, damage named, image untouched"
    fi
}

# --- a qcow2 image as drive C: ----------------------------------------------
# The image's checks above, on the raw disk that qemu-img reads out of the
# trial's disk.qcow2 into its disk.img: everything but the drive's own file is
# the same.

exports="$work/run/kor-$(id -u)" # the folder of the runs' exports
mkdir -m 0700 -p "$work/run"

qcow2_new_trial() {
    rm -rf "$trial" && mkdir -p "$trial/root" "$trial/hosttmp"
    cp "$fresh_qcow2" "$trial/disk.qcow2"
    ln -s ../disk.qcow2 "$trial/root/c"
}

# The raw disk of the trial's qcow2 image, in $work/raw/disk.img.
qcow2_read_out() { # trial
    rm -rf "$work/raw" && mkdir -p "$work/raw" &&
        qemu-img convert -U -O raw "$1/disk.qcow2" "$work/raw/disk.img"
}

qcow2_sound() { # trial
    local status=0
    qemu-img check -q "$1/disk.qcow2" >"$work/check.log" 2>&1 || status=$?
    # Leaked clusters (3) waste space only; a killed daemon may leave them.
    if ((status != 0)) && ! [[ "$stage" == after-kill: && status -eq 3 ]]; then
        problems+=" ${stage}qemu-img-check:$status[$(head -c 300 "$work/check.log" | tr '\n' ' ')]"
        return 1
    fi
    qcow2_read_out "$1" && image_sound "$work/raw"
}

qcow2_fetch() { # trial path
    qcow2_read_out "$1" && image_fetch "$work/raw" "$2"
}

qcow2_tree() { # trial
    qcow2_read_out "$1" || return
    {
        mdir -/ -a -b -i "$work/raw/disk.img@@$offset" ::/ 2>/dev/null
        find "$1" -mindepth 1 -printf 'host:%P\n'
    } | sed -E 's#(^|/)([Ll][Oo][Gg][Oo][WwSs]?\.[Ss][Yy][Ss])$#\1\L\2#' | LC_ALL=C sort
}

# A killed run's mtools, then its export's daemon, has the image open; then
# the export's FUSE mount and files go.
qcow2_freed() { wait_until_freed "$1/disk.qcow2" "$exports"; } # trial

qcow2_killed_run() { image_killed_run "$@"; }

qcow2_prepare() { image_prepare; }

# --- the kills --------------------------------------------------------------

# Kills KOR at each chosen step of mode $1 (on an image, of layout $2), each
# time on a fresh trial, and checks the drive after the kill and after the
# normal run that follows.
kill_steps() { # mode [layout]
    local mode="$1" layout="${2:-}" trial="$work/trial" label="$1" fresh
    [[ -n "$layout" ]] && label="$mode/$layout"
    local -a steps=()
    "${drive}_prepare" || return

    # The chosen steps: every $every-th, and each step of a change; on a
    # folder, also the one after each change, so that the moments before and
    # after each change are all tried.
    local -a chosen=()
    local i name k changes
    for i in "${!steps[@]}"; do
        read -r name k changes <<<"${steps[$i]}"
        ((every > 0 && i % every == 0)) && chosen[i]=1
        if ((changes)); then
            chosen[i]=1
            [[ "$drive" == folder ]] && ((i + 1 < ${#steps[@]})) && chosen[i + 1]=1
        fi
    done

    local trials=0 killed=0 unreached=0 lost=0 ini_changed=0 unsound=0 leftovers=0 vanished=0
    local failed_runs=0 hangs=0 stuck=0 outlived=0 problems status
    for i in "${!chosen[@]}"; do
        read -r name k changes <<<"${steps[$i]}"
        [[ -n "$calls" && ",$calls," != *",$name,"* ]] && continue
        trials=$((trials + 1))
        problems=""
        "${drive}_new_trial"
        "${drive}_killed_run" "$name" "$k"
        status=$?
        local bad=0
        case "$status" in
            137) killed=$((killed + 1)) ;;
            124)
                hangs=$((hangs + 1))
                problems+=" the-killed-run-hung"
                bad=1
                ;;
            *) unreached=$((unreached + 1)) ;; # this run made fewer such calls
        esac
        if ! "${drive}_freed" "$trial"; then
            stuck=$((stuck + 1))
            bad=1
        fi
        # Right after the crash: no logo lost, KOR.INI untouched, the volume sound.
        local before_lost=$lost before_ini=$ini_changed before_unsound=$unsound
        stage="after-kill:"
        check_drive "$trial" || bad=1
        run_kor "$trial"
        status=$?
        if ((status != 0)); then
            failed_runs=$((failed_runs + 1))
            problems+=" next-run-status:$status($(head -c 300 "$kor_log" | tr '\n' ' '))"
            bad=1
        fi
        stage="after-next-run:"
        check_trial "$trial" || bad=1
        # One trial counts once for each kind of fault.
        ((lost > before_lost + 1)) && lost=$((before_lost + 1))
        ((ini_changed > before_ini + 1)) && ini_changed=$((before_ini + 1))
        ((unsound > before_unsound + 1)) && unsound=$((before_unsound + 1))
        if ((bad)); then
            printf '  %s step %d (%s #%d):%s\n' "$label" "$((i + 1))" "$name" "$k" "$problems"
        fi
    done
    local image_counts=""
    [[ "$drive" != folder ]] && image_counts=" fsck-errors=$unsound image-held=$stuck mtools-outlived-KOR=$outlived"
    echo "kill_every_step: $label steps=${#steps[@]} trials=$trials killed=$killed" \
        "unreached=$unreached lost-logos=$lost ini-changed=$ini_changed leftovers=$leftovers" \
        "vanished=$vanished failed-next-runs=$failed_runs hangs=$hangs$image_counts"
    print_leftover_names trials
    failures=$((failures + unsound + lost + ini_changed + leftovers + vanished + failed_runs \
        + hangs + stuck))
}

# --- the run ----------------------------------------------------------------

if [[ "$drive" == folder ]]; then
    run_timeout=20 # one run of KOR
    logos=(c/logo.sys c/WINDOWS/logow.sys c/WINDOWS/logos.sys)
    ini=c/WINDOWS/KOR.INI
else
    run_timeout=30
    logos=(logo.sys WINDOWS/logow.sys WINDOWS/logos.sys)
    ini=WINDOWS/KOR.INI
    set_up_mtools
fi
ini_before="" # KOR.INI of the fresh machine, on the host

case "$every" in
    0) selection="the steps of each change" ;;
    1) selection="every step" ;;
    *) selection="every ${every}th step and those of each change" ;;
esac
[[ -n "$calls" ]] && selection+=" at $calls"
echo "kill_every_step: $program, drive ${letter^^}: $drive ($disk), $selection"
if [[ "$drive" == folder ]]; then
    for mode in "${modes[@]}"; do
        kill_steps "$mode"
        ((rounds > 0)) && run_concurrently "$mode"
    done
else
    for layout in "${layouts[@]}"; do
        for mode in "${modes[@]}"; do
            # FAT32 differs from FAT16 in the volume only; one mode shows it.
            [[ "$layout" == fat32 && "$mode" == archive && "$mode_given" == no ]] && continue
            kill_steps "$mode" "$layout"
        done
    done
    if [[ "$drive" == image ]]; then
        image_in_use "${modes[0]}"
        damaged_volume "${modes[0]}"
    fi
fi
if ((failures)); then
    echo "kill_every_step: FAILED ($failures failed checks)"
    keep=yes
    exit 1
fi
echo "kill_every_step: every check held"
