#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Kills KOR at each step where it starts or waits for a process, on a machine
# whose drive C: is a FAT disk image, and checks what that leaves in the image.
#
# Every change KOR makes inside an image is one mtools process, run in its own
# process group so that it ends its work even when KOR dies. For each mode
# (BMP folders, LZH archives), the demo machine of examples/ is written into an
# image (an MBR disk, one FAT16 partition at sector 63; FAT32 too in BMP
# mode), one run of KOR is traced to count the calls that start a process
# (clone, clone3, vfork), watch one (pidfd_open) or wait for one (wait4,
# waitid), and then, for each chosen step, a fresh copy of the image gets a
# run that strace kills with SIGKILL on entering that call; in that run each
# command that changes the image starts a little late (--delay), so that KOR
# dies while it runs. Once no process has the image open any more:
#   (a) fsck.fat -n finds the partition sound, with nothing to fix;
#   (b) each of the three logo files holds exactly the old logo or one of the
#       candidate pictures;
#   (c) KOR.INI holds the bytes it held before.
# Then one normal run must end with status 0, leave the partition sound, the
# logos as in (b), and the image and the trial folder holding exactly the
# entries of before: no ~KOR????.TMP, no extracted member.
# Last, while another process (sleep) has the image open, KOR must end with
# status 1, name that process and its PID, and leave the image byte for byte;
# and on an image whose logo.sys has a cluster chain that loops, KOR must end
# with status 1, say that the file system is damaged, and write nothing.
#
#   bash tests/fault_injection/kill_image_steps.sh         # every 7th step, each change
#   bash tests/fault_injection/kill_image_steps.sh --full  # every step
#
# The step counts depend on the pictures drawn at random, so a step of the
# traced run stands for "the k-th call of this system call" in a later one.
set -uo pipefail

# A sanitizer build's leak check cannot run under ptrace, and strace is ptrace.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
program="${KOR_PROGRAM:-$here/build/changer/KOR}"
modes=(bmp archive)
layouts=(fat16 fat32)
every=7
calls=""
delay=0.05
keep=no

usage() {
    sed -n '2,31s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"
    cat <<'EOF'

Options:
  --program PATH   the KOR program (default: $KOR_PROGRAM, else build/changer/KOR)
  --mode MODE      bmp, archive or both (default: both)
  --layout L       fat16, fat32 or both (default: both; fat32 runs BMP mode only
                   unless --mode says otherwise)
  --full           every step (the default takes every 7th, plus each step of
                   an mtools command that changes the image)
  --every N        every N-th step, plus those of changes (0: only those)
  --calls LIST     only steps at these calls, e.g. pidfd_open (the moment a
                   change runs while KOR dies) or clone3,wait4
  --delay SECONDS  in the runs that are killed, each mtools command that
                   changes the image starts this much later (default 0.05; 0:
                   at once), so that KOR dies while it runs and it does its
                   work after KOR is gone
  --keep           keep the work folder and say where it is
Exit status: 0 when every check held, 1 when one failed, 2 on bad usage,
77 when a tool it needs is missing.
EOF
}

mode_given=no
while (($#)); do
    case "$1" in
        --program)
            program="${2:?--program needs a path}"
            shift
            ;;
        --mode)
            case "${2:-}" in
                bmp | archive) modes=("$2") ;;
                both) modes=(bmp archive) ;;
                *)
                    echo "kill_image_steps: --mode takes bmp, archive or both" >&2
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
                    echo "kill_image_steps: --layout takes fat16, fat32 or both" >&2
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
            echo "kill_image_steps: unknown option $1 (try --help)" >&2
            exit 2
            ;;
    esac
    shift
done

if ! [[ "$every" =~ ^[0-9]+$ && "$delay" =~ ^[0-9]+(\.[0-9]+)?$ ]]; then
    echo "kill_image_steps: --every takes a number, --delay a number of seconds" >&2
    exit 2
fi
if [[ ! -x "$program" ]]; then
    echo "kill_image_steps: no KOR program at $program (build it, or pass --program)" >&2
    exit 2
fi
program="$(realpath "$program")"
PATH="$PATH:/usr/sbin:/sbin" # sfdisk, mkfs.fat and fsck.fat, for a user without them
for tool in strace timeout sha256sum mtools sfdisk mkfs.fat fsck.fat fuser python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "kill_image_steps: $tool is missing; nothing was checked" >&2
        exit 77
    fi
done
if [[ " ${modes[*]} " == *" archive "* ]] && ! command -v lha >/dev/null; then
    echo "kill_image_steps: lha (lhasa) is missing to unpack the candidate pictures" >&2
    exit 77
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/kill_image_steps.XXXXXX")"
cleanup() {
    if [[ "$keep" == yes ]]; then
        echo "kill_image_steps: work folder kept at $work"
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

# Code page 850 for the short names, as the programs read them; whatever the
# user's own mtools configuration says.
export MTOOLSRC="$work/mtoolsrc"
printf 'default_codepage=850\n' >"$MTOOLSRC"
export MTOOLS_LOWER_CASE=0

# The mtools of the runs that are killed: it waits $delay seconds before a
# command that changes the image.
mkdir -p "$work/slow"
cat >"$work/slow/mtools" <<EOF
#!/bin/sh
for last; do :; done
case "\$2 \$last" in
    "mcopy ::"* | mren* | mmove* | mdel* | mmd* | mrd* | mdeltree*) sleep $delay ;;
esac
exec $(command -v mtools) "\$@"
EOF
chmod +x "$work/slow/mtools"

run_timeout=30   # one run of KOR
free_timeout=30  # the mtools processes a killed run leaves (they wait 20 s for a lock at most)
start=63         # where MS-DOS's FDISK put the first partition
offset=$((start * 512))
kor_log="$work/kor.log" # what the last run wrote
logos=(logo.sys WINDOWS/logow.sys WINDOWS/logos.sys)
failures=0

# shellcheck source=candidate_pictures.sh
source "$here/tests/fault_injection/candidate_pictures.sh"

# --- the image ------------------------------------------------------------

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
    drive="$3@@$offset"
    local host="$work/host-$1"
    rm -rf "$host" && cp -a "$here/examples/$source/c" "$host" || return
    # git keeps no empty folders; these stand for the rest of a Windows install.
    find "$host" -name .gitkeep -delete
    mkdir -p "$host/WINDOWS/TEMP"

    bash "$here/scripts/make-disk-image.sh" "$3" "$host" "$start" "$sectors" "$fat" || return
}

# --- what the image holds ---------------------------------------------------

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

# Copies file $2 (a path in the image) out to $work/out; fails when missing.
fetch() { mtools -c mcopy -n -i "$1@@$offset" "::/$2" - >"$work/out" 2>/dev/null; }

# Every entry of the image, one a line, the logo names in lower case since
# Windows treats them without regard to case; then the trial's host entries.
tree_of() { # trial
    {
        mdir -/ -a -b -i "$1/disk.img@@$offset" ::/ 2>/dev/null
        find "$1" -mindepth 1 -printf 'host:%P\n'
    } | sed -E 's#(^|/)([Ll][Oo][Gg][Oo][WwSs]?\.[Ss][Yy][Ss])$#\1\L\2#' | LC_ALL=C sort
}

# The checks on an image after a run ended: names each problem in $problems
# after $stage; returns 1 when any failed.
stage=""
check_image() { # trial
    local image="$1/disk.img" logo hash bad=0
    if ! partition_is_sound "$image"; then
        problems+=" ${stage}fsck:[$(head -c 400 <<<"$fsck_said" | tr '\n' ' ' | sed 's/ $//')]"
        unsound=$((unsound + 1))
        bad=1
    fi
    local lost_here=0
    for logo in "${logos[@]}"; do
        if ! fetch "$image" "$logo"; then
            problems+=" $stage$logo:missing"
            lost_here=1
            continue
        fi
        hash="$(hash_of "$work/out")"
        if [[ "$hash" != "${old_logo[$logo]}" && -z "${candidates[$hash]:-}" ]]; then
            problems+=" $stage$logo:foreign($(stat -c %s "$work/out")B)"
            lost_here=1
        fi
    done
    ((lost_here)) && lost=$((lost + 1)) && bad=1
    if ! fetch "$image" WINDOWS/KOR.INI || ! cmp -s "$work/out" "$work/host-$mode/WINDOWS/KOR.INI"; then
        problems+=" ${stage}KOR.INI-changed"
        ini_changed=$((ini_changed + 1))
        bad=1
    fi
    return "$bad"
}

# Waits until no process has the image open; false after $free_timeout
# seconds, with the processes that still have it in $problems. Counts in
# $outlived the runs whose mtools process was still at work when KOR died.
image_freed() { # image
    local waited=0
    fuser -s "$1" 2>/dev/null && outlived=$((outlived + 1))
    while fuser -s "$1" 2>/dev/null; do
        if ((waited >= free_timeout * 20)); then
            problems+=" image-still-open-after-${free_timeout}s:[$(fuser -v "$1" 2>&1 | tail -n +2 | tr -s ' \n' ' ')]"
            return 1
        fi
        sleep 0.05
        waited=$((waited + 1))
    done
}

# Runs KOR on the trial folder $1 with the rest of the arguments put before
# it (a tracer); unattended, with every temporary folder inside the trial.
run_kor() { # trial prefix...
    local trial="$1"
    shift
    # The "exit" keeps the subshell from becoming the program, so that its note
    # about a killed child goes to the log, not to the terminal.
    (
        cd "$trial" &&
            env -u DISPLAY -u WAYLAND_DISPLAY -u MTOOLSRC -u MTOOLS_LOWER_CASE \
                KOR_ROOT="$trial/root" WINDIR='C:\WINDOWS' \
                TMP='C:\WINDOWS\TEMP' TEMP='C:\WINDOWS\TEMP' TMPDIR="$trial/hosttmp" \
                timeout -s KILL "$run_timeout" "$@" "$program"
        exit
    ) >"$kor_log" 2>&1
}

# A trial folder: the image in disk.img, drive C: a link to it, the host's
# temporary folder in hosttmp/.
make_trial() { # fresh-image trial
    rm -rf "$2" && mkdir -p "$2/root" "$2/hosttmp"
    cp --sparse=always "$1" "$2/disk.img"
    ln -s ../disk.img "$2/root/c"
}

declare -A leftover_names=()
count_leftovers() { # fresh-tree trial-tree
    local extra missing name
    extra="$(LC_ALL=C comm -13 "$1" "$2")"
    missing="$(LC_ALL=C comm -23 "$1" "$2")"
    if [[ -n "$extra" ]]; then
        leftovers=$((leftovers + 1))
        while IFS= read -r name; do
            # Random parts of temporary names stand for one kind of leftover.
            name="$(sed -E 's/~KOR[A-Za-z0-9]{4}\.TMP/~KOR????.TMP/I' <<<"$name")"
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

# The steps of one traced run as "syscall k changes": the k-th call of that
# system call by KOR itself, and 1 when it starts, watches or waits for an
# mtools process that changes the image (mcopy into it, mren, mmove, mdel,
# mmd, mrd, mdeltree, mattrib with a flag to set). The trace follows the children (-f) only to see what each one
# runs; the steps are KOR's own calls.
traced_calls=clone,clone3,vfork,pidfd_open,wait4,waitid
trace_steps() { # trace
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

kill_image_steps() { # mode layout
    local mode="$1" layout="$2" fresh="$work/$1-$2.img" trial="$work/trial"
    local label="$mode/$layout"
    if ! make_image "$mode" "$layout" "$fresh" >"$work/make.log" 2>&1; then
        echo "kill_image_steps: $label: cannot build the image: $(head -c 400 "$work/make.log")" >&2
        failures=$((failures + 1))
        return
    fi
    learn_pictures "$work/host-$mode"
    make_trial "$fresh" "$trial"
    tree_of "$trial" >"$work/fresh.tree"

    run_kor "$trial" strace -f -qq -o "$work/$mode.trace" -e signal=none \
        -e trace="$traced_calls,execve"
    local status=$?
    if ((status != 0)); then
        echo "kill_image_steps: $label: the traced run ended with status $status:" \
            "$(head -c 400 "$kor_log")" >&2
        failures=$((failures + 1))
        return
    fi
    local -a steps
    mapfile -t steps < <(trace_steps "$work/$mode.trace")

    local trials=0 killed=0 unreached=0 lost=0 ini_changed=0 unsound=0 leftovers=0 vanished=0
    # The chosen steps: every $every-th, and each step of a command that
    # changes the image: before it starts, while it runs (or just after it
    # ended), and when KOR has seen it end.
    local -a chosen=()
    local i name k changes
    for i in "${!steps[@]}"; do
        read -r name k changes <<<"${steps[$i]}"
        [[ -n "$calls" && ",$calls," != *",$name,"* ]] && continue
        ((changes || (every > 0 && i % every == 0))) && chosen[i]=1
    done

    local failed_runs=0 hangs=0 stuck=0 outlived=0 problems
    for i in "${!chosen[@]}"; do
        read -r name k changes <<<"${steps[$i]}"
        trials=$((trials + 1))
        problems=""
        make_trial "$fresh" "$trial"
        PATH="$work/slow:$PATH" run_kor "$trial" strace -qq -o /dev/null -e trace="$name" \
            -e "inject=$name:signal=SIGKILL:when=$k"
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
        if ! image_freed "$trial/disk.img"; then
            stuck=$((stuck + 1))
            bad=1
        fi
        local before_lost=$lost before_ini=$ini_changed before_unsound=$unsound
        stage="after-kill:"
        check_image "$trial" || bad=1
        run_kor "$trial"
        status=$?
        if ((status != 0)); then
            failed_runs=$((failed_runs + 1))
            problems+=" next-run-status:$status($(head -c 300 "$kor_log" | tr '\n' ' '))"
            bad=1
        fi
        stage="after-next-run:"
        check_image "$trial" || bad=1
        tree_of "$trial" >"$work/trial.tree"
        count_leftovers "$work/fresh.tree" "$work/trial.tree" || bad=1
        # One trial counts once for each kind of fault.
        ((lost > before_lost + 1)) && lost=$((before_lost + 1))
        ((ini_changed > before_ini + 1)) && ini_changed=$((before_ini + 1))
        ((unsound > before_unsound + 1)) && unsound=$((before_unsound + 1))
        if ((bad)); then
            printf '  %s step %d (%s #%d):%s\n' "$label" "$((i + 1))" "$name" "$k" "$problems"
        fi
    done
    echo "kill_image_steps: $label steps=${#steps[@]} trials=$trials killed=$killed" \
        "unreached=$unreached fsck-errors=$unsound lost-logos=$lost ini-changed=$ini_changed" \
        "leftovers=$leftovers vanished=$vanished failed-next-runs=$failed_runs hangs=$hangs" \
        "image-held=$stuck mtools-outlived-KOR=$outlived"
    if ((leftovers)); then
        echo "  leftover entries (trials x name):"
        local entry
        for entry in "${!leftover_names[@]}"; do
            printf '    %4d x %s\n' "${leftover_names[$entry]}" "$entry"
        done | sort -k3
        leftover_names=()
    fi
    failures=$((failures + unsound + lost + ini_changed + leftovers + vanished + failed_runs \
        + hangs + stuck))
}

# KOR on an image that another process has open: status 1, that process named
# on standard error, the image untouched.
image_in_use() { # mode
    local mode="$1" fresh="$work/$1-fat16.img" trial="$work/trial" problems=""
    [[ -f "$fresh" ]] || make_image "$mode" fat16 "$fresh" >"$work/make.log" 2>&1 || {
        echo "kill_image_steps: $mode/fat16: cannot build the image" >&2
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
        echo "kill_image_steps: $mode image in use by sleep (PID $holder):$problems;" \
            "KOR said: $(head -c 400 "$kor_log" | tr '\n' ' ')"
        failures=$((failures + 1))
    else
        echo "kill_image_steps: $mode image in use: status 1, sleep (PID $holder) named, image untouched"
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
        echo "kill_image_steps: $mode/fat16: cannot build the image" >&2
        failures=$((failures + 1))
        return
    }
    make_trial "$fresh" "$trial"
    loop_logo_chain "$trial/disk.img" || {
        echo "kill_image_steps: cannot damage the chain of logo.sys" >&2
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
        echo "kill_image_steps: $mode image with a looping chain:$problems;" \
            "KOR said: $(head -c 400 "$kor_log" | tr '\n' ' ')"
        failures=$((failures + 1))
    else
        echo "kill_image_steps: $mode image with a looping chain: status 1, damage named, image untouched"
    fi
}

case "$every" in
    0) selection="the steps of each change" ;;
    1) selection="every step" ;;
    *) selection="every ${every}th step and those of each change" ;;
esac
[[ -n "$calls" ]] && selection+=" at $calls"
echo "kill_image_steps: $program, $selection"
for layout in "${layouts[@]}"; do
    for mode in "${modes[@]}"; do
        # FAT32 differs from FAT16 in the volume only; one mode shows it.
        [[ "$layout" == fat32 && "$mode" == archive && "$mode_given" == no ]] && continue
        kill_image_steps "$mode" "$layout"
    done
done
image_in_use "${modes[0]}"
damaged_volume "${modes[0]}"
if ((failures)); then
    echo "kill_image_steps: FAILED ($failures failed checks)"
    keep=yes
    exit 1
fi
echo "kill_image_steps: every check held"
