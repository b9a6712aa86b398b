#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package twice, as the README tells a packager to (release
# preset, SOURCE_DATE_EPOCH from the last commit), in two new build folders,
# and checks that both packages are the same, byte for byte. The two builds
# differ in their folders and in the times of the files they generate, such as
# the translations Qt's resource compiler embeds. When they differ, names the
# files that do. Also checks that the release programs carry Debian's
# hardening.
#
#   bash tests/package/reproducible_test.sh --source SOURCE_FOLDER --cmake CMAKE --cpack CPACK
set -euo pipefail

source=""
cmake=cmake
cpack=cpack
while (($#)); do
    case "$1" in
        --source) source="$(realpath "$2")"; shift ;;
        --cmake) cmake="$2"; shift ;;
        --cpack) cpack="$2"; shift ;;
        *) echo "reproducible_test: unknown option $1" >&2; exit 2 ;;
    esac
    shift
done
[[ -n "$source" ]] || { echo "reproducible_test: --source is needed" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Sources outside git (an unpacked release) have no last commit: any fixed
# time does as well.
SOURCE_DATE_EPOCH="$(git -C "$source" log -1 --format=%ct 2>/dev/null || echo 1765000000)"
export SOURCE_DATE_EPOCH
# Both builds compile everything, without a compiler cache: a cached object
# of the first build would stand in for the second's and hide a difference.

for side in first second; do
    build="$work/$side/build"
    log="$work/$side.log"
    mkdir -p "$work/$side"
    if ! (cd "$source" && "$cmake" --preset release -B "$build" -DCMAKE_CXX_COMPILER_LAUNCHER= \
        -DKOR_BUILD_TESTS=OFF -DKOR_BUILD_BENCH=OFF \
        -DCPACK_PACKAGE_CONTACT="KOR reproducibility test <kor-test@example.org>" &&
        "$cmake" --build "$build" -j 2 &&
        cd "$build" && LC_ALL=C.UTF-8 "$cpack" -G DEB) >"$log" 2>&1; then
        tail -40 "$log" >&2
        echo "FAIL: the $side build of the package" >&2
        exit 1
    fi
done

first=("$work"/first/build/kor_*.deb)
second=("$work"/second/build/kor_*.deb)
[[ -f "${first[0]}" && -f "${second[0]}" ]] || { echo "FAIL: cpack made no kor_*.deb" >&2; exit 1; }
if ! cmp -s "${first[0]}" "${second[0]}"; then
    echo "FAIL: two builds of the same sources gave different packages" >&2
    for side in first second; do
        package=("$work/$side"/build/kor_*.deb)
        mkdir "$work/$side/control"
        dpkg-deb -x "${package[0]}" "$work/$side/root"
        dpkg-deb -e "${package[0]}" "$work/$side/control"
        dpkg-deb -c "${package[0]}" >"$work/$side/listing"
    done
    diff "$work/first/listing" "$work/second/listing" >&2 || true
    diff -rq "$work/first/control" "$work/second/control" >&2 || true
    diff -rq "$work/first/root" "$work/second/root" >&2 || true
    exit 1
fi

# The hardening of the shipped programs and libraries: code at any address,
# relocations made read-only once all are bound at start, as lintian reads them.
status=0
LC_ALL=C.UTF-8 lintian -IE --pedantic --tags-from-file <(printf '%s\n' hardening-no-bindnow \
    hardening-no-relro hardening-no-pie) "${first[0]}" >"$work/lintian.log" 2>&1 || status=$?
if ((status > 1)) || grep -q 'hardening-' "$work/lintian.log"; then
    echo "FAIL: the release package lacks hardening:" >&2
    cat "$work/lintian.log" >&2
    exit 1
fi
# Fortified functions: every source was compiled asking for them, and the
# package calls some of the checked variants. Not lintian's
# hardening-no-fortify-functions, nor a test of each file: a program or library
# whose every call works on a buffer of a size known only at run time has
# nothing to fortify.
if unfortified="$(grep -E '"command"' "$work/first/build/compile_commands.json" | grep -v -- -D_FORTIFY_SOURCE=)"; then
    echo "FAIL: sources compiled without -D_FORTIFY_SOURCE: $unfortified" >&2
    exit 1
fi
dpkg-deb -x "${first[0]}" "$work/installed"
if ! nm -D --undefined-only "$work"/installed/usr/bin/* "$work"/installed/usr/lib/*/kor/*.so |
    grep -c ' __[a-z_]*_chk@' >/dev/null; then
    echo "FAIL: no program or library of the package calls a fortified function" >&2
    exit 1
fi
echo "PASS: two builds give the same $(basename "${first[0]}"), hardened"
