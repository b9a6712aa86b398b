#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the build folder, unpacks it into a scratch
# folder (no root, nothing installed on the system) and checks what a user
# would get from `apt install ./kor_*.deb`:
#   (a) every program and library finds the libraries it links, the private
#       ones through run paths that name only folders of the package;
#   (b) no installed file holds the build folder's path;
#   (c) the package depends on the libraries the programs link, and on mtools;
#   (d) the manual pages format without warnings, the desktop entry and the
#       AppStream metainfo are valid, the metainfo names this version, and
#       the icon comes at every size a desktop asks for, with transparency;
#   (e) the unpacked KOR, on copies of the packaged demo machines, ends with
#       status 0 and leaves every logo holding one of the machine's pictures,
#       in BMP mode and in archive mode (which loads the archive library);
#       the unpacked korlogo accepts the new logos;
#   (f) cpack refuses a package without a maintainer who can be reached, and
#       lintian finds no error, no warning and nothing in the changelog.
#
#   bash tests/package/package_test.sh --build BUILD_FOLDER --cpack CPACK
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build=""
cpack=cpack
while (($#)); do
    case "$1" in
        --build) build="$(realpath "$2")"; shift ;;
        --cpack) cpack="$2"; shift ;;
        *) echo "package_test: unknown option $1" >&2; exit 2 ;;
    esac
    shift
done
[[ -n "$build" ]] || { echo "package_test: --build is needed" >&2; exit 2; }

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# --- the package ---------------------------------------------------------------

# cpack's archive library names files in the locale's encoding: under the C
# locale it cannot store the demo machines' Japanese folder names.
contact="KOR package test <kor-package-test@example.org>"
LC_ALL=C.UTF-8 "$cpack" -G DEB -B "$work/cpack" --config "$build/CPackConfig.cmake" \
    -D CPACK_PACKAGE_CONTACT="$contact" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
packages=("$work"/cpack/kor_*.deb)
[[ -f "${packages[0]}" ]] || { echo "FAIL: cpack made no kor_*.deb" >&2; exit 1; }
package="${packages[0]}"
root="$work/root"
dpkg-deb -x "$package" "$root"

programs=(usr/bin/KOR usr/bin/korsetup usr/bin/korlogo)
private="usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/kor"
libraries=("$private"/libkor_platform.so "$private"/libkor_platform_desktop.so
    "$private"/libkor_diskimage.so "$private"/libkor_language.so "$private"/libunlha32.so)
for file in "${programs[@]}" "${libraries[@]}" usr/share/applications/korsetup.desktop \
    usr/share/metainfo/io.github.kor_developers.korsetup.metainfo.xml usr/share/doc/kor/copyright \
    usr/share/doc/kor/changelog.gz usr/share/doc/kor/README.md.gz usr/share/doc/kor/README.ja.md.gz \
    usr/share/man/man1/KOR.1.gz usr/share/man/man1/korsetup.1.gz usr/share/man/man1/korlogo.1.gz \
    usr/share/man/ja/man1/KOR.1.gz usr/share/man/ja/man1/korsetup.1.gz usr/share/man/ja/man1/korlogo.1.gz \
    usr/share/bash-completion/completions/{KOR,korsetup,korlogo}; do
    [[ -f "$root/$file" ]] || fail "the package lacks /$file"
done

# --- (a) libraries and run paths -------------------------------------------------

for file in "${programs[@]}" "${libraries[@]}"; do
    [[ -f "$root/$file" ]] || continue
    if missing="$(env -u LD_LIBRARY_PATH ldd "$root/$file" | grep 'not found')"; then
        fail "/$file: $missing"
    fi
    runpath="$(readelf -d "$root/$file" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')"
    [[ -n "$runpath" ]] || fail "/$file has no run path"
    # An empty entry would search the current folder.
    if [[ -n "$runpath" && ":$runpath:" == *::* ]]; then
        fail "/$file: an empty entry in its run path '$runpath'"
    fi
    IFS=: read -r -a entries <<<"$runpath"
    for entry in "${entries[@]}"; do
        # shellcheck disable=SC2016 # the loader's $ORIGIN, not a variable
        [[ -z "$entry" || "$entry" == '$ORIGIN'* ]] ||
            fail "/$file: '$entry' in its run path, outside the package"
    done
done

# --- (b) no build path -------------------------------------------------------------

if found="$(grep -rlaF -e "$build" "$root")"; then
    fail "files holding the build folder $build: ${found//$'\n'/ }"
fi

# --- (c) dependencies ----------------------------------------------------------------

depends="$(dpkg-deb -f "$package" Depends)"
for dependency in libqt6widgets6 liblhasa0 libstdc++6 mtools; do
    [[ ", $depends," == *", $dependency"[\ ,]* ]] ||
        fail "Depends lacks $dependency: $depends"
done
[[ "$(dpkg-deb -f "$package" Recommends)" == *fonts-ipafont-gothic* ]] ||
    fail "Recommends lacks fonts-ipafont-gothic"

# --- (d) manual pages and desktop entry -------------------------------------------------

# -k reads the Japanese pages as UTF-8, as man does.
for page in "$root"/usr/share/man/man1/*.1.gz "$root"/usr/share/man/ja/man1/*.1.gz; do
    warnings="$(gzip -dc "$page" | LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z 2>&1)" || true
    [[ -z "$warnings" ]] || fail "$(basename "$page"): $warnings"
done
desktop-file-validate "$root/usr/share/applications/korsetup.desktop" >&2 ||
    fail "korsetup.desktop is not valid"

# What software centres read.
metainfo="$root/usr/share/metainfo/io.github.kor_developers.korsetup.metainfo.xml"
if [[ -f "$metainfo" ]]; then
    appstreamcli validate --no-net --pedantic "$metainfo" >&2 || fail "the metainfo is not valid"
    # The newest release it names is the packaged version.
    released="$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -1)"
    version="$(dpkg-deb -f "$package" Version)"
    [[ "$released" == "$version" ]] ||
        fail "the metainfo's newest release is '$released', the package's version $version"
fi
# Every size a software centre may ask for, square and with transparency.
for size in 32 48 64 128 256; do
    icon="usr/share/icons/hicolor/${size}x${size}/apps/korsetup.png"
    described="$(file -b "$root/$icon" 2>&1)"
    [[ "$described" == "PNG image data, $size x $size, 8-bit/color RGBA"* ]] ||
        fail "/$icon: $described (wanted a $size x $size PNG with alpha)"
done

# --- (e) the unpacked programs on the demo machines -----------------------------------

logos=(c/logo.sys c/WINDOWS/logow.sys c/WINDOWS/logos.sys)
# shellcheck source=../fault_injection/candidate_pictures.sh
source "$here/../fault_injection/candidate_pictures.sh"

for machine in demo-machine demo-machine-archives; do
    trial="$work/$machine"
    cp -r "$root/usr/share/doc/kor/examples/$machine" "$trial"
    learn_pictures "$trial"
    status=0
    (cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u LD_LIBRARY_PATH KOR_ROOT="$trial" \
        WINDIR='C:\WINDOWS' "$root/usr/bin/KOR") >"$work/kor.out" 2>&1 || status=$?
    ((status == 0)) || fail "$machine: KOR ended with status $status: $(cat "$work/kor.out")"
    for logo in "${logos[@]}"; do
        now="$(hash_of "$trial/$logo")"
        if [[ "$now" == "${old_logo[$logo]}" || -z "${candidates[$now]:-}" ]]; then
            fail "$machine: $logo does not hold one of the machine's pictures"
        fi
    done
    env -u LD_LIBRARY_PATH LC_ALL=C "$root/usr/bin/korlogo" check \
        "${logos[@]/#/$trial/}" >"$work/korlogo.out" 2>&1 ||
        fail "$machine: korlogo check refused the new logos: $(cat "$work/korlogo.out")"
done

# --- (f) maintainer and lintian ------------------------------------------------------

for refused in "" "KOR developers <kor@localhost>"; do
    if LC_ALL=C.UTF-8 "$cpack" -G DEB -B "$work/refused" --config "$build/CPackConfig.cmake" \
        -D CPACK_PACKAGE_CONTACT="$refused" >"$work/refused.log" 2>&1; then
        fail "cpack made a package whose maintainer is '$refused'"
    elif [[ "$(tr -s ' \n' '  ' <"$work/refused.log")" != *'CPACK_PACKAGE_CONTACT="Name <address>"'* ]]; then
        fail "cpack refused the maintainer '$refused' without saying how to name one: $(cat "$work/refused.log")"
    fi
done
[[ "$(gzip -dc "$root/usr/share/doc/kor/changelog.gz" | tail -1)" == " -- $contact  "* ]] ||
    fail "the changelog is not signed by the package's maintainer"
# Errors and warnings, and any tag of the changelog at all, which the
# generated one must satisfy whole; the remaining informational tags are
# known. Status 1 says that tags were found, a higher one that lintian could
# not look.
status=0
LC_ALL=C.UTF-8 lintian -IE --pedantic "$package" >"$work/lintian.log" 2>&1 || status=$?
if ((status > 1)); then
    fail "lintian ended with status $status: $(cat "$work/lintian.log")"
elif complaints="$(grep -E '^[EW]: |changelog' "$work/lintian.log")"; then
    fail "lintian: $complaints"
fi

if ((failures)); then
    echo "package_test: $failures failures" >&2
    exit 1
fi
echo "PASS: $(basename "$package") unpacks, links, holds no build path, runs on both demo machines" \
    "and satisfies lintian"
