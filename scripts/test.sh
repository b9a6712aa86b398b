#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything twice and runs all the tests of each build:
#   build-ci    optimised (RelWithDebInfo), warnings are errors
#   build-asan  Debug with AddressSanitizer, LeakSanitizer and
#               UndefinedBehaviorSanitizer, warnings are errors
# and checks the sources: their layout with clang-format (.clang-format), the
# product's with clang-tidy (.clang-tidy) through build-ci's compile commands,
# and that every text has its English (scripts/translations.sh check).
# Installs the Debian packages first (see scripts/install-deps.sh). Exits with
# a non-zero status when a build or a test fails. This is what CI runs.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
jobs=2

heading() { printf '\n== %s\n' "$*"; }

heading "Debian packages"
bash scripts/install-deps.sh

# Window tests run offscreen; a test that needs a real X server starts its own
# Xvfb. Nothing may reach the desktop of whoever runs this.
export QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY

# LeakSanitizer stops the process with ptrace-like means; some containers
# forbid that, and then every test would fail with "LeakSanitizer has
# encountered a fatal error". Find out with a program that leaks on purpose.
leak_check=1
probe="$(mktemp -d)"
# When run with sudo, give the build folders back to the user who asked.
# shellcheck disable=SC2317 # called by the trap
finish() {
    rm -rf "$probe"
    if [[ -n "${SUDO_UID:-}" && -n "${SUDO_GID:-}" && "$EUID" == 0 ]]; then
        chown -R "$SUDO_UID:$SUDO_GID" build-ci build-asan 2>/dev/null || true
    fi
}
trap finish EXIT
printf '#include <cstdlib>\nint main() { volatile void* p = std::malloc(7); p = nullptr; return 0; }\n' \
    >"$probe/leak.cpp"
if g++ -fsanitize=address -g "$probe/leak.cpp" -o "$probe/leak" 2>"$probe/build.log"; then
    ASAN_OPTIONS=detect_leaks=1 "$probe/leak" >"$probe/run.log" 2>&1 || true
    if ! grep -q "ERROR: LeakSanitizer: detected memory leaks" "$probe/run.log"; then
        leak_check=0
        echo "test.sh: note: LeakSanitizer does not work here (ptrace restricted?);"
        echo "test.sh: note: the sanitizer build runs with detect_leaks=0."
        sed 's/^/    /' "$probe/run.log" | head -5
    fi
else
    echo "test.sh: cannot build the LeakSanitizer probe:" >&2
    cat "$probe/build.log" >&2
    exit 1
fi

declare -a results=() failures=()
failed=0
last_line=""
worst_line=""

# run_build NAME DESCRIPTION CMAKE-ARGS...: configures, builds and tests one
# build folder; records ctest's summary line. The settings of each build are
# the preset of its name in CMakePresets.json, the same a developer uses.
run_build() {
    local name="$1" description="$2"
    shift 2
    heading "$name: $description"
    if ! cmake -S . -B "$name" "$@" || ! cmake --build "$name" -j "$jobs"; then
        results+=("$name ($description): the build failed")
        failed=1
        return
    fi
    heading "$name: tests"
    local log="$name/ctest-output.log" status=0
    ctest --test-dir "$name" --output-on-failure -j "$jobs" 2>&1 | tee "$log" || status=$?
    local summary
    summary="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1 || true)"
    if [[ -z "$summary" ]]; then
        summary="ctest printed no summary (exit status $status)"
        status=1
    fi
    results+=("$name ($description): $summary")
    last_line="$summary"
    if ((status != 0)); then
        failed=1
        [[ -n "$worst_line" ]] || worst_line="$summary"
        # What the failing tests said, for a reader who sees only the end of
        # this output: each assertion with the lines that explain it.
        local said
        said="$(grep -E -A6 ': Failure$|^\[  FAILED  \]|Sanitizer|runtime error' "$log" | head -60 || true)"
        [[ -z "$said" ]] || failures+=("$name: what the failing tests said" "$said")
    fi
}

run_build build-ci "RelWithDebInfo, -Werror" --preset ci

# The folders of the product, and those of the tests, benchmarks and fuzz
# targets: clang-format reads them all, clang-tidy the product alone (the
# sources moc and rcc generate into the build folder are not ours to check).
product_folders=(language platform diskimage machines unlha32 core pictures korlogo changer setup)
test_folders=(tests bench fuzz)
check_sources() {
    heading "Sources: clang-format and clang-tidy"
    local -a folders=() sources=()
    local folder
    for folder in "${product_folders[@]}" "${test_folders[@]}"; do
        [[ -d "$folder" ]] && folders+=("$folder")
    done
    mapfile -d '' -t sources < <(find "${folders[@]}" -path tests/data -prune -o \
        -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
    if clang-format --dry-run --Werror "${sources[@]}"; then
        results+=("clang-format: ${#sources[@]} files as .clang-format lays them out")
    else
        results+=("clang-format: files differ from .clang-format's layout (clang-format -i FILE)")
        failed=1
    fi
    local pattern
    pattern="^$here/($(IFS='|' && echo "${product_folders[*]}"))/"
    if [[ ! -f build-ci/compile_commands.json ]]; then
        results+=("clang-tidy: not run, build-ci has no compile_commands.json")
        failed=1
    elif run-clang-tidy -p build-ci -j "$jobs" -quiet "$pattern" >build-ci/clang-tidy.log 2>&1; then
        results+=("clang-tidy: the product sources pass .clang-tidy's checks")
    else
        # The findings once each (one in a header comes with every file that
        # includes it), without run-clang-tidy's colours.
        sed 's/\x1b\[[0-9;]*m//g' build-ci/clang-tidy.log | grep -E '(warning|error): ' | sort -u || true
        results+=("clang-tidy: findings in the product sources (build-ci/clang-tidy.log)")
        failed=1
    fi
}
check_sources

# Every Japanese source text has its English in translations/kor_en.ts.
heading "Translations: lupdate"
if bash scripts/translations.sh check; then
    results+=("translations: every source text has its English in translations/kor_en.ts")
else
    results+=("translations: texts without English (scripts/translations.sh check)")
    failed=1
fi

# Exported before the build: GoogleTest's test discovery runs the test
# programs as they are built.
export ASAN_OPTIONS="detect_leaks=$leak_check"
export LSAN_OPTIONS="suppressions=$here/scripts/lsan-suppressions.txt:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
leak_words="leaks checked"
((leak_check)) || leak_words="leaks not checked"
run_build build-asan "Debug, -Werror, ASan+UBSan, $leak_words" --preset asan

# A short run of each fuzz target, seeded from the corpus and every input that
# once broke one.
heading "build-fuzz: smoke run of the fuzz targets"
if bash scripts/fuzz.sh --smoke; then
    results+=("build-fuzz (clang, libFuzzer): smoke run passed")
else
    results+=("build-fuzz (clang, libFuzzer): the smoke run failed")
    failed=1
fi

heading "Summary"
for result in "${results[@]}"; do
    echo "$result"
done
if ((failed)); then
    for failure in "${failures[@]}"; do
        echo "$failure"
    done
    echo "test.sh: FAILED"
    # End with the summary line of the first failing test run, if there was one.
    [[ -n "$worst_line" ]] && echo "$worst_line"
    exit 1
fi
echo "$last_line"
