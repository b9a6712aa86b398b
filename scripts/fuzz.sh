#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang in build-fuzz and runs each in turn:
#   scripts/fuzz.sh --smoke     2000 inputs a target, seeded (well under a minute)
#   scripts/fuzz.sh [SECONDS]   SECONDS a target (default 600)
# fuzz_archive starts from the LZH corpus (KOR_LZH_CORPUS, default
# tests/data/lzh-corpus) and fuzz/regression/archive; fuzz_settings from the
# demo machines' KOR.INI files and fuzz/regression/settings; fuzz_image (disk
# image layouts and mtools listings) from fuzz/regression/image. Inputs that find
# new paths collect in build-fuzz/corpus/<target>, inputs that break a target
# in build-fuzz/crashes/<target>. Exits with a non-zero status when a target
# breaks; minimise its input (see README.md) and keep it in fuzz/regression/.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

smoke=0
seconds=600
case "${1:-}" in
    --smoke) smoke=1 ;;
    "") ;;
    *[!0-9]* | 0)
        echo "usage: scripts/fuzz.sh [--smoke | SECONDS]" >&2
        exit 2
        ;;
    *) seconds="$1" ;;
esac

for tool in clang clang++; do
    if ! command -v "$tool" >/dev/null; then
        echo "fuzz.sh: $tool is missing (Debian: clang, libclang-rt-dev)" >&2
        exit 1
    fi
done

build=build-fuzz
corpus_args=()
[[ -n "${KOR_LZH_CORPUS:-}" ]] && corpus_args=(-DKOR_LZH_CORPUS="$KOR_LZH_CORPUS")
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKOR_WERROR=ON -DKOR_FUZZ=ON "${corpus_args[@]}" >/dev/null
nice cmake --build "$build" -j2 --target fuzz_archive fuzz_settings fuzz_image
lzh_corpus="$(sed -n 's/^KOR_LZH_CORPUS:PATH=//p' "$build/CMakeCache.txt")"
if [[ ! -d "$lzh_corpus/archives" ]]; then
    echo "fuzz.sh: no LZH corpus at $lzh_corpus/archives (set KOR_LZH_CORPUS)" >&2
    exit 1
fi

# libFuzzer takes folders of seeds; the KOR.INI files are gathered into one.
mkdir -p "$build/seeds/settings"
for ini in examples/*/c/WINDOWS/KOR.INI; do
    machine="${ini#examples/}"
    cp "$ini" "$build/seeds/settings/${machine%%/*}.ini"
done

# The scratch drive roots live in memory when they can: every input writes
# and syncs files.
if [[ -d /dev/shm && -w /dev/shm ]]; then
    export TMPDIR=/dev/shm
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export LSAN_OPTIONS="suppressions=$here/scripts/lsan-suppressions.txt:print_suppressions=0"

failed=0
# run_target NAME MAX-LEN SEED-FOLDERS...
run_target() {
    local name="$1" max_len="$2"
    shift 2
    local work="$build/corpus/$name" crashes="$build/crashes/$name" log="$build/$name.log"
    mkdir -p "$work" "$crashes"
    local limit=(-max_total_time="$seconds")
    ((smoke)) && limit=(-runs=2000)
    echo "== $name (${limit[*]})"
    if nice "$build/fuzz/$name" "${limit[@]}" -max_len="$max_len" -timeout=25 \
        -artifact_prefix="$crashes/" -print_final_stats=1 "$work" "$@" >"$log" 2>&1; then
        grep -E '^(Done|stat::number_of_executed_units)' "$log" || true
    else
        failed=1
        echo "fuzz.sh: $name broke; the input is in $crashes/, the report in $log:" >&2
        grep -A 30 -E '^(==[0-9]+==ERROR|KOR fuzz:|.*runtime error:)' "$log" | head -40 >&2 || tail -40 "$log" >&2
    fi
}

run_target fuzz_archive 65536 "$lzh_corpus/archives" fuzz/regression/archive
run_target fuzz_settings 4096 "$build/seeds/settings" fuzz/regression/settings
run_target fuzz_image 65536 fuzz/regression/image
exit "$failed"
