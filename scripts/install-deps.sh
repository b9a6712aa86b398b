#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, testing and running KOR need.
# Does nothing when they are all installed already; otherwise runs apt-get
# (as root: run it with sudo, or as root in CI). Made for Debian 12.
set -euo pipefail

packages=(
    cmake                 # the build
    g++                   # C++20
    ninja-build
    pkg-config            # finds liblhasa
    qt6-base-dev          # windows, dialogs, images (Widgets, Gui, Test)
    libgl-dev             # OpenGL headers that Qt 6's CMake files look for
    liblhasa-dev          # LZH archives
    libimagequant-dev     # the palette quantiser that turns pictures into logos
    libpng-dev            # decodes a large PNG by rows, which Qt cannot, so that it converts in little memory
    libxml2-dev           # reads the machines of VirtualBox (.vbox) and libvirt (a domain's XML)
    mtools                # the changes inside FAT disk images, made without mounting them
    dosfstools            # mkfs.fat and fsck.fat, with which the tests make and check disk images
    fdisk                 # sfdisk, with which the tests write the partition table of a disk image
    qemu-utils            # qemu-img, with which the tests and the image benchmark make and check qcow2, VDI, VMDK, VHDX and VHD images
    qemu-system-common    # qemu-storage-daemon, which exports such an image as a plain file, worked on in place
    fuse3                 # fusermount3 and the FUSE library, through which that export is mounted without root
    lhasa                 # the lha command, used by the demo to list archives
    libgtest-dev          # GoogleTest
    xvfb                  # an X server for the window tests
    openbox               # a window manager, for the window tests that need one
    xauth                 # which xvfb-run needs
    x11-utils             # xwininfo, with which the window test finds korsetup's window
    xdotool               # with which the window test resizes it
    imagemagick           # import, with which the window test keeps its screenshots
    fonts-ipafont-gothic  # a Japanese font for the window captions
    qt6-translations-l10n # Qt's own Japanese texts (title-bar menus of korsetup's windows)
    qt6-l10n-tools        # lrelease, which builds the English of every text, and lupdate, with which the tests check that no text lacks it
    fonts-liberation2     # Liberation Serif, metric-compatible with Times New Roman (about window); Liberation Sans for English captions
    python3               # the demo picture generator
    clang                 # the fuzz targets (libFuzzer)
    libclang-rt-dev       # libFuzzer's and the sanitizers' runtime for clang
    clang-format          # checks that the sources keep the layout of .clang-format
    clang-tidy            # the naming, bugprone and performance checks of .clang-tidy
    strace                # kills a run at each of its system calls in the fault-injection check
    psmisc                # fuser, with which that check waits until nothing has a disk image open
    dpkg-dev              # dpkg-shlibdeps, with which cpack -G DEB finds the package's dependencies; dpkg-buildflags, the release build's hardening
    file                  # with which cpack finds the programs and libraries to strip and to look into
    lintian               # the package test holds the package to Debian's policy, as a distribution's maintainer would
    groff-base            # formats the manual pages, checked by the package test
    desktop-file-utils    # desktop-file-validate, with which the tests check the desktop entry and a machine's launcher
    bash-completion       # loads the programs' bash completions in their test
    appstream             # appstreamcli, with which the package test validates the metainfo software centres read
)

missing=()
for package in "${packages[@]}"; do
    status="$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)"
    if [[ "$status" != "install ok installed" ]]; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    echo "install-deps: all ${#packages[@]} packages are installed"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
as_root=()
if ((EUID != 0)); then
    if command -v sudo >/dev/null; then
        as_root=(sudo)
    else
        echo "install-deps: run me as root to install: ${missing[*]}" >&2
        exit 1
    fi
fi

export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    "${packages[@]}"
