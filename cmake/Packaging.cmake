# SPDX-License-Identifier: GPL-3.0-or-later
# What the installation carries besides the programs and their libraries, and
# the Debian package made of it: `cpack -G DEB` in the build folder.

install(FILES ${PROJECT_SOURCE_DIR}/setup/korsetup.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The icon at the sizes desktops and software centres ask for, drawn by
# scripts/make-setup-artwork.py.
foreach(size 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/setup/icons/korsetup-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME korsetup.png)
endforeach()
# What software centres show of korsetup, named after its AppStream id.
install(FILES ${PROJECT_SOURCE_DIR}/setup/io.github.kor_developers.korsetup.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Manual pages and the READMEs are installed compressed, as man finds them and
# as Debian ships documentation; -n keeps the name and time out, so that the
# same file gives the same bytes.
set(compressed_documents)
function(kor_compressed_copy source copy)
    add_custom_command(OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
        COMMAND gzip -9nf ${copy}
        DEPENDS ${source}
        VERBATIM)
    set(compressed_documents ${compressed_documents} ${copy}.gz PARENT_SCOPE)
endfunction()
# The Japanese pages go to man/ja, where man looks under a Japanese locale.
foreach(language_folder IN ITEMS "" ja/)
    foreach(page KOR korsetup korlogo)
        kor_compressed_copy(${PROJECT_SOURCE_DIR}/docs/man/${language_folder}${page}.1
            ${CMAKE_CURRENT_BINARY_DIR}/man/${language_folder}${page}.1)
        install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${language_folder}${page}.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/${language_folder}man1)
    endforeach()
endforeach()
foreach(readme README.md README.ja.md)
    kor_compressed_copy(${PROJECT_SOURCE_DIR}/${readme} ${CMAKE_CURRENT_BINARY_DIR}/doc/${readme})
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/doc/${readme}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
endforeach()
add_custom_target(compressed_documents ALL DEPENDS ${compressed_documents})
# Where bash-completion loads a program's completion from when its name is
# first completed.
install(FILES ${PROJECT_SOURCE_DIR}/completions/KOR ${PROJECT_SOURCE_DIR}/completions/korsetup
    ${PROJECT_SOURCE_DIR}/completions/korlogo
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
# The licence as Debian states it, in the machine-readable copyright format.
install(FILES ${PROJECT_SOURCE_DIR}/docs/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The demo machines, to try KOR on a copy (KOR(1) shows how).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/
    DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
    PATTERN .gitkeep EXCLUDE)

set(CPACK_PACKAGE_NAME kor)
set(CPACK_PACKAGE_VENDOR "KOR developers")
# The project has no mailbox of its own; whoever builds a package to hand
# out names themselves: -DCPACK_PACKAGE_CONTACT="Name <address>", when
# configuring or to cpack, which refuses a package without one.
set(CPACK_PACKAGE_CONTACT "" CACHE STRING "Maintainer of the Debian package: Name <address>")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackageContact.cmake)
# The changelog, made from NEWS.md as cpack stages the package, when the
# maintainer who signs it is known.
set(CPACK_INSTALL_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake)
set(CPACK_KOR_NEWS ${PROJECT_SOURCE_DIR}/NEWS.md)
set(CPACK_KOR_DOCDIR ${CMAKE_INSTALL_DOCDIR})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "changes the Windows 95 start-up and shut-down logos of emulated machines")
# One paragraph, without double quotes, which CPack would mangle.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "KOR puts a random picture, drawn from folders of BMP files or from LZH"
    "archives, in place of the start-up and shut-down logos of a Windows 95"
    "or 98 machine kept in a folder or in an emulator's FAT disk image."
    "korsetup is its Japanese desktop program to browse pictures and"
    "archives, install a logo at once and choose the settings; korlogo"
    "checks, converts and previews logo files.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debian ships stripped programs; stripping also drops the debugging
# information's build folder.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; the private ones
# are part of the package. mtools reads and writes drives that are disk
# images; the Japanese font draws the captions of korsetup, and Liberation Sans
# those of an English session, whose paths need a backslash; qemu-storage-daemon
# and FUSE let them work on qcow2, VDI, VMDK, VHDX and dynamic VHD images.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps runs in the staging folder, so the private folder is named
# relative to it (their run path would find them too).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "usr/${KOR_INSTALL_LIBRARYDIR}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "mtools")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-ipafont-gothic, fonts-liberation2, qt6-translations-l10n, qemu-system-common, fuse3")

set(CPACK_GENERATOR DEB)
include(CPack)
