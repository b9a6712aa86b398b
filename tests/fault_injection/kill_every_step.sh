#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Kills KOR at its system calls, one after another, and checks what a crash
# at that moment leaves behind.
#
# For each mode (BMP folders, LZH archives) a demo machine is copied from
# examples/, one run of KOR is traced to learn its system calls, and then, for
# each chosen step, a fresh copy of the machine is given a run that strace
# kills with SIGKILL on entering that system call, followed by one normal run.
# After that pair:
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
#   bash tests/fault_injection/kill_every_step.sh            # every 7th step
#   bash tests/fault_injection/kill_every_step.sh --full     # every step
#
# The step counts depend on the pictures drawn at random, so a step of the
# traced run stands for "the k-th call of this system call" in a later one.
set -uo pipefail

# A sanitizer build's leak check cannot run under ptrace, and strace is ptrace.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
program="${KOR_PROGRAM:-$here/build/changer/KOR}"
modes=(bmp archive)
every=7
rounds=3
keep=no

usage() {
    sed -n '2,25s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"
    cat <<'EOF'
Options:
  --program PATH   the KOR program (default: $KOR_PROGRAM, else build/changer/KOR)
  --mode MODE      bmp, archive or both (default: both)
  --full           every step (the default takes every 7th, plus the steps at
                   and right after each call that creates, renames, removes
                   or syncs a file)
  --every N        every N-th step, plus those around changes
  --rounds N       rounds of four concurrent runs (default 3; 0: none)
  --keep           keep the work folder and say where it is
Exit status: 0 when every check held, 1 when one failed, 2 on bad usage,
77 when a tool it needs is missing.
EOF
}

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
                    echo "kill_every_step: --mode takes bmp, archive or both" >&2
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
        --rounds)
            rounds="${2:?--rounds needs a number}"
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

if ! [[ "$every" =~ ^[1-9][0-9]*$ && "$rounds" =~ ^[0-9]+$ ]]; then
    echo "kill_every_step: --every takes a number from 1, --rounds one from 0" >&2
    exit 2
fi
if [[ ! -x "$program" ]]; then
    echo "kill_every_step: no KOR program at $program (build it, or pass --program)" >&2
    exit 2
fi
program="$(realpath "$program")"
for tool in strace timeout sha256sum; do
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

run_timeout=20
kor_log="$work/kor.log" # what the last run wrote
logos=(c/logo.sys c/WINDOWS/logow.sys c/WINDOWS/logos.sys)
failures=0

# shellcheck source=candidate_pictures.sh
source "$here/tests/fault_injection/candidate_pictures.sh"

# A trial folder: the machine in root/, the host's temporary folder in
# hosttmp/, and the working folder KOR starts in, the trial folder itself.
make_fresh() { # mode destination
    local source=demo-machine
    [[ "$1" == archive ]] && source=demo-machine-archives
    mkdir -p "$2/hosttmp"
    cp -a "$here/examples/$source" "$2/root"
    # git keeps no empty folders; these stand for the rest of a Windows install.
    find "$2/root" -name .gitkeep -delete
    mkdir -p "$2/root/c/WINDOWS/TEMP"
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
            env -u DISPLAY -u WAYLAND_DISPLAY KOR_ROOT="$trial/root" WINDIR='C:\WINDOWS' \
                TMP='C:\WINDOWS\TEMP' TEMP='C:\WINDOWS\TEMP' TMPDIR="$trial/hosttmp" \
                timeout -s KILL "$run_timeout" "$@" "$program"
        exit
    ) >"$kor_log" 2>&1
}

# Every entry below the trial folder, one a line, the logo names in lower case
# since Windows treats them without regard to case.
tree_of() {
    find "$1" -mindepth 1 -printf '%P\n' |
        sed -E 's#(^|/)([Ll][Oo][Gg][Oo][WwSs]?\.[Ss][Yy][Ss])$#\1\L\2#' | LC_ALL=C sort
}

# The logo file of a slot in the trial, found without regard to case; empty
# when absent.
logo_file() { # trial slot
    local folder name
    folder="$1/root/$(dirname "$2")"
    name="$(basename "$2")"
    find "$folder" -maxdepth 1 -type f -iname "$name" -print -quit 2>/dev/null
}

# Counts the slots whose logo is missing or holds bytes that are neither the
# old logo nor a candidate picture; names them in $problems after $stage.
stage=""
lost_logos() { # trial
    local slot file hash lost=0
    for slot in "${logos[@]}"; do
        file="$(logo_file "$1" "$slot")"
        if [[ -z "$file" ]]; then
            problems+=" $stage$slot:missing"
            lost=$((lost + 1))
            continue
        fi
        hash="$(hash_of "$file")"
        if [[ "$hash" != "${old_logo[$slot]}" && -z "${candidates[$hash]:-}" ]]; then
            problems+=" $stage$slot:foreign($(stat -c %s "$file")B)"
            lost=$((lost + 1))
        fi
    done
    return "$lost"
}

# The shared checks after a trial; adds to the counters of the caller and
# returns 1 when any failed.
declare -A leftover_names=()
check_after() { # trial fresh label
    local trial="$1" fresh="$2" bad=0 extra missing
    if ! cmp -s "$trial/root/c/WINDOWS/KOR.INI" "$fresh/root/c/WINDOWS/KOR.INI"; then
        problems+=" KOR.INI-changed"
        ini_changed=$((ini_changed + 1))
        bad=1
    fi
    if ! lost_logos "$trial"; then
        lost=$((lost + 1))
        bad=1
    fi
    tree_of "$trial" >"$trial.tree"
    extra="$(LC_ALL=C comm -13 "$fresh.tree" "$trial.tree")"
    missing="$(LC_ALL=C comm -23 "$fresh.tree" "$trial.tree")"
    if [[ -n "$extra" ]]; then
        leftovers=$((leftovers + 1))
        bad=1
        local name
        while IFS= read -r name; do
            # Random parts of temporary names stand for one kind of leftover.
            name="$(sed -E 's/\.unlha32-[A-Za-z0-9]{6}/.unlha32-XXXXXX/; s/\.[0-9]+\.[0-9]+\.tmp$/.PID.N.tmp/; s/~KOR[A-Za-z0-9]{4}\.TMP/~KOR????.TMP/I' <<<"$name")"
            leftover_names[$name]=$((${leftover_names[$name]:-0} + 1))
        done <<<"$extra"
        problems+=" leftovers:[$(tr '\n' ' ' <<<"$extra" | sed 's/ $//')]"
    fi
    if [[ -n "$missing" ]]; then
        vanished=$((vanished + 1))
        bad=1
        problems+=" vanished:[$(tr '\n' ' ' <<<"$missing" | sed 's/ $//')]"
    fi
    return "$bad"
}

print_leftover_names() {
    local name
    for name in "${!leftover_names[@]}"; do
        printf '    %4d x %s\n' "${leftover_names[$name]}" "$name"
    done | sort -k3
    leftover_names=()
}

# The steps of one traced run as "syscall k" (the k-th call of that system
# call), each marked 1 when the call creates, names, removes or syncs a file
# or takes a lock: the moments around which a crash leaves different states.
trace_steps() { # trace
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

kill_every_step() { # mode
    local mode="$1" fresh="$work/$1-fresh" trial="$work/trial"
    make_fresh "$mode" "$fresh"
    tree_of "$fresh" >"$fresh.tree"
    learn_pictures "$fresh/root"

    rm -rf "$trial" && cp -a "$fresh" "$trial"
    run_kor "$trial" strace -f -qq -y -o "$work/$mode.trace"
    local status=$?
    if ((status != 0)); then
        echo "kill_every_step: $mode: the traced run ended with status $status; see $work/kor.log" >&2
        keep=yes
        failures=$((failures + 1))
        return
    fi
    mapfile -t steps < <(trace_steps "$work/$mode.trace")
    local unsynced
    unsynced="$(unsynced_folders "$work/$mode.trace")"
    if [[ -n "$unsynced" ]]; then
        echo "  $mode: folders given a name by a rename and never synced after it:"
        local -a folders
        mapfile -t folders <<<"$unsynced"
        printf '    %s\n' "${folders[@]}"
        failures=$((failures + ${#folders[@]}))
    fi

    # The chosen steps: every $every-th, and each call that changes a file
    # with the one after it, so that the moments before and after each change
    # are all tried.
    local -a chosen=()
    local i name k changes
    for i in "${!steps[@]}"; do
        read -r name k changes <<<"${steps[$i]}"
        ((i % every == 0)) && chosen[i]=1
        if ((changes)); then
            chosen[i]=1
            ((i + 1 < ${#steps[@]})) && chosen[i + 1]=1
        fi
    done

    local trials=0 killed=0 unreached=0 lost=0 ini_changed=0 leftovers=0 vanished=0
    local failed_runs=0 hangs=0 problems
    for i in "${!chosen[@]}"; do
        read -r name k changes <<<"${steps[$i]}"
        trials=$((trials + 1))
        problems=""
        rm -rf "$trial" && cp -a "$fresh" "$trial"
        run_kor "$trial" strace -f -qq -o /dev/null -e "inject=$name:signal=SIGKILL:when=$k"
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
        # Right after the crash: no logo lost, KOR.INI untouched.
        local before_lost=$lost before_ini=$ini_changed
        stage="after-kill:"
        if ! lost_logos "$trial"; then
            lost=$((lost + 1))
            bad=1
        fi
        if ! cmp -s "$trial/root/c/WINDOWS/KOR.INI" "$fresh/root/c/WINDOWS/KOR.INI"; then
            ini_changed=$((ini_changed + 1))
            problems+=" KOR.INI-changed-by-the-crash"
            bad=1
        fi
        run_kor "$trial"
        status=$?
        if ((status != 0)); then
            failed_runs=$((failed_runs + 1))
            problems+=" next-run-status:$status"
            bad=1
        fi
        stage="after-next-run:"
        check_after "$trial" "$fresh" || bad=1
        # One trial counts once for a lost logo and once for KOR.INI.
        ((lost > before_lost + 1)) && lost=$((before_lost + 1))
        ((ini_changed > before_ini + 1)) && ini_changed=$((before_ini + 1))
        if ((bad)); then
            printf '  %s step %d (%s #%d):%s\n' "$mode" "$((i + 1))" "$name" "$k" "$problems"
        fi
    done
    echo "kill_every_step: mode=$mode steps=${#steps[@]} trials=$trials killed=$killed" \
        "unreached=$unreached lost-logos=$lost ini-changed=$ini_changed leftovers=$leftovers" \
        "vanished=$vanished failed-next-runs=$failed_runs hangs=$hangs"
    if ((leftovers)); then
        echo "  leftover entries (trials x name):"
        print_leftover_names
    fi
    failures=$((failures + lost + ini_changed + leftovers + vanished + failed_runs + hangs))
}

# Four runs at once on one machine, $rounds times.
run_concurrently() { # mode
    local mode="$1" fresh="$work/$1-fresh" trial="$work/concurrent"
    local round trials=0 lost=0 ini_changed=0 leftovers=0 vanished=0 failed_runs=0 problems
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
        check_after "$trial" "$fresh" || bad=1
        if ((bad)); then
            printf '  %s concurrent round %d:%s\n' "$mode" "$round" "$problems"
        fi
    done
    echo "kill_every_step: mode=$mode concurrent rounds=$trials runs=$((4 * trials))" \
        "lost-logos=$lost ini-changed=$ini_changed leftovers=$leftovers vanished=$vanished" \
        "failed-runs=$failed_runs"
    if ((leftovers)); then
        echo "  leftover entries (rounds x name):"
        print_leftover_names
    fi
    failures=$((failures + lost + ini_changed + leftovers + vanished + failed_runs))
}

echo "kill_every_step: $program, every $([[ $every == 1 ]] && echo "step" || echo "${every}th step and each change")"
for mode in "${modes[@]}"; do
    kill_every_step "$mode"
    ((rounds > 0)) && run_concurrently "$mode"
done
if ((failures)); then
    echo "kill_every_step: FAILED ($failures failed checks)"
    exit 1
fi
echo "kill_every_step: every check held"
